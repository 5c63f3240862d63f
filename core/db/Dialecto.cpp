#include "Dialecto.h"

#include "Conexion.h"

#include <cerrno>
#include <sqlite3.h>

QString Dialecto::inicioTransaccion(TipoMotor)
{
    // The write lock is taken at once: a second writer waits or is told
    // before any work is done, never at the commit.
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString Dialecto::ajustesConexion(TipoMotor)
{
    // A desktop program that must not lose a confirmed write and must stay
    // fast on years of data.
    return QStringLiteral("PRAGMA journal_mode = WAL;"
                          "PRAGMA synchronous = FULL;"
                          // 32 MiB of pages: the indexes the loyalty
                          // report looks into client by client stay in
                          // memory between runs.
                          "PRAGMA cache_size = -32768;"
                          "PRAGMA temp_store = MEMORY;"
                          // A row replaced by INSERT OR REPLACE leaves
                          // through the delete triggers, which keep the
                          // counts of reservations.
                          "PRAGMA recursive_triggers = ON;");
}

QString Dialecto::esperaDisco(TipoMotor, bool esperar)
{
    // In write-ahead mode NORMAL skips the wait for the disk at each commit;
    // the next FULL commit makes everything before it durable again.
    return esperar ? QStringLiteral("PRAGMA synchronous = FULL;") : QStringLiteral("PRAGMA synchronous = NORMAL;");
}

DbError Dialecto::errorSqlite(int codigo, int extendido, int errnoSistema, const QString &mensaje)
{
    int numero = 3000;
    QString texto;
    switch (codigo & 0xff) {
    case SQLITE_CONSTRAINT: {
        // A trigger that keeps codes unique without regard to letter case
        // refuses a duplicate with the engine's own words.
        const bool repetidoPorDisparador =
            extendido == SQLITE_CONSTRAINT_TRIGGER && mensaje.startsWith(QLatin1String("UNIQUE constraint failed"));
        if (extendido == SQLITE_CONSTRAINT_UNIQUE || extendido == SQLITE_CONSTRAINT_PRIMARYKEY ||
            repetidoPorDisparador) {
            numero = 3022;
            texto = QStringLiteral("Los cambios no se realizaron porque crearían valores duplicados en la clave");
        } else if (extendido == SQLITE_CONSTRAINT_NOTNULL) {
            numero = 3314;
            texto = QStringLiteral("Falta un valor obligatorio");
        } else {
            numero = 3317;
            texto = QStringLiteral("Un valor no cumple una regla de la tabla");
        }
        break;
    }
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        numero = 3260;
        texto = QStringLiteral("El archivo de base de datos está bloqueado por otro proceso");
        break;
    case SQLITE_CANTOPEN:
        numero = 3024;
        texto = QStringLiteral("No se pudo abrir el archivo de base de datos");
        break;
    case SQLITE_NOTADB:
        numero = 3343;
        texto = QStringLiteral("El archivo no es una base de datos reconocida o la contraseña no es válida");
        break;
    case SQLITE_READONLY:
        numero = 3027;
        texto = QStringLiteral("La base de datos es de sólo lectura");
        break;
    case SQLITE_FULL:
        numero = 3026;
        texto = QStringLiteral("No hay espacio suficiente en el disco");
        break;
    case SQLITE_IOERR:
        // A write refused for lack of space is a full disk, whatever path
        // of the engine reported it.
        if (errnoSistema == ENOSPC) {
            numero = 3026;
            texto = QStringLiteral("No hay espacio suficiente en el disco");
        } else {
            numero = 3043;
            texto = QStringLiteral("Error de lectura o escritura en el disco");
        }
        break;
    case SQLITE_CORRUPT:
        numero = 3049;
        texto = QStringLiteral("La base de datos está dañada");
        break;
    default: texto = QStringLiteral("Error de la base de datos"); break;
    }
    return DbError(numero, texto + QStringLiteral(" (") + mensaje + QStringLiteral(")"));
}
