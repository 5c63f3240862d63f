#pragma once
#include <QString>
#include <chrono>

class Conexion;
struct DatosServidor;

// Creation of a new shipped database from the schema and seed rows built
// into the program, and the update of one made by an earlier version.
namespace Esquema {
// The version of the schema this program makes: one more with every change
// of what a database is made of (tables, indexes, views, triggers, the
// server's functions and shared objects). A database records the version
// that made it or last brought it up to date (versionDe); a program never
// opens one of a newer version than its own.
inline constexpr int kVersion = 1;
// The longest a station waits for another station's update of a server's
// database (or for the tables other stations are reading) before it gives up.
inline constexpr std::chrono::milliseconds kEsperaActualizacion{30000};

// The database password held by the program.
QString claveBase();
// Creates a new database file at ruta (which must not exist) with every table
// and the shipped rows. Throws DbError.
void crearBase(const QString &ruta);
// Creates the club's tables and shipped rows on a database server (in the
// schema d names, made here, when one is named), from the same schema.
// Refuses a database that already has them (DbError 3204); waits for
// another creation in the same database as actualizar waits.
void crearBaseServidor(const DatosServidor &d, std::chrono::milliseconds espera = kEsperaActualizacion);
// Makes on c, inside the caller's transaction, the tables of the schema
// alone: no index, view, trigger or row. A database about to receive a club
// copied from another gets them, and actualizar then makes the rest over the
// copied rows (faster than keeping every index and count row by row). On a
// server, esquema names the schema to make them in (made here when
// missing), "" for the connection's own. Refuses a database (on a server,
// a schema) that holds any table (DbError 3204).
void crearTablas(Conexion &c, const QString &esquema = {});
// The schema and shipped rows a new database gets, as one text: it changes
// whenever what crearBase makes changes.
QString textoBase();
// The version of the schema recorded in the database of c: the file's
// user_version, the comment of the table t_numeradores on a server; 0 for
// a database made before versions were recorded. Throws DbError.
int versionDe(Conexion &c);
// The version the server's comment of t_numeradores holds (its first
// number); 0 for none.
int versionDelComentario(const QString &comentario);
// Brings a database made by an earlier version to the schema: creates the
// indexes, views and triggers it lacks and makes anew the ones defined
// otherwise; the same for the tables of counts the triggers keep, which are
// then counted afresh (also when a trigger changed). On the file the cash
// concepts and movements, defined otherwise, are made anew with every row.
// On a server an index is made only when missing, the functions the
// triggers run there and those every schema of the database shares (the
// search functions, group_concat) are brought up to date too (but for a
// shared function a newer version made), codes an earlier
// version kept as citext become codigo (compared as on the file), a
// numbered table that lacked the trigger moving its numbering past a number
// given by hand gets it and its numbering moved past its highest number,
// and indexes of earlier versions this one has not are dropped. Other
// tables are left as they are. All in one transaction; the version is then
// recorded. A database already up to date is only read.
// Refuses a database of a newer version than kVersion (DbError 3041, which
// tells the user to update the program) without writing to it. A station
// that finds another one updating the same server's database waits for it
// at most espera, then gives up with DbError 3260, saying so.
void actualizar(Conexion &c, std::chrono::milliseconds espera = kEsperaActualizacion);
// True for a table of counts kept by triggers, which actualizar makes when a
// file lacks it.
bool esRecuento(const QString &tabla);
} // namespace Esquema
