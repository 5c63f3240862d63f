#pragma once
// Credentials and granted menu options of the users (t_usuarios,
// t_opcionesasignadas). No window code here.
#include <QString>
#include <QStringList>

namespace Permisos {

enum class Credenciales {
    Correctas,
    CodigoInexistente, // no user with that code (compared ignoring case)
    ClaveErronea,      // the password does not match the stored hash
};

// Looks the user up by code (ignoring case) and compares the typed password
// with the stored salted hash, exactly (letter case counts). Throws DbError.
Credenciales verificar(const QString &codigo, const QString &clave);

// True when the user holds at least one option. Throws DbError.
bool tieneOpciones(const QString &codigo);
// True when the user holds the option (menu item name). Throws DbError.
bool tieneOpcion(const QString &codigo, const QString &opcion);

// Every option the user holds, in no particular order. Throws DbError.
QStringList opciones(const QString &codigo);
// Replaces every option of the user by opciones (menu item names), all or
// nothing: on a failure the user keeps the options held before. An empty
// list leaves the user without options. Throws DbError.
void asignar(const QString &codigo, const QStringList &opciones);

// The built-in administrator for the menus: "ADMIN" in any letter case.
bool esAdministrador(const QString &codigo);

// Menu items that carry no permission and are shown to every logged-in user
// (names compared ignoring case).
bool esOpcionSiempreVisible(const QString &nombre);

} // namespace Permisos
