#pragma once
// Statements of the count (arqueo) and the closing that are not one row's:
// the operations a user has not yet closed, the reservations that block any
// closing, the movements of a register for the count detail.
#include "db/Conexion.h"

#include <QDateTime>

namespace dbArqueo {

struct Operaciones {
    double anticipos = 0; // RES: deposits not yet stamped
    double turnos = 0;    // TUR: balances of collected (COB) reservations not yet stamped
    double ventas = 0;    // VEN: amounts paid of sales not yet stamped
};
// The user's unstamped operations, whatever their date.
Operaciones operaciones(const QString &usuario);

// True when a reservation of any user, neither collected (COB) nor suspended
// (SUS), has a turn that started strictly before ahora (its day and the start
// time its slot's description begins with; a description without a time
// counts from the start of the day). Reservations without a slot row do not
// count.
bool hayReservasPendientes(const QDateTime &ahora);

// The movements of register cajaId and user usuario (opening, income and
// withdrawals) by moment: id, fecha_hora, caja_conceptos_descripcion,
// importe, comentarios, mov_tipo.
Recordset movimientos(const QString &cajaId, const QString &usuario);
// Deletes movement id when it is an income or a withdrawal of a register
// still open (an opening amount is never deleted, nor a movement a closing
// has summed), under the lock of bloquearCajasAbiertas. True when a row went.
bool borrarMovimiento(qint64 id);
// The operations snapshot of register cajaId: id, operacion_fecha,
// descripcion, operacion_id, importe, comentarios, caja_conceptos_id.
Recordset resumenOperaciones(const QString &cajaId);

} // namespace dbArqueo
