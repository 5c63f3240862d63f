#include "RespaldoServidor.h"

#include "Respaldo.h"
#include "db/Esquema.h"
#include "db/MotorPostgresql.h"
#include "platform/ArchivosPrivados.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimer>
#include <libpq-fe.h>
#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace RespaldoServidor {

namespace {

constexpr int kEsperaPorDefecto = 30000;
int g_espera = kEsperaPorDefecto;

QString esquemaDe(const DatosServidor &d) { return d.esquema.isEmpty() ? QStringLiteral("public") : d.esquema; }

// A name as the tools' patterns take it: exactly that name, letter case
// and all.
QString patron(const QString &nombre) { return Dialecto::identificador(nombre); }

// The arguments that name the server and its user.
QStringList conexion(const DatosServidor &d)
{
    QStringList a{QStringLiteral("--no-password")};
    if (!d.host.isEmpty())
        a << QStringLiteral("--host=") + d.host;
    if (!d.puerto.isEmpty())
        a << QStringLiteral("--port=") + d.puerto;
    if (!d.usuario.isEmpty())
        a << QStringLiteral("--username=") + d.usuario;
    return a;
}

// What a tool did: whether it ended well, what it wrote, and its own words
// about what went wrong.
struct Salida {
    bool bien = false;
    QByteArray salida;
    QString error;
};

// The environment of a tool: the program's, with the tool's messages in
// one language (they are read here), a bound on reaching the server, a name
// its session is found by, and (on a server that has it) the session
// ended when the tool is gone.
QProcessEnvironment entornoHerramienta(const QString &nombreSesion, bool comprobarCliente)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("LC_ALL"));
    e.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    if (!e.contains(QStringLiteral("PGCONNECT_TIMEOUT")))
        e.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("15"));
    e.insert(QStringLiteral("PGAPPNAME"), nombreSesion);
    if (comprobarCliente)
        e.insert(QStringLiteral("PGOPTIONS"),
                 e.value(QStringLiteral("PGOPTIONS")) + QStringLiteral(" -c client_connection_check_interval=1000"));
    return e;
}

// Runs a tool of the server to its end while the program's events go on.
// The tool dies with the program. With vigilar, the session the tool opens
// on that server is watched: one that waits for a lock longer than
// g_espera is cancelled (its transaction undone) and DbError 3260 thrown,
// queHace saying what was left undone. A tool that is not installed throws
// DbError too; any other failure is returned.
Salida correr(const QString &programa, const QStringList &argumentos, const DatosServidor *vigilar = nullptr,
              const QString &queHace = {})
{
    static int corridas = 0;
    const QString sesion =
        QStringLiteral("club_%1_%2_%3").arg(programa).arg(QCoreApplication::applicationPid()).arg(++corridas);
    // The watch's own connection; without it the tool still runs (and says
    // itself why it cannot reach the server).
    std::unique_ptr<Conexion> vigia;
    bool compruebaCliente = false;
    if (vigilar) {
        try {
            vigia.reset(Conexion::abrirServidor(*vigilar));
            compruebaCliente =
                vigia->openRecordset(QStringLiteral("SELECT current_setting('server_version_num')")).texto(0).toInt() >=
                140000;
        } catch (const DbError &) {
            vigia.reset();
        }
    }

    QProcess p;
    p.setProcessEnvironment(entornoHerramienta(sesion, compruebaCliente));
#ifdef Q_OS_LINUX
    // Killed with the program, also when the program is killed: a tool left
    // alone would finish a restore nobody waits for.
    const pid_t padre = ::getpid();
    p.setChildProcessModifier([padre] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != padre)
            ::_exit(127);
    });
#endif
    p.start(programa, argumentos);
    if (!p.waitForStarted(-1))
        throw DbError(3000, Respaldo::conDetalle(QStringLiteral("No se encontró el programa %1 del cliente de "
                                                                "PostgreSQL: instale el paquete postgresql-client "
                                                                "(de la versión del servidor o una más nueva).")
                                                     .arg(programa),
                                                 p.errorString()));
    p.closeWriteChannel();

    bool cancelada = false;
    QEventLoop bucle;
    QObject::connect(&p, &QProcess::finished, &bucle, &QEventLoop::quit);
    QTimer vigilancia;
    QElapsedTimer esperando;
    if (vigia) {
        QObject::connect(&vigilancia, &QTimer::timeout, &bucle, [&] {
            try {
                const Recordset rs =
                    vigia->openRecordset(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE application_name = ? "
                                                        "AND wait_event_type = 'Lock'"),
                                         {sesion});
                if (rs.eof()) {
                    esperando.invalidate();
                } else if (!esperando.isValid()) {
                    esperando.start();
                } else if (esperando.elapsed() >= g_espera) {
                    vigia->openRecordset(QStringLiteral("SELECT pg_cancel_backend(?)"), {rs.entero(0)});
                    cancelada = true;
                    vigilancia.stop();
                }
            } catch (const DbError &) {
                vigilancia.stop(); // the tool goes on unwatched
            }
        });
        vigilancia.start(200);
    }
    if (p.state() == QProcess::Running)
        bucle.exec();
    p.waitForFinished(-1); // already ended: only collects it
    vigilancia.stop();

    Salida s;
    s.bien = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    s.salida = p.readAllStandardOutput();
    s.error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (!s.bien && cancelada)
        throw DbError(3260, Respaldo::conDetalle(QStringLiteral("La base de datos está en uso por otra estación: %1 "
                                                                "esperó más de %2 segundos a que la liberara y se "
                                                                "dejó sin hacer. Vuelva a intentarlo cuando las "
                                                                "demás estaciones terminen lo que están haciendo.")
                                                     .arg(queHace)
                                                     .arg(g_espera / 1000.0),
                                                 s.error));
    return s;
}

[[noreturn]] void fallo(const QString &programa, const QString &queHace, const Salida &s)
{
    throw DbError(3000, Respaldo::conDetalle(
                            QStringLiteral("No se pudo %1: %2 terminó con un error.").arg(queHace, programa), s.error));
}

// The tables of each schema of a dump's definitions (pg_restore's SQL), with
// their columns, in lower case.
QHash<QString, Respaldo::Estructura> estructuras(const QByteArray &sql)
{
    static const QRegularExpression crear(
        QStringLiteral("^CREATE TABLE (\"(?:[^\"]|\"\")+\"|[^.\" ]+)\\.(\"(?:[^\"]|\"\")+\"|[^.\" ]+) \\($"));
    auto nombre = [](QString n) {
        if (n.startsWith(QLatin1Char('"')))
            n = n.mid(1, n.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return n.toLower();
    };
    QHash<QString, Respaldo::Estructura> l;
    QStringList *columnas = nullptr;
    for (const QByteArray &b : sql.split('\n')) {
        const QString linea = QString::fromUtf8(b);
        if (columnas) {
            if (linea.startsWith(QLatin1Char(')'))) {
                columnas = nullptr;
                continue;
            }
            const QString c = linea.trimmed();
            if (c.startsWith(QLatin1String("CONSTRAINT ")))
                continue;
            if (c.startsWith(QLatin1Char('"')))
                *columnas << nombre(c.left(c.indexOf(QLatin1Char('"'), 1) + 1));
            else if (!c.isEmpty())
                *columnas << nombre(c.section(QLatin1Char(' '), 0, 0));
            continue;
        }
        const QRegularExpressionMatch m = crear.match(linea);
        if (m.hasMatch())
            columnas = &l[m.captured(1).startsWith(QLatin1Char('"')) ? nombre(m.captured(1)) : m.captured(1)]
                         [nombre(m.captured(2))];
    }
    return l;
}

// True for a line of a dump's contents ("<n>; <oid> <oid> <kind> <schema>
// <name> <owner>") that holds or serves the club's data in esquema: its
// tables, their rows, numbering, keys, indexes and triggers, its views and
// their comments. The schema itself, the types and functions all schemas
// share, and the club's functions (kept up to date by the program) are left
// as they are.
bool delClub(const QByteArray &linea, const QString &esquema)
{
    if (linea.startsWith(';'))
        return false;
    const QStringList c = QString::fromUtf8(linea).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (c.size() < 5)
        return false;
    const QString resto = c.mid(3).join(QLatin1Char(' '));
    static const char *const tipos[] = {"TABLE DATA", "SEQUENCE OWNED BY", "SEQUENCE SET", "FK CONSTRAINT",
                                        "TABLE",      "SEQUENCE",          "DEFAULT",      "CONSTRAINT",
                                        "INDEX",      "TRIGGER",           "VIEW",         "COMMENT"};
    for (const char *tipo : tipos) {
        const QString t = QLatin1String(tipo) + QLatin1Char(' ');
        if (!resto.startsWith(t))
            continue;
        const QStringList despues = resto.mid(t.size()).split(QLatin1Char(' '));
        if (despues.value(0) != esquema)
            return false;
        if (qstrcmp(tipo, "COMMENT") == 0)
            return QStringList{QStringLiteral("TABLE"),     QStringLiteral("VIEW"),  QStringLiteral("TRIGGER"),
                               QStringLiteral("COLUMN"),    QStringLiteral("INDEX"), QStringLiteral("SEQUENCE"),
                               QStringLiteral("CONSTRAINT")}
                .contains(despues.value(1));
        return true;
    }
    return false;
}

// The tables of d's schema this version does not know: not the club's.
QStringList ajenas(const DatosServidor &d)
{
    std::unique_ptr<Conexion> c;
    try {
        c.reset(Conexion::abrirServidor(d));
    } catch (const DbError &e) {
        throw DbError(e.numero(), Respaldo::conDetalle(QStringLiteral("No se pudo conectar con el servidor de base "
                                                                      "de datos para copiarla."),
                                                       e.descripcion()));
    }
    QStringList l;
    for (const QString &t : c->tablas())
        if (!Respaldo::estructuraConocida().contains(t.toLower()))
            l << t;
    return l;
}

} // namespace

void fijarEsperaMaxima(int milisegundos) { g_espera = milisegundos > 0 ? milisegundos : kEsperaPorDefecto; }

QString esquema(Conexion &c) { return c.openRecordset(QStringLiteral("SELECT current_schema()")).texto(0); }

void comprobar(const QString &archivo, const QString &esquema, const QStringList &tablas)
{
    Respaldo::exigirArchivoConDatos(archivo);
    const Salida definiciones =
        correr(QStringLiteral("pg_restore"), {QStringLiteral("--schema-only"), QStringLiteral("--file=-"), archivo});
    if (!definiciones.bien) {
        if (definiciones.error.contains(QLatin1String("unsupported version")))
            throw DbError(3041, Respaldo::conDetalle(QStringLiteral("La copia fue hecha con una versión más nueva de "
                                                                    "las herramientas de PostgreSQL: instale el "
                                                                    "cliente de PostgreSQL de esa versión o una más "
                                                                    "nueva."),
                                                     definiciones.error));
        if (definiciones.error.contains(QLatin1String("end of file")))
            throw Respaldo::copiaDanada(definiciones.error);
        throw Respaldo::noEsCopia(QStringLiteral("no es una copia del servidor"), definiciones.error);
    }
    // The whole archive is read, its data too: a copy cut short or damaged
    // after its table of contents fails here, not halfway through a restore.
    const Salida entera =
        correr(QStringLiteral("pg_restore"), {QStringLiteral("--file=") + QProcess::nullDevice(), archivo});
    if (!entera.bien)
        throw Respaldo::copiaDanada(entera.error);
    if (tablas.isEmpty())
        return;
    const QHash<QString, Respaldo::Estructura> porEsquema = estructuras(definiciones.salida);
    const auto tiene = porEsquema.constFind(esquema);
    if (tiene == porEsquema.cend()) {
        QStringList otros = porEsquema.keys();
        otros.sort();
        throw Respaldo::noEsCopia(otros.isEmpty() ? QStringLiteral("no tiene tablas")
                                                  : QStringLiteral("es de otra base de datos (esquema %1), no de "
                                                                   "la de este club (esquema %2)")
                                                        .arg(otros.join(QStringLiteral(", ")), esquema));
    }
    for (const QString &t : tablas)
        if (!tiene->contains(t.toLower()))
            throw Respaldo::noEsCopia(QStringLiteral("le falta la tabla '%1'").arg(t));
    // The schema's version is the comment of t_numeradores in the copy.
    static const QRegularExpression comentario(
        QStringLiteral("^COMMENT ON TABLE (?:\\S+\\.)?\"?t_numeradores\"? IS '([^']*)'"),
        QRegularExpression::MultilineOption);
    int version = 0;
    for (auto m = comentario.globalMatch(definiciones.salida); m.hasNext();)
        version = std::max(version, Esquema::versionDelComentario(m.next().captured(1)));
    Respaldo::exigirVersionConocida(*tiene, version);
}

void copiar(const DatosServidor &d, const QString &destino)
{
    const QString temporal = destino + QStringLiteral(".copiando");
    QFile::remove(temporal);
    try {
        QStringList a = conexion(d) << QStringLiteral("--format=custom") << QStringLiteral("--file=") + temporal
                                    << QStringLiteral("--schema=") + patron(esquemaDe(d));
        for (const QString &t : ajenas(d))
            a << QStringLiteral("--exclude-table=") + patron(esquemaDe(d)) + QLatin1Char('.') + patron(t);
        a << d.base;
        // Made private before the tool writes the club's data into it.
        {
            QFile f(temporal);
            if (!f.open(QIODevice::WriteOnly))
                throw DbError(3000, Respaldo::conDetalle(QStringLiteral("No se pudo crear el archivo de la copia en "
                                                                        "'%1'.")
                                                             .arg(QFileInfo(destino).absolutePath()),
                                                         f.errorString()));
        }
        ArchivosPrivados::hacerPrivado(temporal);
        const QString queHace = QStringLiteral("la copia de la base de datos del servidor");
        const Salida s = correr(QStringLiteral("pg_dump"), a, &d, queHace);
        if (!s.bien)
            fallo(QStringLiteral("pg_dump"), QStringLiteral("hacer ") + queHace, s);
        comprobar(temporal);
        Respaldo::renombrar(temporal, destino);
    } catch (...) {
        QFile::remove(temporal);
        throw;
    }
}

void prepararRestauracion(Conexion &c, const QString &origen)
{
    Respaldo::paso(Respaldo::PasoRestauracion::Comprobar);
    comprobar(origen, esquema(c), Respaldo::tablas(c));
}

namespace {
// Puts the club's part of the dump origen, already checked, into d's
// database, whole or not at all.
void ponerCopia(const DatosServidor &d, const QString &origen)
{
    const Salida contenido = correr(QStringLiteral("pg_restore"), {QStringLiteral("--list"), origen});
    if (!contenido.bien)
        throw Respaldo::copiaDanada(contenido.error);
    QTemporaryFile lista(QDir::tempPath() + QStringLiteral("/club_restauracion_XXXXXX.lista"));
    if (!lista.open())
        throw DbError(3000, Respaldo::conDetalle(QStringLiteral("No se pudo escribir en la carpeta temporal."),
                                                 lista.errorString()));
    for (const QByteArray &linea : contenido.salida.split('\n'))
        if (delClub(linea, esquemaDe(d)))
            lista.write(linea + '\n');
    lista.flush();
    const QString queHace = QStringLiteral("la restauración de la copia");
    const Salida s = correr(QStringLiteral("pg_restore"),
                            conexion(d) << QStringLiteral("--clean") << QStringLiteral("--if-exists")
                                        << QStringLiteral("--single-transaction") << QStringLiteral("--exit-on-error")
                                        << QStringLiteral("--use-list=") + lista.fileName()
                                        << QStringLiteral("--dbname=") + d.base << origen,
                            &d, queHace);
    if (!s.bien)
        fallo(QStringLiteral("pg_restore"),
              QStringLiteral("poner la copia en la base de datos del servidor (la base "
                             "quedó como estaba)"),
              s);
}
} // namespace

void restaurar(const DatosServidor &d, const QString &origen)
{
    comprobar(origen);
    ponerCopia(d, origen);
}

QString reemplazar(const DatosServidor &d, const QString &origen, const QString &ruta, const QDateTime &momento)
{
    const QString guardada = Respaldo::nombreParaGuardar(ruta, momento);
    try {
        Respaldo::paso(Respaldo::PasoRestauracion::Guardar);
        copiar(d, guardada);
        Respaldo::paso(Respaldo::PasoRestauracion::Reemplazar);
        // Read through by prepararRestauracion just before.
        ponerCopia(d, origen);
    } catch (const DbError &) {
        // The data is as it was: the copy of it is not needed.
        QFile::remove(guardada);
        throw;
    }
    return guardada;
}

} // namespace RespaldoServidor

namespace {

// The server's backup and restore: its own tools, on the database and schema
// the station works on.
class CopiasServidor : public CopiasDeBase {
public:
    CopiasServidor(Conexion &c, DatosServidor d) : m_c(c), m_d(std::move(d)) {}
    void copiar(const QString &destino) override { RespaldoServidor::copiar(m_d, destino); }
    void prepararRestauracion(const QString &origen) override
    {
        RespaldoServidor::prepararRestauracion(m_c, origen);
        m_origen = origen;
    }
    QString reemplazar(const QString &ruta, const QDateTime &momento) override
    {
        return RespaldoServidor::reemplazar(m_d, m_origen, ruta, momento);
    }

private:
    Conexion &m_c; // until its connection is closed
    DatosServidor m_d;
    QString m_origen;
};

} // namespace

std::unique_ptr<CopiasDeBase> MotorPostgresql::copias(Conexion &c, const QString &)
{
    // The tools reach the server as this connection did.
    DatosServidor d;
    d.host = QString::fromUtf8(PQhost(m_pg));
    d.puerto = QString::fromUtf8(PQport(m_pg));
    d.base = QString::fromUtf8(PQdb(m_pg));
    d.usuario = QString::fromUtf8(PQuser(m_pg));
    d.esquema = RespaldoServidor::esquema(c);
    return std::make_unique<CopiasServidor>(c, d);
}
