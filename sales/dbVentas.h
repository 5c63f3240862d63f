#pragma once
// Statements of the counter sales: the header (ventas), its lines
// (ventas_items), their "Egreso" stock movements (movimientos_stock) and the
// stock of each product (productos.existencia).
#include "db/Conexion.h"

#include <QDate>
#include <QList>
#include <optional>

namespace dbVentas {

struct Linea {
    QString productos_id;
    double cantidad = 0;
    double precio_unitario = 0;
    double precio_compra = 0;
};

struct Venta {
    qint64 clientes_id = 0;
    double importe_total = 0; // also written as the amount paid: the change is handed back
    QString comentarios;
    QString t_usuarios_codigo;
    QList<Linea> lineas;
};

// Writes the sale: the header stamped with the clock's now, one line, one
// "Egreso" movement of minus the quantity and one stock decrement per line
// (the stock may go below zero). Runs inside the caller's transaction, which
// must be open; a database error reaches the caller. Returns the sale number,
// the new header row's id.
qint64 grabar(const Venta &v);

// Rows of the sale windows' client picker: id, nombre, by number.
Recordset clientes();

// Sales of the days desde..hasta (whole days), of every client or of one, by
// number: id, fecha, clientes_id, nombre (of the client; "" when none has
// that id), importe_total, fecha_anulacion, comentarios.
Recordset listado(const QDate &desde, const QDate &hasta, std::optional<qint64> cliente = std::nullopt);

// The closing that took sale id (arqueo_id); 0 when none has.
qint64 arqueoDe(qint64 id);

// Cancels sale id at the moment ahora with motivo as its comments: amounts to 0, the
// stock of its lines given back (the quantity each took), its lines
// deleted; its movements stay. Runs inside the
// caller's transaction, which must be open. A sale already cancelled is left
// as it is; its cancellation day is returned then, an invalid date otherwise.
QDate anular(qint64 id, const QString &motivo, const QDateTime &ahora);

} // namespace dbVentas
