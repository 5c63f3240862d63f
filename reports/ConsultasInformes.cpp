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
    // cuenta: every client's reservations in one grouped pass; the clients
    // with enough of them and none in the period are the candidates. Only
    // the candidates' reservations are grouped again by court, the best court
    // ranked first (most reservations, then lowest id), and its earliest
    // reservation gives the weekday and the slot.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral(
            "WITH cuenta AS ("
            "  SELECT clientes_id, MAX(fecha) AS ultima FROM reservas GROUP BY clientes_id HAVING COUNT(*) >= ?"
            "), candidatos AS ("
            "  SELECT cu.clientes_id, cu.ultima FROM cuenta cu WHERE NOT EXISTS ("
            "    SELECT 1 FROM reservas r WHERE r.clientes_id = cu.clientes_id AND r.fecha >= ? AND r.fecha <= ?)"
            "), por_cancha AS ("
            "  SELECT r.clientes_id, r.canchas_id, ROW_NUMBER() OVER ("
            "    PARTITION BY r.clientes_id ORDER BY COUNT(r.canchas_id) DESC, r.canchas_id) AS puesto "
            "  FROM reservas r INNER JOIN candidatos cd ON cd.clientes_id = r.clientes_id "
            "  GROUP BY r.clientes_id, r.canchas_id"
            "), preferida AS ("
            "  SELECT clientes_id, canchas_id, (SELECT r.id FROM reservas r WHERE r.clientes_id = p.clientes_id "
            "    AND r.canchas_id = p.canchas_id ORDER BY r.fecha, r.id LIMIT 1) AS reserva_id "
            "  FROM por_cancha p WHERE puesto = 1"
            ") "
            "SELECT cl.id, cl.nombre, cl.telefono, cd.ultima, ca.descripcion AS cancha, r.fecha AS fecha_frecuente, "
            "  h.descripcion AS hora, cl.comentarios "
            "FROM candidatos cd INNER JOIN clientes cl ON cl.id = cd.clientes_id "
            "LEFT JOIN preferida p ON p.clientes_id = cl.id "
            "LEFT JOIN canchas ca ON ca.id = p.canchas_id "
            "LEFT JOIN reservas r ON r.id = p.reserva_id "
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
