#pragma once
#include <QString>

class Conexion;
struct DatosServidor;

// Creation of a new shipped database from the schema and seed rows built
// into the program.
namespace Esquema {
// The database password held by the program.
QString claveBase();
// Creates a new database file at ruta (which must not exist) with every table
// and the shipped rows. Throws DbError.
void crearBase(const QString &ruta);
// Creates the club's tables and shipped rows on a database server (in the
// schema d names, made here, when one is named), from the same schema.
// Refuses a database that already has them (DbError 3204).
void crearBaseServidor(const DatosServidor &d);
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
// Brings a database made by an earlier version to the schema: creates the
// indexes, views and triggers it lacks and makes anew the ones defined
// otherwise; the same for the tables of counts the triggers keep, which are
// then counted afresh (also when a trigger changed). On the file the cash
// concepts and movements, defined otherwise, are made anew with every row.
// On a server an index is made only when missing, the functions the
// triggers run are brought up to date too, a numbered table that lacked the
// trigger moving its numbering past a number given by hand gets it and its
// numbering moved past its highest number, and indexes of earlier versions
// this one has not are dropped. Other tables are left as they are. All in
// one transaction; a database already up to date is only read. Throws
// DbError.
void actualizar(Conexion &c);
// True for a table of counts kept by triggers, which actualizar makes when a
// file lacks it.
bool esRecuento(const QString &tabla);
} // namespace Esquema
