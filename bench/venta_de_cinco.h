#pragma once

#include "dbVentas.h"
#include "sentencias_planas.h"

// The sale the benchmarks write as the sale window does: five lines of the
// products P0011 to P0015, each with its movement and stock decrement.
inline dbVentas::Venta ventaDeCinco()
{
    dbVentas::Venta v;
    v.clientes_id = 1;
    v.t_usuarios_codigo = QStringLiteral("admin");
    for (int l = 0; l < 5; ++l) {
        v.lineas.append({QString::asprintf("P%04d", l + 11), 1.5, 1234.5, 900});
        v.importe_total += 1.5 * 1234.5;
    }
    return v;
}

// The least work for the same rows as the program's sale: the sale, then
// each line's row, stock movement and stock decrement, the engine's bare
// statements in one transaction (on a server the sale's key comes back with
// its INSERT). Returns the sale's id.
inline qint64 grabarConSentencias(SentenciasPlanas &s, const dbVentas::Venta &v)
{
    const QString venta = QStringLiteral(
        "INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, comentarios, t_usuarios_codigo) "
        "VALUES ('2026-01-01 10:00:00', 1, ?1, ?1, '', 'admin')");
    s.empezar();
    const qint64 id = s.enServidor() ? s.valor(venta + QStringLiteral(" RETURNING id"), {v.importe_total}) : [&] {
        s.ejecutar(venta, {v.importe_total});
        return s.ultimoId();
    }();
    for (const dbVentas::Linea &l : v.lineas) {
        s.ejecutar(QStringLiteral("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario, "
                                  "precio_compra) VALUES (?1, ?2, ?3, ?4, ?5)"),
                   {id, l.productos_id, l.cantidad, l.precio_unitario, l.precio_compra});
        s.ejecutar(QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, "
                                  "comentarios, t_usuarios_codigo) VALUES ('Egreso', '2026-01-01 10:00:00', ?1, ?2, "
                                  "?3, '', 'admin')"),
                   {l.productos_id, id, -l.cantidad});
        s.ejecutar(QStringLiteral("UPDATE productos SET existencia = existencia - ?1 WHERE id = ?2"),
                   {l.cantidad, l.productos_id});
    }
    s.confirmar();
    return id;
}
