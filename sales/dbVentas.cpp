#include "dbVentas.h"

#include "Module.h"
#include "platform/Reloj.h"

namespace dbVentas {

qint64 grabar(const Venta &v)
{
    const QDateTime ahora = Reloj::ahora();
    // The seller's register first, as its closing takes it: a closing at
    // another station takes the sale whole or not at all.
    bloquearCajasAbiertas(*gConexion, {v.t_usuarios_codigo});
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

qint64 arqueoDe(qint64 id) { return arqueoDe(*gConexion, id); }

qint64 arqueoDe(Conexion &c, qint64 id)
{
    // Inside a transaction the seller's open register is held first, as a
    // closing holds it, then the sale's row (a write that changes nothing):
    // a closing at another station that took the sale meanwhile is waited
    // for and seen, and one that starts now waits for this transaction.
    if (c.enTransaccion()) {
        bloquearCajasDe(c, QStringLiteral("SELECT t_usuarios_codigo FROM ventas WHERE id = ?"), {id});
        c.execute(QStringLiteral("UPDATE ventas SET arqueo_id = arqueo_id WHERE id = ?"), {id});
    }
    const Recordset rs = c.openRecordset(QStringLiteral("SELECT arqueo_id FROM ventas WHERE id = ?"), {id});
    return rs.eof() ? 0 : rs.campo(0).entero();
}

Anulacion anular(qint64 id, const QString &motivo, const QString &usuario, const QDateTime &ahora)
{
    return anular(*gConexion, id, motivo, usuario, ahora);
}

Anulacion anular(Conexion &c, qint64 id, const QString &motivo, const QString &usuario, const QDateTime &ahora)
{
    Transaccion t(c);
    Anulacion a;
    // Checked under the lock: a closing may have taken the sale while the
    // reason was being typed.
    a.cierre = arqueoDe(c, id);
    if (a.cierre != 0)
        return a;
    const Recordset venta = c.openRecordset(QStringLiteral("SELECT fecha_anulacion FROM ventas WHERE id = ?"), {id});
    if (!venta.eof() && !venta.campo(0).texto().isEmpty()) {
        a.anuladaEl = venta.campo(0).fecha();
        return a;
    }
    c.execute(QStringLiteral("UPDATE ventas SET importe_total = 0, importe_pagado = 0, fecha_anulacion = ?, "
                             "comentarios = ? WHERE id = ?"),
              {ahora, motivo, id});
    for (Recordset rs = c.openRecordset(
             QStringLiteral("SELECT productos_id, cantidad FROM ventas_items WHERE ventas_id = ?"), {id});
         !rs.eof(); rs.moveNext()) {
        // What the sale took goes back, fractions included (2.5 litres sold
        // are 2.5 returned), so the stock is as it was before the sale; the
        // sale's "Egreso" rows stay as history and this one, tied to the
        // sale, returns the line, so the stock stays its movements' sum.
        const double cantidad = rs.campo(QStringLiteral("cantidad")).numero();
        const QString producto = rs.texto(QStringLiteral("productos_id"));
        c.execute(QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, "
                                 "comentarios, t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {QStringLiteral("Ingreso"), ahora, producto, id, cantidad, motivo, usuario});
        c.execute(QStringLiteral("UPDATE productos SET existencia = existencia + ? WHERE id = ?"),
                  {cantidad, producto});
    }
    c.execute(QStringLiteral("DELETE FROM ventas_items WHERE ventas_id = ?"), {id});
    t.commit();
    return a;
}

} // namespace dbVentas
