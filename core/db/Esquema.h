#pragma once
#include <QString>

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
} // namespace Esquema
