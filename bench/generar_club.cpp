#include "generar_club.h"

#include "db/Conexion.h"

#include <QDate>
#include <random>

void generarClub(Conexion &c, const TamanioClub &t)
{
    std::mt19937 rnd(20240315);
    Transaccion tr(c);
    for (int i = 1; i <= t.canchas; ++i)
        c.execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES (?, ?, '')",
                  {QString("C%1").arg(i), QString("Cancha %1").arg(i)});
    for (int h = 0; h < t.horarios; ++h)
        c.execute("INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)",
                  {QString("H%1").arg(h), QString("%1:00").arg(8 + h)});
    for (int i = 1; i <= t.canchas; ++i)
        for (int h = 0; h < t.horarios; ++h)
            c.execute("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES (?, ?, ?)",
                      {QString("C%1").arg(i), QString("H%1").arg(h), 1000.0 + 100 * h});
    for (int i = 0; i < t.clientes; ++i)
        c.execute("INSERT INTO clientes (nombre, telefono, direccion, comentarios) VALUES (?, ?, '', '')",
                  {QString("Cliente %1").arg(i), QString("11-%1").arg(40000000 + i)});
    for (int p = 0; p < t.productos; ++p)
        c.execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) "
                  "VALUES (?, ?, ?, ?, 1000, 1)",
                  {QString("P%1").arg(p), QString("Producto %1").arg(p), 100.0 + p, 180.0 + p});

    const QDate inicio = QDate(2016, 1, 1);
    const QDate fin = inicio.addYears(t.anios);
    std::uniform_int_distribution<int> cancha(1, t.canchas), horario(0, t.horarios - 1), cliente(1, t.clientes),
        producto(0, t.productos - 1), cant(1, 3);
    for (QDate d = inicio; d < fin; d = d.addDays(1)) {
        const QString dia = d.toString(Qt::ISODate);
        for (int r = 0; r < t.reservasPorDia; ++r)
            c.execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, permanente, estado, "
                      "fecha_anticipo, importe_anticipo, importe_total, importe_saldo, comentarios, "
                      "arqueo_anticipo_id, arqueo_saldo_id, t_usuarios_codigo) "
                      "VALUES (?, ?, ?, ?, 0, 'COB', ?, 500, 1500, 1000, '', 1, 1, 'admin')",
                      {cliente(rnd), QString("C%1").arg(cancha(rnd)), dia, QString("H%1").arg(horario(rnd)),
                       dia + " 09:00:00"});
        for (int v = 0; v < t.ventasPorDia; ++v) {
            c.execute("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, comentarios, "
                      "t_usuarios_codigo, arqueo_id) VALUES (?, ?, 540, 540, '', 'admin', 1)",
                      {dia + " 12:00:00", cliente(rnd)});
            const qint64 id = c.lastInsertId();
            for (int l = 0; l < 3; ++l) {
                const QString p = QString("P%1").arg(producto(rnd));
                const int q = cant(rnd);
                c.execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario, "
                          "precio_compra) VALUES (?, ?, ?, 180, 100)",
                          {id, p, q});
                c.execute("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, "
                          "comentarios, t_usuarios_codigo) VALUES ('Egreso', ?, ?, ?, ?, '', 'admin')",
                          {dia + " 12:00:00", p, id, -q});
            }
        }
    }
    tr.commit();
}
