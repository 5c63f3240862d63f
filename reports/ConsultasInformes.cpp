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
    // sales reports. Reservations carry a date only. Both are summed by
    // client in one grouped pass, which gives them in client order; every
    // client, read in id order, takes its sum as both lists are walked
    // together. Joining the clients to the grouped pass in the statement made
    // SQLite index the sums first, which on a short period cost more than the
    // pass itself.
    Recordset t = gConexion->openRecordset(
        QStringLiteral("SELECT clientes_id, SUM(importe_total) AS total FROM ("
                       "  SELECT clientes_id, importe_total FROM ventas WHERE fecha >= ? AND fecha <= ? "
                       "  UNION ALL SELECT clientes_id, importe_total FROM reservas "
                       "  WHERE estado = 'COB' AND fecha >= ? AND fecha <= ?"
                       ") AS m GROUP BY clientes_id ORDER BY clientes_id"),
        {iso(desde) + QStringLiteral(" 00:00:00"), iso(hasta) + QStringLiteral(" 23:59:59"), iso(desde), iso(hasta)},
        {{QStringLiteral("clientes_id"), TipoCampo::Entero}, {QStringLiteral("total"), TipoCampo::Doble}});
    Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT id, nombre FROM clientes ORDER BY id"));
    QList<FilaRanking> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        const qint64 id = rs.entero(0);
        double importe = 0;
        // Sums of no client (Null) come first; those of a client no longer
        // listed are passed by.
        for (; !t.eof(); t.moveNext()) {
            if (t.esNulo(0))
                continue;
            const qint64 suyo = t.entero(0);
            if (suyo > id)
                break;
            if (suyo == id) {
                importe = t.numero(1);
                t.moveNext();
                break;
            }
        }
        filas.append({id, rs.texto(1), importe});
    }
    return filas;
}

QList<FilaFideliza> clientesSinTurnos(int minimo, const QDate &desde, const QDate &hasta)
{
    // The clients with enough reservations and the court each books most
    // come from the counts the triggers keep; a client is kept when one look
    // into the index on client and date finds no reservation in the period.
    // Its latest date and the earliest reservation (date, then id) on that
    // court with its slot are looks into the indexes on reservas, which
    // never read the table itself.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT c.id, c.nombre, c.telefono, "
                       "  (SELECT MAX(fecha) FROM reservas WHERE clientes_id = c.id) AS ultima, "
                       "  ca.descripcion AS cancha, "
                       "  (SELECT fecha FROM reservas WHERE clientes_id = c.id AND canchas_id = t.cancha_frecuente_id "
                       "    ORDER BY fecha, id LIMIT 1) AS fecha_frecuente, "
                       "  (SELECT h.descripcion FROM reservas r LEFT JOIN horarios h ON h.codigo = r.horarios_id "
                       "    WHERE r.clientes_id = c.id AND r.canchas_id = t.cancha_frecuente_id "
                       "    ORDER BY r.fecha, r.id LIMIT 1) AS hora, "
                       "  c.comentarios "
                       "FROM reservas_por_cliente t JOIN clientes c ON c.id = t.clientes_id "
                       "LEFT JOIN canchas ca ON ca.id = t.cancha_frecuente_id "
                       "WHERE t.cantidad >= ? AND NOT EXISTS (SELECT 1 FROM reservas WHERE clientes_id = t.clientes_id "
                       "  AND fecha >= ? AND fecha <= ?) "
                       "ORDER BY c.nombre") +
            QLatin1String(kCollateEs) + QStringLiteral(", c.id"),
        {minimo, iso(desde), iso(hasta)}, {{QStringLiteral("ultima"), TipoCampo::Fecha}});
    QList<FilaFideliza> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        FilaFideliza f;
        f.id = rs.entero(0);
        f.nombre = rs.texto(1);
        f.telefono = rs.texto(2);
        f.ultimoTurno = rs.fecha(3);
        f.canchaFrecuente = rs.texto(4);
        f.fechaFrecuente = rs.fecha(5);
        f.horaFrecuente = rs.texto(6);
        f.comentarios = rs.texto(7);
        filas.append(std::move(f));
    }
    return filas;
}

} // namespace ConsultasInformes
