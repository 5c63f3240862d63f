#include "dbClientes.h"

#include "Module.h"

namespace dbClientes {

Recordset todos()
{
    return gConexion->openRecordset(QStringLiteral("SELECT id, nombre, telefono, direccion, comentarios "
                                                   "FROM clientes ORDER BY id"));
}

Recordset listaConTelefono()
{
    return gConexion->openRecordset(
        // Ordered by the shown text itself: a column number cannot take a
        // collation on the server.
        QStringLiteral("SELECT id, COALESCE(nombre, '') || ' / ' || COALESCE(telefono, '') AS nombre "
                       "FROM clientes ORDER BY (COALESCE(nombre, '') || ' / ' || COALESCE(telefono, ''))") +
        QLatin1String(kCollateEs));
}

qint64 insertar(const Cliente &c)
{
    gConexion->execute(QStringLiteral("INSERT INTO clientes (nombre, telefono, direccion, comentarios) "
                                      "VALUES (?, ?, ?, ?)"),
                       {c.nombre, c.telefono, c.direccion, c.comentarios});
    return gConexion->lastInsertId();
}

bool modificar(qint64 id, const Cliente &c)
{
    return gConexion->execute(QStringLiteral("UPDATE clientes SET nombre = ?, telefono = ?, direccion = ?, "
                                             "comentarios = ? WHERE id = ?"),
                              {c.nombre, c.telefono, c.direccion, c.comentarios, id}) > 0;
}

void eliminar(qint64 id) { gConexion->execute(QStringLiteral("DELETE FROM clientes WHERE id = ?"), {id}); }

} // namespace dbClientes
