#include "dbStock.h"

#include "Module.h"
#include "platform/Reloj.h"

namespace dbStock {

void grabarManual(const QString &tipo, const QString &comentarios, const QString &usuario, const QList<Linea> &lineas)
{
    const QDateTime ahora = Reloj::ahora();
    const double signo = tipo == QLatin1String("Egreso") ? -1.0 : 1.0;
    Transaccion t(*gConexion);
    for (const Linea &l : lineas) {
        const double cantidad = signo * l.cantidad;
        gConexion->execute(QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, cantidad, "
                                          "comentarios, t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?)"),
                           {tipo, ahora, l.productos_id, cantidad, comentarios, usuario});
        gConexion->execute(QStringLiteral("UPDATE productos SET existencia = existencia + ? WHERE id = ?"),
                           {cantidad, l.productos_id});
    }
    t.commit();
}

Recordset productos()
{
    return gConexion->openRecordset(QStringLiteral("SELECT id, descripcion FROM productos ORDER BY id"));
}

Recordset movimientos(const QDate &desde, const QDate &hasta)
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT m.id, m.fecha, m.productos_id, COALESCE(p.descripcion, '') AS producto_desc, "
                       "m.ventas_id, m.cantidad, m.t_usuarios_codigo, m.comentarios FROM movimientos_stock m "
                       "LEFT JOIN productos p ON p.id = m.productos_id "
                       "WHERE m.fecha >= ? AND m.fecha <= ? ORDER BY m.fecha, m.id"),
        {QDateTime(desde, QTime(0, 0)), QDateTime(hasta, QTime(23, 59, 59))});
}

Recordset existencias()
{
    return gConexion->openRecordset(QStringLiteral("SELECT id, descripcion, existencia FROM productos "
                                                   "WHERE activo = 1 ORDER BY descripcion ") +
                                    kCollateEs);
}

} // namespace dbStock
