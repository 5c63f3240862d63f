#pragma once
// Where the engines' dialects differ, in one place: the statement that
// opens a transaction, the settings of a new connection, and the engine's
// own error codes turned into the numbers the program reacts to (3022
// duplicate key, 3260 locked, ...). Statements of the program are written
// once; only what cannot be written alike for every engine lives here.
#include <QString>

class DbError;

enum class TipoMotor { Sqlcipher };

namespace Dialecto {
// The statement that opens the connection's one transaction.
QString inicioTransaccion(TipoMotor m);
// Settings of every connection, run once it is open.
QString ajustesConexion(TipoMotor m);
// The setting that makes commits wait for the disk or not.
QString esperaDisco(TipoMotor m, bool esperar);
// A SQLite result code (primary and extended), with the system's errno
// and the engine's message, as the program's error.
DbError errorSqlite(int codigo, int extendido, int errnoSistema, const QString &mensaje);
} // namespace Dialecto
