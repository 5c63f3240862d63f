#include "InformeVentas.h"

#include "Module.h"

#include <algorithm>
#include <cmath>

namespace InformeVentas {

void generar(const QString &usuario, const QDate &desde, const QDate &hasta)
{
    // The work rows are rebuilt at every run: no need to wait for the disk.
    SinEsperarDisco rapido(*gConexion);
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM tmp_informe_ventas WHERE t_usuarios_codigo = ?"), {usuario});
    // A grouped pass over the range's lines gives each product's sums, kept
    // in a table of this connection's memory; the margin is sales minus
    // cost, as unit price x units minus unit cost x units. The total margin
    // is read from there, so each row is written to the report's table once,
    // already with its share. The engine sorts the lines it groups in memory:
    // a long range is summed a year at a time, so that sort holds a year's
    // lines, not the club's whole history.
    gConexion->executeScript(
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ventas_por_producto ("
                       "productos_id TEXT COLLATE NOCASE, cantidad REAL, importe REAL, compra REAL);"
                       "CREATE TEMP TABLE IF NOT EXISTS ventas_por_producto_tramo ("
                       "productos_id TEXT COLLATE NOCASE, cantidad REAL, importe REAL, compra REAL);"));
    gConexion->execute(QStringLiteral("DELETE FROM temp.ventas_por_producto"));
    gConexion->execute(QStringLiteral("DELETE FROM temp.ventas_por_producto_tramo"));
    const QString sumar = QStringLiteral("INSERT INTO temp.%1 "
                                         "SELECT vi.productos_id, SUM(vi.cantidad), "
                                         "       COALESCE(SUM(vi.precio_unitario * vi.cantidad), 0), "
                                         "       COALESCE(SUM(vi.precio_compra * vi.cantidad), 0) "
                                         "FROM ventas_items vi INNER JOIN ventas vc ON vi.ventas_id = vc.id "
                                         "WHERE vc.fecha >= ? AND vc.fecha <= ? GROUP BY vi.productos_id");
    const QString fin = hasta.toString(Qt::ISODate) + QStringLiteral(" 23:59:59");
    if (desde.addYears(1) > hasta) {
        gConexion->execute(sumar.arg(QStringLiteral("ventas_por_producto")),
                           {desde.toString(Qt::ISODate) + QStringLiteral(" 00:00:00"), fin});
    } else {
        for (QDate d = desde; d <= hasta; d = d.addYears(1)) {
            const QDate ultimo = std::min(d.addYears(1).addDays(-1), hasta);
            gConexion->execute(sumar.arg(QStringLiteral("ventas_por_producto_tramo")),
                               {d.toString(Qt::ISODate) + QStringLiteral(" 00:00:00"),
                                ultimo.toString(Qt::ISODate) + QStringLiteral(" 23:59:59")});
        }
        gConexion->execute(
            QStringLiteral("INSERT INTO temp.ventas_por_producto SELECT productos_id, SUM(cantidad), SUM(importe), "
                           "SUM(compra) FROM temp.ventas_por_producto_tramo GROUP BY productos_id"));
        gConexion->execute(QStringLiteral("DELETE FROM temp.ventas_por_producto_tramo"));
    }
    // The margin of the products that get a row, as they are written below.
    const double margen =
        gConexion
            ->openRecordset(QStringLiteral("SELECT SUM(s.importe - s.compra) AS margen_total "
                                           "FROM temp.ventas_por_producto s INNER JOIN productos p "
                                           "ON p.id = s.productos_id WHERE COALESCE(s.cantidad, 0) <> 0"))
            .campo(0)
            .numero();
    // Margins adding up to 0 (to the cent) leave every share at 0 instead of
    // dividing by nothing.
    const double divisor = std::abs(margen) >= 0.005 ? margen : 0.0;
    gConexion->execute(
        QStringLiteral(
            "INSERT INTO tmp_informe_ventas (producto_id, producto_descripcion, cantidad_vendida, importe_costo, "
            "importe_ventas, importe_rentabilidad, porcentaje_ponderacion, t_usuarios_codigo) "
            "SELECT p.id, p.descripcion, s.cantidad, s.compra, s.importe, s.importe - s.compra, "
            "  CASE WHEN ? = 0 THEN 0 ELSE (s.importe - s.compra) * 100.0 / ? END, ? "
            "FROM temp.ventas_por_producto s INNER JOIN productos p ON p.id = s.productos_id "
            "WHERE COALESCE(s.cantidad, 0) <> 0"),
        {divisor, divisor, usuario});
    t.commit();
}

} // namespace InformeVentas
