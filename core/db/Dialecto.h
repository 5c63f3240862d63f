#pragma once
// Where the engines' dialects differ, in one place: the statement that
// opens a transaction, the settings of a new connection, and the engine's
// own error codes turned into the numbers the program reacts to (3022
// duplicate key, 3260 locked, ...). Statements of the program are written
// once; only what cannot be written alike for every engine lives here.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DbError;

enum class TipoMotor { Sqlcipher, Postgresql };

namespace Dialecto {
// A table or column name as a quoted identifier (a quote inside it doubled),
// for statement text; both engines take it.
QString identificador(const QString &nombre);
// The statement that opens the connection's one transaction.
QString inicioTransaccion(TipoMotor m);
// The statement that holds a lock, named by the number it binds, until the
// open transaction ends, so that writers taking the same lock go one after
// the other; empty where the transaction already keeps every other writer
// out (the file's).
QString bloqueoTransaccion(TipoMotor m);
// Settings of every connection, run once it is open.
QString ajustesConexion(TipoMotor m);
// The setting that makes commits wait for the disk or not.
QString esperaDisco(TipoMotor m, bool esperar);
// A SQLite result code (primary and extended), with the system's errno
// and the engine's message, as the program's error.
DbError errorSqlite(int codigo, int extendido, int errnoSistema, const QString &mensaje);

// The server's form of a statement of the program: values numbered ($1,
// $2, ...) instead of ?, LIKE ignoring letter case, INSERT OR IGNORE as ON
// CONFLICT DO NOTHING; parametros gets how many values it takes. Only the
// code is rewritten and counted: quoted texts and names, comments and
// $tag$ bodies reach the server as written.
QByteArray sentenciaPostgresql(const QString &sql, int &parametros);
// The server's form of a CREATE statement of the schema (tipo "table",
// "index" or "view"; a trigger is disparadorPostgresql's).
// A code (TEXT COLLATE NOCASE) becomes the domain codigo; a key holding one
// is no primary key there but the unique indexes clavesPostgresql gives.
QString ddlPostgresql(const QString &tipo, const QString &sentencia);
// The CREATE UNIQUE INDEX statements that keep, on the server, the key of
// a CREATE TABLE of the schema holding a code: ux_<table>_clave with its
// codes compared as the file compares them, and, for a key of one code,
// ux_<table>_codigo on the column as written (what ON CONFLICT names). None
// for any other table.
QStringList clavesPostgresql(const QString &sentencia);
// The server's form of a CREATE TRIGGER of the schema, written for the
// file's engine: the plpgsql function (named as the trigger) that runs the
// trigger's statements, and the row trigger that calls it. INSERT and
// UPDATE OR IGNORE become statements that leave a row already there, IS
// and IS NOT comparisons of Nulls IS [NOT] DISTINCT FROM; the trigger's
// WHEN goes into the function. Empty for a trigger whose rule the server
// keeps otherwise: one that refuses with RAISE or reads rowid.
QStringList disparadorPostgresql(const QString &sentencia);
// The number of the lock that keeps two makers of the shared objects below
// apart (earlier versions take it too).
inline constexpr qint64 kBloqueoCompartidos = 5813;
// An object every schema of a server's database shares (in public).
struct Compartido {
    QString clase;     // "extension", "collation", "domain", "function" or "operator"
    QString nombre;    // as the catalogue names it: "plegar(text)", "=(codigo,codigo)", "fecha"
    QString sentencia; // makes it; run over its former self, makes it anew or leaves it
    // What COMMENT ON names it by ("FUNCTION public.plegar(text)") for one
    // made anew when made otherwise; empty for one only made when missing.
    QString comentario;
};
// The shared objects, in the order they are made: the case-ignoring text
// type, the Spanish collation ES, the domains of dates, flags and codes
// with the codes' equality, and the search functions plegar, instr and
// group_concat.
QList<Compartido> compartidosPostgresql();
// A server error (its SQLSTATE and message) as the program's error. A
// connection lost while the program runs is 08006, or 08007 when it held an
// open transaction (told as not saved); both are 3024, as a server that
// cannot be reached.
DbError errorPostgresql(const QByteArray &estado, const QString &mensaje);
// A text value as the server stores it, and back. The server's text cannot
// hold the character 0, so it is kept as U+FFFF followed by '0', and U+FFFF
// itself as U+FFFF twice: any text comes back exactly as it was given.
// Only values of the program's text columns (and expressions of text) are
// read back this way; other texts are the server's own.
QByteArray textoAlServidor(const QString &texto);
QString textoDelServidor(const char *datos, int largo);
} // namespace Dialecto
