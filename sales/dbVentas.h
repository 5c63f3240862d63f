#pragma once
// Statements of the counter sales: the header (ventas), its lines
// (ventas_items), their "Egreso" stock movements and the "Ingreso" ones of
// their cancellation (movimientos_stock) and the stock of each product
// (productos.existencia).
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

// Writes the sale, once the seller's open registers are held
// (bloquearCajasAbiertas): the header stamped with the clock's now, one line,
// one "Egreso" movement of minus the quantity and one stock decrement per
// line (the stock may go below zero). Runs inside the caller's transaction, which
// must be open; a database error reaches the caller. Returns the sale number,
// the new header row's id.
qint64 grabar(const Venta &v);

// Rows of the sale windows' client picker: id, nombre, by number.
Recordset clientes();

// Sales of the days desde..hasta (whole days), of every client or of one, by
// number: id, fecha, clientes_id, nombre (of the client; "" when none has
// that id), importe_total, fecha_anulacion, comentarios.
Recordset listado(const QDate &desde, const QDate &hasta, std::optional<qint64> cliente = std::nullopt);

// The closing that took sale id (arqueo_id); 0 when none has. Inside a
// transaction it first holds the open registers of the sale's seller
// (bloquearCajasAbiertas) and the sale's row until the transaction ends.
qint64 arqueoDe(qint64 id);
// The same on connection c (another station's).
qint64 arqueoDe(Conexion &c, qint64 id);

// What a cancellation found.
struct Anulacion {
    qint64 cierre = 0; // the closing that had taken the sale: refused
    QDate anuladaEl;   // the day of an earlier cancellation: left as it was
    bool hecha() const { return cierre == 0 && !anuladaEl.isValid(); }
};

// Cancels sale id at the moment ahora, by usuario, with motivo as its
// comments, whole or nothing (a guard of its own joins the caller's
// transaction). Under the lock of arqueoDe, a sale a closing has taken is
// refused and a sale already cancelled is left as it was; both with nothing
// written. Otherwise the amounts go to 0, each line's quantity goes back to
// its product's stock with an "Ingreso" movement of that quantity tied to
// the sale (its "Egreso" rows stay), and its lines are deleted.
Anulacion anular(qint64 id, const QString &motivo, const QString &usuario, const QDateTime &ahora);
// The same on connection c (another station's).
Anulacion anular(Conexion &c, qint64 id, const QString &motivo, const QString &usuario, const QDateTime &ahora);

} // namespace dbVentas
