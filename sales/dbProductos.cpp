#include "dbProductos.h"

#include "Module.h"

namespace dbProductos {

Recordset lista(const QString &criterio)
{
    QString sql = QStringLiteral("SELECT id, descripcion, precio_compra, precio_venta, existencia, comentarios, "
                                 "activo FROM productos");
    Parametros p;
    if (!criterio.isEmpty()) {
        // instr, not LIKE: a "%" or "_" typed by the user is a plain character;
        // plegar, not lower: "jabón" finds "JABÓN".
        sql += QStringLiteral(" WHERE instr(plegar(id), plegar(?)) > 0 OR instr(plegar(descripcion), plegar(?)) > 0");
        p << criterio << criterio;
    }
    sql += QStringLiteral(" ORDER BY descripcion") + kCollateEs;
    return gConexion->openRecordset(sql, p);
}

bool existe(const QString &id)
{
    return !gConexion->openRecordset(QStringLiteral("SELECT id FROM productos WHERE id = ?"), {id}).eof();
}

void insertar(const Producto &p)
{
    gConexion->execute(QStringLiteral("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, "
                                      "comentarios, activo) VALUES (?, ?, ?, ?, ?, ?)"),
                       {p.id, p.descripcion, p.precio_compra, p.precio_venta, p.comentarios, p.activo});
}

bool modificar(const Producto &p)
{
    return gConexion->execute(
               QStringLiteral("UPDATE productos SET descripcion = ?, precio_compra = ?, precio_venta = ?, "
                              "comentarios = ?, activo = ? WHERE id = ?"),
               {p.descripcion, p.precio_compra, p.precio_venta, p.comentarios, p.activo, p.id}) > 0;
}

void eliminar(const QString &id) { gConexion->execute(QStringLiteral("DELETE FROM productos WHERE id = ?"), {id}); }

Recordset activos(const QStringList &palabras)
{
    QString sql = QStringLiteral("SELECT id, descripcion FROM productos WHERE activo = 1");
    Parametros p;
    if (!palabras.isEmpty()) {
        // Every word in the description, or every word in the code, in any
        // letter case.
        const QString y = QStringLiteral(" AND ");
        const QStringList enDescripcion(palabras.size(), QStringLiteral("instr(plegar(descripcion), plegar(?)) > 0"));
        const QStringList enCodigo(palabras.size(), QStringLiteral("instr(plegar(id), plegar(?)) > 0"));
        sql += QStringLiteral(" AND ((") + enDescripcion.join(y) + QStringLiteral(") OR (") + enCodigo.join(y) +
               QStringLiteral("))");
        for (const QString &w : palabras + palabras)
            p << w;
    }
    return gConexion->openRecordset(sql + QStringLiteral(" ORDER BY descripcion") + kCollateEs, p);
}

Recordset precios(const QString &id)
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT precio_venta, precio_compra, existencia FROM productos WHERE id = ?"), {id});
}

} // namespace dbProductos
