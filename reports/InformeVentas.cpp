#include "InformeVentas.h"

#include "Module.h"

#include <cmath>

namespace InformeVentas {

void generar(const QString &usuario, const QDate &desde, const QDate &hasta)
{
    const QString d1 = desde.toString(Qt::ISODate) + QStringLiteral(" 00:00:00");
    const QString d2 = hasta.toString(Qt::ISODate) + QStringLiteral(" 23:59:59");
    // The work rows are rebuilt at every run: no need to wait for the disk.
    SinEsperarDisco rapido(*gConexion);
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM tmp_informe_ventas WHERE t_usuarios_codigo = ?"), {usuario});
    // One grouped pass over the range's lines gives each product's sums;
    // the margin is sales minus cost, as unit price x units minus unit cost x units.
    gConexion->execute(
        QStringLiteral(
            "INSERT INTO tmp_informe_ventas (producto_id, producto_descripcion, cantidad_vendida, importe_costo, "
            "importe_ventas, importe_rentabilidad, porcentaje_ponderacion, t_usuarios_codigo) "
            "SELECT p.id, p.descripcion, s.cantidad, s.compra, s.importe, s.importe - s.compra, 0, ? "
            "FROM productos p INNER JOIN ("
            "  SELECT vi.productos_id, SUM(vi.cantidad) AS cantidad, "
            "         COALESCE(SUM(vi.precio_unitario * vi.cantidad), 0) AS importe, "
            "         COALESCE(SUM(vi.precio_compra * vi.cantidad), 0) AS compra "
            "  FROM ventas_items vi INNER JOIN ventas vc ON vi.ventas_id = vc.id "
            "  WHERE vc.fecha >= ? AND vc.fecha <= ? GROUP BY vi.productos_id"
            ") s ON s.productos_id = p.id "
            "WHERE COALESCE(s.cantidad, 0) <> 0"),
        {usuario, d1, d2});
    const double margen =
        gConexion
            ->openRecordset(QStringLiteral("SELECT SUM(importe_rentabilidad) AS margen_total FROM tmp_informe_ventas "
                                           "WHERE t_usuarios_codigo = ?"),
                            {usuario})
            .campo(0)
            .numero();
    // Margins adding up to 0 (to the cent) leave every share at 0 instead of
    // dividing by nothing.
    if (std::abs(margen) >= 0.005)
        gConexion->execute(QStringLiteral("UPDATE tmp_informe_ventas SET porcentaje_ponderacion = "
                                          "importe_rentabilidad * 100.0 / ? WHERE t_usuarios_codigo = ?"),
                           {margen, usuario});
    t.commit();
}

} // namespace InformeVentas
