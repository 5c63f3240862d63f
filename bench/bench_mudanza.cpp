// Moving the generated club to a PostgreSQL server and back to a new file,
// as `crear_base --servidor CLUB.INI --desde RUTA` and
// `crear_base RUTA --desde-servidor CLUB.INI` do, with the time of each stage:
//   club_bench_mudanza --servidor CARPETA_O_HOST [--anios N]
// The club goes into a database of its own on the server (user "club", who
// may create databases), dropped at the end with the file.
#include "club_servidor.h"
#include "db/Conexion.h"
#include "db/Mudanza.h"
#include "generar_club.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace {

const char *const kEtapas[] = {"copia", "índices, disparadores y recuentos", "comprobación", "estadísticas"};

// Times a move and prints each stage's share as it ends.
QList<Mudanza::Comparacion> medir(const char *que,
                                  const std::function<QList<Mudanza::Comparacion>(const Mudanza::Informe &)> &mudar)
{
    QTextStream out(stdout);
    QElapsedTimer total, etapa;
    int actual = -1;
    const auto cerrar = [&] {
        if (actual >= 0)
            out << "  " << kEtapas[actual] << ": " << QString::number(etapa.elapsed() / 1000.0, 'f', 1) << " s"
                << Qt::endl;
    };
    total.start();
    const QList<Mudanza::Comparacion> r = mudar([&](const Mudanza::Avance &a) {
        if (a.etapa == actual)
            return;
        cerrar();
        actual = a.etapa;
        etapa.start();
    });
    cerrar();
    qint64 filas = 0;
    for (const Mudanza::Comparacion &c : r)
        filas += c.filasDestino;
    out << que << ": " << QString::number(total.elapsed() / 1000.0, 'f', 1) << " s, " << r.size() << " tablas, "
        << filas << " filas" << Qt::endl;
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    const TamanioClub t = TamanioClub::desdeArgumentos(argc, argv, resto);
    if (t.servidor.isEmpty() || resto.size() > 1) {
        QTextStream(stderr) << "uso: club_bench_mudanza --servidor CARPETA_O_HOST [--anios N]\n";
        return 2;
    }
    const QString archivo = clubEnCache(t);
    const QString base = QStringLiteral("club_mudanza_%1").arg(QCoreApplication::applicationPid());
    std::unique_ptr<Conexion> inicial(Conexion::abrirServidor(baseDeMedida(t, QStringLiteral("club"))));
    inicial->executeScript(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"; ").arg(base));
    inicial->executeScript(QStringLiteral("CREATE DATABASE \"%1\"").arg(base));
    QTemporaryDir carpeta;
    int codigo = 0;
    try {
        medir("Del archivo al servidor",
              [&](const Mudanza::Informe &i) { return Mudanza::alServidor(archivo, baseDeMedida(t, base), i); });
        medir("Del servidor a un archivo nuevo", [&](const Mudanza::Informe &i) {
            return Mudanza::alArchivo(baseDeMedida(t, base), carpeta.filePath(QStringLiteral("club.mdb")), i);
        });
    } catch (const DbError &e) {
        QTextStream(stderr) << e.mensaje() << Qt::endl;
        codigo = 1;
    }
    inicial->executeScript(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(base));
    return codigo;
}
