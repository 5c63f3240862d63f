#include "ConsultasReserva.h"

#include "Module.h"

#include <algorithm>
#include <utility>

namespace ConsultasReserva {

Recordset estados()
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT codigo, descripcion FROM reservas_estados ORDER BY descripcion") +
        QLatin1String(kCollateEs));
}

QDate lunesDe(const QDate &d) { return d.addDays(1 - d.dayOfWeek()); }

QList<TurnoAgenda> turnosDeSemana(const QString &cancha, const QDate &lunes)
{
    QList<TurnoAgenda> turnos;
    if (cancha.trimmed().isEmpty())
        return turnos;
    // One statement for the three passes: the court's, its parent's and its
    // children's bookings are those of the courts in one list, read by the
    // index on (canchas_id, fecha); each row's pass is the last that takes
    // it, as the painting of the passes leaves it. The week's few rows are
    // put in order here, which costs less than the engine's sort.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral(
            "SELECT CASE WHEN res.canchas_id IN (SELECT id FROM canchas WHERE cancha_madre_id = ?1) THEN 2 "
            "  WHEN res.canchas_id IN (SELECT cancha_madre_id FROM canchas WHERE id = ?1 AND cancha_madre_id <> '') "
            "  THEN 1 ELSE 0 END AS pase, "
            "res.id, res.canchas_id, res.horarios_id, res.fecha, res.estado, res.importe_anticipo, "
            "es.descripcion AS estadoDesc FROM reservas res LEFT JOIN reservas_estados es ON res.estado = es.codigo "
            "WHERE res.fecha >= ?2 AND res.fecha <= ?3 AND res.canchas_id IN (SELECT ?1 UNION "
            "  SELECT cancha_madre_id FROM canchas WHERE id = ?1 AND cancha_madre_id <> '' UNION "
            "  SELECT id FROM canchas WHERE cancha_madre_id = ?1)"),
        {cancha, lunes, lunes.addDays(6)});
    turnos.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        TurnoAgenda t;
        t.pase = static_cast<Pase>(rs.campo(0).entero());
        t.id = rs.campo(1).entero();
        t.canchas_id = rs.campo(2).texto();
        t.horarios_id = rs.campo(3).texto();
        t.fecha = rs.campo(4).fecha();
        t.estado = rs.campo(5).texto();
        t.anticipo = rs.campo(6).numero();
        t.estadoDesc = rs.campo(7).texto();
        turnos.append(t);
    }
    std::sort(turnos.begin(), turnos.end(), [](const TurnoAgenda &a, const TurnoAgenda &b) {
        return std::pair(a.pase, a.id) < std::pair(b.pase, b.id);
    });
    return turnos;
}

Celda celda(const TurnoAgenda &t)
{
    const bool senada = t.estado.compare(QLatin1String("RES"), Qt::CaseInsensitive) == 0 && t.anticipo > 0;
    Celda c;
    c.texto = senada ? QStringLiteral("SEÑADA") : t.estadoDesc;
    if (t.pase != Pase::Propia) {
        c.texto += QStringLiteral(" (") + t.canchas_id + QLatin1Char(')');
        c.color = 0xFF00FF;
    } else if (senada) {
        c.color = 0xFFFF00;
    } else if (t.estado.compare(QLatin1String("COB"), Qt::CaseInsensitive) == 0) {
        c.color = 0x00FF00;
    } else if (t.estado.compare(QLatin1String("SUS"), Qt::CaseInsensitive) == 0) {
        c.color = 0x0000FF;
    } else {
        c.color = 0x00FFFF;
    }
    return c;
}

QList<FilaListado> listado(bool porTurno, const QDate &desde, const QDate &hasta)
{
    const QString filtro = porTurno ? QStringLiteral("r.fecha >= ? AND r.fecha <= ?")
                                    : QStringLiteral("r.fecha_anticipo >= ? AND r.fecha_anticipo <= ?");
    const Parametros valores = porTurno
                                   ? Parametros{desde, hasta}
                                   : Parametros{QDateTime(desde, QTime(0, 0)), QDateTime(hasta, QTime(23, 59, 59))};
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT r.id, r.clientes_id, cl.nombre, r.canchas_id, ca.descripcion AS cancha, r.fecha, "
                       "h.descripcion AS horario, r.importe_anticipo, r.importe_saldo, es.descripcion AS estado "
                       "FROM reservas r "
                       "LEFT JOIN clientes cl ON cl.id = r.clientes_id "
                       "LEFT JOIN canchas ca ON ca.id = r.canchas_id "
                       "LEFT JOIN horarios h ON h.codigo = r.horarios_id "
                       "LEFT JOIN reservas_estados es ON es.codigo = r.estado WHERE ") +
            filtro + QStringLiteral(" ORDER BY r.fecha, r.id"),
        valores);
    QList<FilaListado> filas;
    filas.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        FilaListado f;
        f.id = rs.entero(0);
        f.clientes_id = rs.texto(1);
        f.cliente = rs.texto(2);
        f.canchas_id = rs.texto(3);
        f.cancha = rs.texto(4);
        f.fecha = rs.fecha(5);
        f.horario = rs.texto(6);
        f.anticipo = rs.numero(7);
        f.saldo = rs.numero(8);
        f.estado = rs.texto(9);
        filas.append(std::move(f));
    }
    return filas;
}

} // namespace ConsultasReserva
