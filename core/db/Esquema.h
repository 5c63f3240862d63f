#pragma once
#include <QString>

class Conexion;

// Creation of a new shipped database from the schema and seed rows built
// into the program.
namespace Esquema {
// The database password held by the program.
QString claveBase();
// Creates a new database file at ruta (which must not exist) with every table
// and the shipped rows. Throws DbError.
void crearBase(const QString &ruta);
// The schema and shipped rows a new database gets, as one text: it changes
// whenever what crearBase makes changes.
QString textoBase();
// Brings the indexes of a database made by an earlier version to those of
// the schema: creates the ones it lacks and rebuilds the ones defined
// otherwise, in one transaction. A database already up to date is only
// read. Throws DbError.
void actualizarIndices(Conexion &c);
} // namespace Esquema
