#include "Aplicacion.h"

#include "db/Conexion.h"
#include "platform/ArchivosPrivados.h"
#include "platform/Mensajes.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QScreen>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTranslator>
#include <memory>

namespace {
FinDePrueba *g_prueba = nullptr;
bool g_terminada = false;
int g_codigo = 0;
std::unique_ptr<QLockFile> g_bloqueo;
QString g_rutaBloqueo;
QSize g_pantallaFija;
int g_sinManejar = 0;
} // namespace

AplicacionClub::AplicacionClub(int &argc, char **argv) : QApplication(argc, argv)
{
    // Before any file is written: the database, its logs, copies, exported
    // workbooks and PDFs, the settings.
    ArchivosPrivados::desdeAhora();
}

bool AplicacionClub::notify(QObject *receptor, QEvent *evento)
{
    QString mensaje;
    try {
        return QApplication::notify(receptor, evento);
    } catch (const DbError &e) {
        mensaje = e.mensaje();
    } catch (const std::exception &e) {
        mensaje = QStringLiteral("Error: 0 - ") + QString::fromLocal8Bit(e.what());
    }
    // Told after the handler's frames are gone, so the box runs its own loop
    // on a clean stack.
    ++g_sinManejar;
    MsgBox(mensaje, vb::Critical);
    return false;
}

int Aplicacion::erroresSinManejar() { return g_sinManejar; }

void Aplicacion::terminar(int codigo)
{
    if (g_prueba) {
        g_prueba->registrar();
        return;
    }
    g_terminada = true;
    g_codigo = codigo;
    QCoreApplication::exit(codigo);
}

bool Aplicacion::terminada() { return g_terminada; }
int Aplicacion::codigoSalida() { return g_codigo; }

QString Aplicacion::rutaBloqueo(const QString &equipo)
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (carpeta.isEmpty())
        return {};
    QString nombre = equipo.isEmpty() ? QSysInfo::machineHostName() : equipo;
    // Host names are letters, digits, '-' and '.'; nothing else reaches the file name.
    for (QChar &c : nombre)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'.')
            c = u'_';
    return QDir(carpeta).filePath(QStringLiteral("club-%1.lock").arg(nombre));
}

bool Aplicacion::tomarInstancia()
{
    const QString ruta = rutaBloqueo();
    if (g_bloqueo && g_rutaBloqueo == ruta)
        return true;
    liberarInstancia();
    // Without a runtime folder nothing can tell; let the program run.
    if (ruta.isEmpty())
        return true;
    auto bloqueo = std::make_unique<QLockFile>(ruta);
    // A running program holds the lock for hours: only a dead holder makes it stale.
    bloqueo->setStaleLockTime(0);
    if (!bloqueo->tryLock(0)) {
        // A folder where no lock can be written cannot tell; let the program run.
        if (bloqueo->error() == QLockFile::LockFailedError)
            return false;
        return true;
    }
    g_bloqueo = std::move(bloqueo);
    g_rutaBloqueo = ruta;
    return true;
}

void Aplicacion::liberarInstancia()
{
    g_bloqueo.reset();
    g_rutaBloqueo.clear();
}

QSize Aplicacion::tamanoPantalla()
{
    if (g_pantallaFija.isValid())
        return g_pantallaFija;
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->size() * s->devicePixelRatio() : QSize();
}

void Aplicacion::fijarTamanoPantalla(const QSize &tamano) { g_pantallaFija = tamano; }

bool Aplicacion::ponerEnEspanol()
{
    const QLocale espanol(QLocale::Spanish, QLocale::Argentina);
    QLocale::setDefault(espanol);
    auto *qt = new QTranslator(qApp);
    if (!qt->load(espanol, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

FinDePrueba::FinDePrueba() { g_prueba = this; }
FinDePrueba::~FinDePrueba()
{
    if (g_prueba == this)
        g_prueba = nullptr;
}
