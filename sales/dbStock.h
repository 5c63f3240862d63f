#pragma once
// Statements of the stock movements made by hand and of the stock listings
// (movimientos_stock, productos.existencia).
#include "db/Conexion.h"

#include <QDate>
#include <QList>

namespace dbStock {

struct Linea {
    QString productos_id;
    double cantidad = 0; // as typed: positive
};

// Writes one movement of type tipo ("Ingreso" or "Egreso") per line, stamped
// with the clock's now, with comentarios and usuario and no sale, and moves
// each product's stock by the signed quantity (an "Egreso" is stored and
// applied negative; the stock may go below zero). All lines or none: a guard
// of its own joins the caller's transaction.
void grabarManual(const QString &tipo, const QString &comentarios, const QString &usuario, const QList<Linea> &lineas);

// Every product, active or not, by code, for the line dialog's picker: id,
// descripcion.
Recordset productos();

// The movements of the days desde..hasta (from 00:00:00 of the first to
// 23:59:59 of the last) by moment and id: id, fecha, productos_id,
// producto_desc ("" when the product no longer exists), ventas_id, cantidad,
// t_usuarios_codigo, comentarios.
Recordset movimientos(const QDate &desde, const QDate &hasta);

// Active products in the Spanish order of the description: id, descripcion,
// existencia.
Recordset existencias();

} // namespace dbStock
