#include "dbVentas.h"

#include "Module.h"
#include "platform/Reloj.h"

namespace dbVentas {

qint64 grabar(const Venta &v)
{
    const QDateTime ahora = Reloj::ahora();
    gConexion->execute(QStringLiteral("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, "
                                      "comentarios, t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?)"),
                       {ahora, v.clientes_id, v.importe_total, v.importe_total, v.comentarios, v.t_usuarios_codigo});
    const qint64 id = gConexion->lastInsertId();
    for (const Linea &l : v.lineas) {
        gConexion->execute(QStringLiteral("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, "
                                          "precio_unitario, precio_compra) VALUES (?, ?, ?, ?, ?)"),
                           {id, l.productos_id, l.cantidad, l.precio_unitario, l.precio_compra});
        gConexion->execute(
            QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, "
                           "cantidad, comentarios, t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {QStringLiteral("Egreso"), ahora, l.productos_id, id, -l.cantidad, v.comentarios, v.t_usuarios_codigo});
        gConexion->execute(QStringLiteral("UPDATE productos SET existencia = existencia - ? WHERE id = ?"),
                           {l.cantidad, l.productos_id});
    }
    return id;
}

Recordset clientes() { return gConexion->openRecordset(QStringLiteral("SELECT id, nombre FROM clientes ORDER BY id")); }

Recordset listado(const QDate &desde, const QDate &hasta, std::optional<qint64> cliente)
{
    QString sql = QStringLiteral("SELECT v.id, v.fecha, v.clientes_id, COALESCE(c.nombre, '') AS nombre, "
                                 "v.importe_total, v.fecha_anulacion, v.comentarios FROM ventas v "
                                 "LEFT JOIN clientes c ON c.id = v.clientes_id WHERE v.fecha >= ? AND v.fecha <= ?");
    Parametros p{QDateTime(desde, QTime(0, 0)), QDateTime(hasta, QTime(23, 59, 59))};
    if (cliente) {
        sql += QStringLiteral(" AND v.clientes_id = ?");
        p << *cliente;
    }
    return gConexion->openRecordset(sql + QStringLiteral(" ORDER BY v.id"), p);
}

qint64 arqueoDe(qint64 id)
{
    // Inside a transaction the sale's row is held first (a write that
    // changes nothing): a closing at another station that took the sale
    // meanwhile is waited for and seen, and one that starts now waits for
    // this transaction.
    if (gConexion->enTransaccion())
        gConexion->execute(QStringLiteral("UPDATE ventas SET arqueo_id = arqueo_id WHERE id = ?"), {id});
    const Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT arqueo_id FROM ventas WHERE id = ?"), {id});
    return rs.eof() ? 0 : rs.campo(0).entero();
}

QDate anular(qint64 id, const QString &motivo, const QDateTime &ahora)
{
    const Recordset venta =
        gConexion->openRecordset(QStringLiteral("SELECT fecha_anulacion FROM ventas WHERE id = ?"), {id});
    if (!venta.eof() && !venta.campo(0).texto().isEmpty())
        return venta.campo(0).fecha();
    gConexion->execute(QStringLiteral("UPDATE ventas SET importe_total = 0, importe_pagado = 0, fecha_anulacion = ?, "
                                      "comentarios = ? WHERE id = ?"),
                       {ahora, motivo, id});
    for (Recordset rs = gConexion->openRecordset(
             QStringLiteral("SELECT productos_id, cantidad FROM ventas_items WHERE ventas_id = ?"), {id});
         !rs.eof(); rs.moveNext()) {
        // What the sale took goes back, fractions included (2.5 litres sold
        // are 2.5 returned), so the stock is as it was before the sale.
        gConexion->execute(QStringLiteral("UPDATE productos SET existencia = existencia + ? WHERE id = ?"),
                           {rs.campo(QStringLiteral("cantidad")).numero(), rs.texto(QStringLiteral("productos_id"))});
    }
    gConexion->execute(QStringLiteral("DELETE FROM ventas_items WHERE ventas_id = ?"), {id});
    return {};
}

} // namespace dbVentas
