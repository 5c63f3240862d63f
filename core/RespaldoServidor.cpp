#include "RespaldoServidor.h"

#include "Respaldo.h"

#include <QFile>
#include <QProcess>

namespace RespaldoServidor {

namespace {

// The arguments that name the server, its user and (for the tests) schema.
QStringList conexion(const DatosServidor &d)
{
    QStringList a{QStringLiteral("--no-password")};
    if (!d.host.isEmpty())
        a << QStringLiteral("--host=") + d.host;
    if (!d.puerto.isEmpty())
        a << QStringLiteral("--port=") + d.puerto;
    if (!d.usuario.isEmpty())
        a << QStringLiteral("--username=") + d.usuario;
    if (!d.esquema.isEmpty())
        a << QStringLiteral("--schema=") + d.esquema;
    return a;
}

// Runs a tool of the server; its own message when it fails. Returns what
// it wrote.
QByteArray correr(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForStarted(10000))
        throw DbError(3000, QStringLiteral("No se pudo ejecutar %1 (instale el cliente de PostgreSQL).").arg(programa));
    p.closeWriteChannel();
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(
            3000, QStringLiteral("%1: %2").arg(programa, QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
    return p.readAllStandardOutput();
}

} // namespace

QString esquema(Conexion &c) { return c.openRecordset(QStringLiteral("SELECT current_schema()")).texto(0); }

void comprobar(const QString &archivo, const QString &esquema, const QStringList &tablas)
{
    // The whole archive is read, its data too: a copy cut short or damaged
    // after its table of contents fails here, not halfway through a restore.
    correr(QStringLiteral("pg_restore"), {QStringLiteral("--file=/dev/null"), archivo});
    if (tablas.isEmpty())
        return;
    // Lines of the contents: "<n>; <oid> <oid> TABLE <schema> <name> <owner>".
    QStringList tiene;
    for (const QByteArray &linea :
         correr(QStringLiteral("pg_restore"), {QStringLiteral("--list"), archivo}).split('\n')) {
        const QStringList c = QString::fromUtf8(linea).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!linea.startsWith(';') && c.size() >= 6 && c[3] == QLatin1String("TABLE") && c[4] == esquema)
            tiene << c[5];
    }
    for (const QString &t : tablas)
        if (!tiene.contains(t, Qt::CaseInsensitive))
            throw DbError(
                3078,
                QStringLiteral("El archivo no es una copia de la base del sistema: le falta la tabla '%1'.").arg(t));
}

void copiar(const DatosServidor &d, const QString &destino)
{
    const QString temporal = destino + QStringLiteral(".copiando");
    QFile::remove(temporal);
    try {
        correr(QStringLiteral("pg_dump"),
               conexion(d) << QStringLiteral("--format=custom") << QStringLiteral("--file=") + temporal << d.base);
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

void restaurar(const DatosServidor &d, const QString &origen)
{
    comprobar(origen);
    correr(QStringLiteral("pg_restore"), conexion(d) << QStringLiteral("--clean") << QStringLiteral("--if-exists")
                                                     << QStringLiteral("--single-transaction")
                                                     << QStringLiteral("--exit-on-error")
                                                     << QStringLiteral("--dbname=") + d.base << origen);
}

QString reemplazar(const DatosServidor &d, const QString &origen, const QString &ruta, const QDateTime &momento)
{
    const QString guardada = Respaldo::nombreParaGuardar(ruta, momento);
    try {
        Respaldo::paso(Respaldo::PasoRestauracion::Guardar);
        copiar(d, guardada);
        Respaldo::paso(Respaldo::PasoRestauracion::Reemplazar);
        restaurar(d, origen);
    } catch (const DbError &) {
        // The data is as it was: the copy of it is not needed.
        QFile::remove(guardada);
        throw;
    }
    return guardada;
}

} // namespace RespaldoServidor
