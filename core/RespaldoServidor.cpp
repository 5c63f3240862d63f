#include "RespaldoServidor.h"

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

// Runs a tool of the server; its own message when it fails.
void correr(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForStarted(10000))
        throw DbError(3000, QStringLiteral("No se pudo ejecutar %1 (instale el cliente de PostgreSQL).").arg(programa));
    p.closeWriteChannel();
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(
            3000, QStringLiteral("%1: %2").arg(programa, QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
}

} // namespace

void comprobar(const QString &archivo)
{
    correr(QStringLiteral("pg_restore"), {QStringLiteral("--list"), QStringLiteral("--file=/dev/null"), archivo});
}

void copiar(const DatosServidor &d, const QString &destino)
{
    const QString temporal = destino + QStringLiteral(".copiando");
    QFile::remove(temporal);
    try {
        correr(QStringLiteral("pg_dump"),
               conexion(d) << QStringLiteral("--format=custom") << QStringLiteral("--file=") + temporal << d.base);
        comprobar(temporal);
    } catch (...) {
        QFile::remove(temporal);
        throw;
    }
    QFile::remove(destino);
    if (!QFile::rename(temporal, destino)) {
        QFile::remove(temporal);
        throw DbError(3000, QStringLiteral("No se pudo guardar la copia como '%1'.").arg(destino));
    }
}

void restaurar(const DatosServidor &d, const QString &origen)
{
    comprobar(origen);
    correr(QStringLiteral("pg_restore"), conexion(d) << QStringLiteral("--clean") << QStringLiteral("--if-exists")
                                                     << QStringLiteral("--single-transaction")
                                                     << QStringLiteral("--exit-on-error")
                                                     << QStringLiteral("--dbname=") + d.base << origen);
}

} // namespace RespaldoServidor
