#include "ConsultasInformes.h"

#include "Module.h"

#include <QHash>

namespace ConsultasInformes {

namespace {
QString iso(const QDate &d) { return d.toString(Qt::ISODate); }
} // namespace

QList<FilaTurnos> turnosPorCancha(const QDate &desde, const QDate &hasta)
{
    // One pass over the period's reservations (index on fecha) grouped by
    // court, joined to every court.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT c.id, c.descripcion, COALESCE(s.cant, 0) AS cant, COALESCE(s.monto, 0) AS monto "
                       "FROM canchas c LEFT JOIN ("
                       "  SELECT canchas_id, COUNT(id) AS cant, SUM(importe_total) AS monto FROM reservas "
                       "  WHERE fecha >= ? AND fecha <= ? AND estado = 'COB' GROUP BY canchas_id"
                       ") s ON s.canchas_id = c.id "
                       "ORDER BY c.descripcion") +
            QLatin1String(kCollateEs) + QStringLiteral(", c.id"),
        {iso(desde), iso(hasta)},
        {{QStringLiteral("cant"), TipoCampo::Entero}, {QStringLiteral("monto"), TipoCampo::Doble}});
    QList<FilaTurnos> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        filas.append({rs.campo(0).texto(), rs.campo(1).texto(), rs.campo(2).entero(), rs.campo(3).numero()});
    return filas;
}

QList<FilaRanking> rankingClientes(const QDate &desde, const QDate &hasta)
{
    // Sales carry their moment: the whole last day counts, as in the other
    // sales reports. Reservations carry a date only. Both are summed by
    // client in one grouped pass; every client is then read in id order and
    // given its sum. Joining the clients to the grouped pass in the statement
    // made SQLite index the sums first, which on a short period cost more
    // than the pass itself.
    Recordset t = gConexion->openRecordset(
        QStringLiteral("SELECT clientes_id, SUM(importe_total) AS total FROM ("
                       "  SELECT clientes_id, importe_total FROM ventas WHERE fecha >= ? AND fecha <= ? "
                       "  UNION ALL SELECT clientes_id, importe_total FROM reservas "
                       "  WHERE estado = 'COB' AND fecha >= ? AND fecha <= ?"
                       ") GROUP BY clientes_id"),
        {iso(desde) + QStringLiteral(" 00:00:00"), iso(hasta) + QStringLiteral(" 23:59:59"), iso(desde), iso(hasta)},
        {{QStringLiteral("clientes_id"), TipoCampo::Entero}, {QStringLiteral("total"), TipoCampo::Doble}});
    QHash<qint64, double> totales;
    totales.reserve(t.recordCount());
    for (; !t.eof(); t.moveNext())
        if (!t.campo(0).esNulo())
            totales.insert(t.campo(0).entero(), t.campo(1).numero());

    Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT id, nombre FROM clientes ORDER BY id"));
    QList<FilaRanking> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        const qint64 id = rs.campo(0).entero();
        filas.append({id, rs.campo(1).texto(), totales.value(id, 0.0)});
    }
    return filas;
}

QList<FilaFideliza> clientesSinTurnos(int minimo, const QDate &desde, const QDate &hasta)
{
    // One pass over the index on (clientes_id, canchas_id, fecha) counts each
    // client's reservations, finds the latest and, with TURNO_FRECUENTE, the
    // earliest reservation (date, then id) on the court it books most (the
    // lowest court id on a tie); the clients with one in the period (read
    // through the index on fecha) are left out. That reservation gives the
    // court, the weekday and the slot.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral(
            "WITH candidatos AS ("
            "  SELECT clientes_id, MAX(fecha) AS ultima, TURNO_FRECUENTE(canchas_id, fecha, id) AS reserva_id "
            "  FROM reservas GROUP BY clientes_id HAVING COUNT(*) >= ? "
            "  AND clientes_id NOT IN (SELECT clientes_id FROM reservas WHERE fecha >= ? AND fecha <= ? "
            "    AND clientes_id IS NOT NULL)"
            ") "
            "SELECT cl.id, cl.nombre, cl.telefono, cd.ultima AS ultima, ca.descripcion AS cancha, "
            "  r.fecha AS fecha_frecuente, h.descripcion AS hora, cl.comentarios "
            "FROM candidatos cd INNER JOIN clientes cl ON cl.id = cd.clientes_id "
            "LEFT JOIN reservas r ON r.id = cd.reserva_id "
            "LEFT JOIN canchas ca ON ca.id = r.canchas_id "
            "LEFT JOIN horarios h ON h.codigo = r.horarios_id "
            "ORDER BY cl.nombre") +
            QLatin1String(kCollateEs) + QStringLiteral(", cl.id"),
        {minimo, iso(desde), iso(hasta)}, {{QStringLiteral("ultima"), TipoCampo::Fecha}});
    QList<FilaFideliza> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        FilaFideliza f;
        f.id = rs.campo(0).entero();
        f.nombre = rs.campo(1).texto();
        f.telefono = rs.campo(2).texto();
        f.ultimoTurno = rs.campo(3).fecha();
        f.canchaFrecuente = rs.campo(4).texto();
        f.fechaFrecuente = rs.campo(5).fecha();
        f.horaFrecuente = rs.campo(6).texto();
        f.comentarios = rs.campo(7).texto();
        filas.append(f);
    }
    return filas;
}

} // namespace ConsultasInformes
