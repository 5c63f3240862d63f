#pragma once
// Statements of the cash concepts (caja_conceptos). System concepts (INI,
// ING, EGR, RES, TUR, VEN; sistema other than 0) come with the database and
// are never listed for editing nor offered for a movement.
#include "db/Conexion.h"

namespace dbConceptosCaja {

// The users' own concepts in the Spanish order of the description: id,
// descripcion.
Recordset deUsuario();
// The description of concept id, system ones included, whatever the letter
// case of id (of two codes kept from an earlier version that differ only in
// case, the one written as id); "" when none.
QString descripcion(const QString &id);
// Adds a concept of the users (its sistema takes the default 0). A code
// that exists in any letter case is error 3022.
void insertar(const QString &id, const QString &descripcion);
// Rewrites the description of concept id, written as listed: of two codes
// kept from an earlier version that differ only in case, only that one.
// False when no concept has that code any more.
bool modificar(const QString &id, const QString &descripcion);
// Deletes concept id, written as listed (as modificar); the movements keep
// the code and description they copied.
void eliminar(const QString &id);

} // namespace dbConceptosCaja
