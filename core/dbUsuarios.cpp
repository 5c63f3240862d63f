#include "dbUsuarios.h"

#include "Claves.h"
#include "Module.h"

namespace dbUsuarios {

Recordset todos()
{
    return gConexion->openRecordset(QStringLiteral("SELECT Codigo, Descripcion FROM t_usuarios ORDER BY Codigo"));
}

Recordset porDescripcion(const QString &excepto)
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT Codigo, Descripcion FROM t_usuarios WHERE Codigo <> ? ORDER BY Descripcion") +
            QLatin1String(kCollateEs),
        {excepto});
}

// The code column ignores letter case, so "Admin" is left out as well.
Recordset sinAdministrador() { return porDescripcion(QStringLiteral("ADMIN")); }

bool existe(const QString &codigo)
{
    return !gConexion->openRecordset(QStringLiteral("SELECT Codigo FROM t_usuarios WHERE Codigo = ?"), {codigo}).eof();
}

void insertar(const QString &codigo, const QString &descripcion)
{
    gConexion->execute(QStringLiteral("INSERT INTO t_usuarios (Codigo, Descripcion, Clave) VALUES (?, ?, ?)"),
                       {codigo, descripcion, Claves::hash(codigo)});
}

bool modificar(const QString &codigo, const QString &descripcion)
{
    return gConexion->execute(QStringLiteral("UPDATE t_usuarios SET Descripcion = ? WHERE Codigo = ?"),
                              {descripcion, codigo}) > 0;
}

void eliminar(const QString &codigo)
{
    // Permissions first, in one transaction: a failing second delete must not
    // leave a user stripped of its options, nor options without their user.
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM t_opcionesasignadas WHERE codigo = ?"), {codigo});
    gConexion->execute(QStringLiteral("DELETE FROM t_usuarios WHERE Codigo = ?"), {codigo});
    t.commit();
}

void cambiarClave(const QString &codigo, const QString &clave)
{
    gConexion->execute(QStringLiteral("UPDATE t_usuarios SET Clave = ? WHERE Codigo = ?"),
                       {Claves::hash(clave), codigo});
}

} // namespace dbUsuarios
