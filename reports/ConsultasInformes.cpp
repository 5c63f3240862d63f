#include "ConsultasInformes.h"

#include "Module.h"

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
    // sales reports. Reservations carry a date only.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT c.id, c.nombre, COALESCE(v.total, 0) + COALESCE(r.total, 0) AS total "
                       "FROM clientes c "
                       "LEFT JOIN (SELECT clientes_id, SUM(importe_total) AS total FROM ventas "
                       "  WHERE fecha >= ? AND fecha <= ? GROUP BY clientes_id) v ON v.clientes_id = c.id "
                       "LEFT JOIN (SELECT clientes_id, SUM(importe_total) AS total FROM reservas "
                       "  WHERE fecha >= ? AND fecha <= ? AND estado = 'COB' GROUP BY clientes_id) r "
                       "  ON r.clientes_id = c.id "
                       "ORDER BY c.id"),
        {iso(desde) + QStringLiteral(" 00:00:00"), iso(hasta) + QStringLiteral(" 23:59:59"), iso(desde), iso(hasta)},
        {{QStringLiteral("total"), TipoCampo::Doble}});
    QList<FilaRanking> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        filas.append({rs.campo(0).entero(), rs.campo(1).texto(), rs.campo(2).numero()});
    return filas;
}

QList<FilaFideliza> clientesSinTurnos(int minimo, const QDate &desde, const QDate &hasta)
{
    // candidatos: every client's reservations counted in one pass over the
    // index on (clientes_id, canchas_id, fecha), less the clients with one in
    // the period (read through the index on fecha). For each candidate alone,
    // its part of the same index grouped by court gives the court it books
    // most (the lowest id on a tie) and on it the earliest reservation
    // (date, then id), whose weekday and slot are shown. The LIMIT keeps the
    // engine from copying the court's subquery into every place that reads
    // it: it runs once per candidate.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral(
            "WITH candidatos AS ("
            "  SELECT clientes_id, MAX(fecha) AS ultima FROM reservas GROUP BY clientes_id HAVING COUNT(*) >= ? "
            "  AND clientes_id NOT IN (SELECT clientes_id FROM reservas WHERE fecha >= ? AND fecha <= ? "
            "    AND clientes_id IS NOT NULL)"
            "), preferida AS ("
            "  SELECT cd.clientes_id, cd.ultima, (SELECT r.canchas_id FROM reservas r "
            "    WHERE r.clientes_id = cd.clientes_id GROUP BY r.canchas_id "
            "    ORDER BY COUNT(r.canchas_id) DESC, r.canchas_id LIMIT 1) AS canchas_id "
            "  FROM candidatos cd LIMIT -1"
            ") "
            "SELECT cl.id, cl.nombre, cl.telefono, p.ultima AS ultima, ca.descripcion AS cancha, "
            "  r.fecha AS fecha_frecuente, h.descripcion AS hora, cl.comentarios "
            "FROM preferida p INNER JOIN clientes cl ON cl.id = p.clientes_id "
            "LEFT JOIN canchas ca ON ca.id = p.canchas_id "
            "LEFT JOIN reservas r ON r.id = (SELECT r2.id FROM reservas r2 WHERE r2.clientes_id = p.clientes_id "
            "  AND r2.canchas_id = p.canchas_id ORDER BY r2.fecha, r2.id LIMIT 1) "
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
