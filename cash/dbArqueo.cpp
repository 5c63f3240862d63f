#include "dbArqueo.h"

#include "Module.h"

#include <QRegularExpression>

namespace dbArqueo {

Operaciones operaciones(const QString &usuario)
{
    const Recordset rs = gConexion->openRecordset(
        // The conditions repeat those of the partial indexes on what is still
        // to be stamped (a deposit of 0 adds nothing; COB is one of the
        // stamped states), so the sums read those rows only.
        QStringLiteral("SELECT (SELECT COALESCE(SUM(importe_anticipo), 0) FROM reservas "
                       "WHERE arqueo_anticipo_id IS NULL AND importe_anticipo <> 0 AND t_usuarios_codigo = ?1) AS res, "
                       "(SELECT COALESCE(SUM(importe_saldo), 0) FROM reservas WHERE arqueo_saldo_id IS NULL "
                       "AND estado IN ('COB', 'SUS') AND t_usuarios_codigo = ?1 AND estado = 'COB') AS tur, "
                       "(SELECT COALESCE(SUM(importe_pagado), 0) FROM ventas "
                       "WHERE arqueo_id IS NULL AND t_usuarios_codigo = ?1) AS ven"),
        {usuario});
    return {rs.campo(0).numero(), rs.campo(1).numero(), rs.campo(2).numero()};
}

bool hayReservasPendientes(const QDateTime &ahora)
{
    const QDate hoy = ahora.date();
    // A turn of an earlier day started before now whatever its time. The
    // conditions are those of the partial index of pending reservations,
    // and the order is its own: the first one found in it, or none, by one
    // look, however many past reservations the club holds and whatever the
    // engine's estimate of how many are pending.
    const Recordset antes = gConexion->openRecordset(
        QStringLiteral("SELECT 1 FROM reservas r INNER JOIN horarios h ON r.horarios_id = h.codigo "
                       "WHERE r.fecha < ? AND r.estado NOT IN ('COB', 'SUS') ORDER BY r.fecha LIMIT 1"),
        {hoy});
    if (!antes.eof())
        return true;
    static const QRegularExpression kHora(QStringLiteral("^\\s*(\\d{1,2})[:.](\\d{2})"));
    for (Recordset rs = gConexion->openRecordset(
             QStringLiteral("SELECT h.descripcion FROM reservas r INNER JOIN horarios h ON r.horarios_id = h.codigo "
                            "WHERE r.fecha = ? AND r.estado NOT IN ('COB', 'SUS')"),
             {hoy});
         !rs.eof(); rs.moveNext()) {
        const QRegularExpressionMatch m = kHora.match(rs.campo(0).texto());
        const QTime inicio = m.hasMatch() ? QTime(m.captured(1).toInt(), m.captured(2).toInt()) : QTime(0, 0);
        if (!inicio.isValid() || QDateTime(hoy, inicio) < ahora)
            return true;
    }
    return false;
}

Recordset movimientos(const QString &cajaId, const QString &usuario)
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT id, fecha_hora, caja_conceptos_descripcion, importe, comentarios, mov_tipo "
                       "FROM caja_movimientos WHERE caja_cabeza_id = ? AND t_usuarios_codigo = ? "
                       "AND mov_tipo IN ('INI', 'ING', 'EGR') ORDER BY fecha_hora, id"),
        {cajaId.toLongLong(), usuario});
}

bool borrarMovimiento(qint64 id)
{
    Transaccion t(*gConexion);
    // Under the lock a closing takes: a movement that a closing at another
    // station has summed stays.
    bloquearCajasDe(*gConexion,
                    QStringLiteral("SELECT c.t_usuarios_codigo FROM caja_movimientos m INNER JOIN caja_cabeza c "
                                   "ON c.id = m.caja_cabeza_id WHERE m.id = ?"),
                    {id});
    const bool borrado = gConexion->execute(QStringLiteral("DELETE FROM caja_movimientos WHERE id = ? AND mov_tipo IN "
                                                           "('ING', 'EGR') AND caja_cabeza_id IN (SELECT id FROM "
                                                           "caja_cabeza WHERE fecha_hora_cierre IS NULL)"),
                                            {id}) > 0;
    t.commit();
    return borrado;
}

Recordset resumenOperaciones(const QString &cajaId)
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT id, operacion_fecha, descripcion, operacion_id, importe, comentarios, "
                       "caja_conceptos_id FROM caja_resumen_operaciones WHERE caja_cabeza_id = ? ORDER BY id"),
        {cajaId.toLongLong()});
}

} // namespace dbArqueo
