// Test runner: Qt starts with the offscreen platform, so window tests run
// without a display, in Spanish and under the program's own application
// object, as the program does. Each run has a runtime folder of its own, so
// that runs side by side never meet at the instance lock, and none reaches
// the machine's printers. Started with
// "--escritor RUTA" it is another station writing to a database instead;
// with "--restaurar CARPETA COPIA", another program restoring a copy.
#include "Aplicacion.h"
#include "ConfigPrograma.h"
#include "Module.h"
#include "Respaldo.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "db_caja_cabeza.h"
#include "platform/CarpetaPrograma.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
// Another station writing to the database ruta (a file, or the club.ini of a
// server): for each commit it opens it anew, as a program that starts does. Says "LISTO" after its first
// commit and writes until it is ended.
int escribirSinFin(const QString &ruta)
{
    // It ends with the test that started it, also when that one crashes.
    const pid_t padre = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != padre)
        return 1;
    for (int n = 0;; ++n) {
        DatosServidor d;
        std::unique_ptr<Conexion> c(ConfigPrograma::baseEnServidor(ruta, d)
                                        ? Conexion::abrirServidor(d)
                                        : Conexion::abrir(ruta, Esquema::claveBase()));
        c->execute(QStringLiteral("INSERT INTO clientes (nombre) VALUES (?)"), {QStringLiteral("Estación %1").arg(n)});
        if (n == 0) {
            std::fputs("LISTO\n", stdout);
            std::fflush(stdout);
        }
    }
}
// Another program restoring the copia into the club of the program folder
// carpeta: says "REEMPLAZANDO" as the copy is put in place and, on the file,
// stops there until it is killed. Ends with its test.
int restaurarHastaMorir(const QString &carpeta, const QString &copia)
{
    const pid_t padre = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != padre)
        return 1;
    CarpetaPrograma::fijar(carpeta);
    fijarRutasBase();
    abrirConexion();
    std::unique_ptr<CopiasDeBase> copias = gConexion->copias(gClaveBase);
    copias->prepararRestauracion(copia);
    const bool archivo = !gConexion->esServidor();
    cerrarConexion();
    Respaldo::antesDePaso([archivo](Respaldo::PasoRestauracion p) {
        if (p != Respaldo::PasoRestauracion::Reemplazar)
            return;
        std::fputs("REEMPLAZANDO\n", stdout);
        std::fflush(stdout);
        while (archivo)
            pause();
    });
    copias->reemplazar(gRutaBase, QDateTime::currentDateTime());
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--escritor") == 0) {
        QCoreApplication app(argc, argv);
        return escribirSinFin(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 4 && qstrcmp(argv[1], "--restaurar") == 0) {
        QCoreApplication app(argc, argv);
        return restaurarHastaMorir(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir ejecucion;
    if (ejecucion.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(ejecucion.path()));
    // No test prints on the machine's printers: the print service is looked
    // for where none answers, unless a test starts one of its own
    // (support/ServicioImpresionPrueba.h).
    qputenv("CUPS_SERVER", QFile::encodeName(ejecucion.path() + QStringLiteral("/sin-servicio-de-impresion.sock")));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    ::testing::InitGoogleTest(&argc, argv);
    AplicacionClub app(argc, argv);
    Aplicacion::ponerEnEspanol();
    registrarConsultaCaja();
    return RUN_ALL_TESTS();
}
