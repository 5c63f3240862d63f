#pragma once
// Statements of the users table (t_usuarios). Passwords are stored as salted
// hashes (Claves); codes compare ignoring letter case, as the key does.
#include "db/Conexion.h"

namespace dbUsuarios {

// Every user ordered by code: Codigo, Descripcion (the administrator included).
Recordset todos();
// Rows of the user pickers that leave the administrator out: Codigo and
// Descripcion in the Spanish order of the description.
Recordset sinAdministrador();
// Every user but excepto (no one left out when it is empty) in the Spanish
// order of the description: Codigo, Descripcion.
Recordset porDescripcion(const QString &excepto = {});
// True when a user with this code exists.
bool existe(const QString &codigo);
// Adds a user whose password is its own code (hashed).
void insertar(const QString &codigo, const QString &descripcion);
// Rewrites the name of user codigo; false when no user has that code any
// more.
bool modificar(const QString &codigo, const QString &descripcion);
// Deletes the user's granted options and then the user, both or neither.
void eliminar(const QString &codigo);
// Stores a new password for user codigo (hashed).
void cambiarClave(const QString &codigo, const QString &clave);

} // namespace dbUsuarios
