#include "ReglasReserva.h"

#include "Module.h"
#include "dbConfiguraciones.h"
#include "dbReserva.h"
#include "platform/Formatos.h"

#include <cmath>

namespace ReglasReserva {

namespace {

// Amounts compare in whole cents, so 0.1 + 0.2 equals 0.3.
qint64 centavos(double importe) { return std::llround(importe * 100.0); }

Resultado rechazo(int control, const QString &mensaje, Foco foco = Foco::Ninguno)
{
    Resultado r;
    r.control = control;
    r.mensaje = mensaje;
    r.foco = foco;
    return r;
}

QString vacio(const QString &s) { return s.trimmed(); }

// Refuses a change to booking id that a closing has taken: its balance
// stamped, nothing may change; its deposit stamped, the deposit may not
// change (anticipo, the deposit to be written) and the booking may not be
// deleted (borrando). Read with the open registers of the booking's user
// held (the caller has taken them): a closing at another station since the
// editor read the booking has ended, and its stamp is read here, or waits
// for the caller's transaction to end.
void exigirSinCierre(Conexion &c, qint64 id, bool borrando, double anticipo = 0)
{
    const Recordset rs = c.openRecordset(
        QStringLiteral("SELECT arqueo_anticipo_id, arqueo_saldo_id, importe_anticipo FROM reservas WHERE id = ?"),
        {id});
    if (rs.eof())
        return;
    const QString verbo = borrando ? QStringLiteral("eliminarla") : QStringLiteral("modificarla");
    if (!rs.esNulo(1) || (borrando && !rs.esNulo(0)))
        throw Rechazada(rechazo(10, QStringLiteral("La reserva %1 fue incluida en el cierre de caja %2: ya no es "
                                                   "posible %3.")
                                        .arg(QString::number(id), rs.texto(rs.esNulo(1) ? 0 : 1), verbo)));
    if (!rs.esNulo(0) && centavos(anticipo) != centavos(rs.campo(2).numero()))
        throw Rechazada(rechazo(10,
                                QStringLiteral("La seña de la reserva %1 fue incluida en el cierre de caja %2: ya "
                                               "no es posible modificarla.")
                                    .arg(QString::number(id), rs.texto(0)),
                                Foco::Anticipo));
}

int ocupantes(Conexion &c, const QString &cancha, const QDate &fecha, const QString &horario)
{
    Recordset rs = c.openRecordset(QStringLiteral("SELECT COUNT(*) AS cant FROM reservas "
                                                  "WHERE canchas_id = ? AND fecha = ? AND horarios_id = ? "
                                                  "AND estado <> 'SUS'"),
                                   {cancha, fecha, horario});
    return static_cast<int>(rs.campo(QStringLiteral("cant")).entero());
}

QDate primeraSemanaOcupada(Conexion &c, const QString &cancha, const QString &horario, const QDate &inicio, int semanas)
{
    // One look at the whole span instead of one per week; only the dates
    // that fall on the series' weeks count.
    Recordset rs = c.openRecordset(QStringLiteral("SELECT fecha FROM reservas "
                                                  "WHERE canchas_id = ? AND horarios_id = ? "
                                                  "AND fecha >= ? AND fecha <= ? AND estado <> 'SUS' "
                                                  "ORDER BY fecha"),
                                   {cancha, horario, inicio, fechaFin(inicio, semanas)});
    for (; !rs.eof(); rs.moveNext()) {
        const QDate d = rs.campo(0).fecha();
        if (d.isValid() && inicio.daysTo(d) % 7 == 0)
            return d;
    }
    return {};
}

// The two checks only a booking being added passes: its slot free, and
// every week of a series free.
Resultado solapamiento(Conexion &c, const Reserva &r)
{
    if (ocupantes(c, r.canchas_id, r.fecha, r.horarios_id) > 0)
        return rechazo(7, QStringLiteral("Existe una reserva para esta cancha, día y horario.\r\n"
                                         "Para poder pisarla es necesario marcar la existente como SUSPENDIDA."));
    if (r.permanente) {
        const QDate ocupada = primeraSemanaOcupada(c, r.canchas_id, r.horarios_id, r.fecha, r.semanas);
        if (ocupada.isValid()) {
            Resultado res = rechazo(
                8, QStringLiteral("La registración de esta reserva permanente pisaría otra reserva existente."));
            res.aviso = QStringLiteral("Cancha / horario reservado: ") + Formatos::fecha(ocupada);
            return res;
        }
    }
    return {};
}

} // namespace

Rechazada::Rechazada(const Resultado &r) : std::runtime_error(r.mensaje.toStdString()), resultado(r) {}

Resultado controlar(const Reserva &r, bool agregando)
{
    if (vacio(r.clientes_id).isEmpty())
        return rechazo(1, QStringLiteral("Debe seleccionar un Cliente."), Foco::Cliente);
    if (vacio(r.horarios_id).isEmpty())
        return rechazo(2, QStringLiteral("Debe seleccionar la hora deseada."), Foco::Horario);
    if (vacio(r.canchas_id).isEmpty())
        return rechazo(3, QStringLiteral("Debe seleccionar una Cancha."), Foco::Cancha);
    if (centavos(r.anticipo) > centavos(r.total))
        return rechazo(4, QStringLiteral("El pago no puede ser mayor al total."), Foco::Anticipo);
    if (vacio(r.estado).isEmpty())
        return rechazo(5, QStringLiteral("Debe indicar estado."));
    if (r.permanente && r.semanas <= 0)
        return rechazo(6, QStringLiteral("Debe ingresar cantidad de semanas de reserva permanente"), Foco::Semanas);
    if (agregando) {
        const Resultado res = solapamiento(*gConexion, r);
        if (!res.aceptada())
            return res;
    }
    // The deposit of a series is on its first week: its later weeks could
    // otherwise never be collected or suspended once a minimum is set.
    if (r.semana > 0)
        return {};
    const QString porcentaje = dbConfiguraciones().getValor(QStringLiteral("PORC_MINIMO_RESERVAS"));
    if (!alcanzaMinimo(r.anticipo, r.total, porcentaje))
        return rechazo(9, QStringLiteral("El mínimo de reserva permitido es del %") + porcentaje +
                              QStringLiteral(" del total."));
    return {};
}

int ocupantes(const QString &cancha, const QDate &fecha, const QString &horario)
{
    return ocupantes(*gConexion, cancha, fecha, horario);
}

QDate primeraSemanaOcupada(const QString &cancha, const QString &horario, const QDate &inicio, int semanas)
{
    return primeraSemanaOcupada(*gConexion, cancha, horario, inicio, semanas);
}

bool alcanzaMinimo(double anticipo, double total, const QString &porcentaje)
{
    bool ok = false;
    const double p = Formatos::numero(porcentaje, &ok);
    if (!ok || p == 0 || centavos(total) == 0)
        return true;
    // anticipo × 100 / total ≥ p, without dividing.
    return static_cast<double>(centavos(anticipo)) * 100.0 >= p * static_cast<double>(centavos(total)) - 1e-6;
}

double saldo(double total, double anticipo)
{
    return static_cast<double>(centavos(total) - centavos(anticipo)) / 100.0;
}

QDate fechaFin(const QDate &inicio, int semanas) { return inicio.addDays(7LL * semanas); }

namespace {

// The columns a booking is written with, and the values of one row.
const QStringList kColumnas{
    QStringLiteral("clientes_id"),      QStringLiteral("canchas_id"),        QStringLiteral("fecha"),
    QStringLiteral("horarios_id"),      QStringLiteral("permanente"),        QStringLiteral("comentarios"),
    QStringLiteral("fecha_anticipo"),   QStringLiteral("importe_anticipo"),  QStringLiteral("importe_saldo"),
    QStringLiteral("importe_total"),    QStringLiteral("t_usuarios_codigo"), QStringLiteral("estado"),
    QStringLiteral("cantidad_semanas"), QStringLiteral("semana_numero"),     QStringLiteral("reserva_fija_id"),
    QStringLiteral("fecha_reserva_fin")};

Parametros fila(const Reserva &r, const QDate &fecha, double anticipo, const QString &usuario, const QDateTime &ahora,
                const QVariant &serie, int semana)
{
    const bool permanente = !serie.isNull();
    return {r.clientes_id.trimmed().toLongLong(),
            r.canchas_id.trimmed(),
            fecha,
            r.horarios_id.trimmed(),
            permanente ? 1 : 0,
            r.comentarios,
            ahora,
            anticipo,
            saldo(r.total, anticipo),
            r.total,
            usuario,
            r.estado.trimmed(),
            permanente ? r.semanas : 0,
            permanente ? QVariant(semana) : QVariant(),
            serie,
            permanente ? QVariant(fechaFin(r.fecha, r.semanas)) : QVariant()};
}

} // namespace

qint64 guardar(const Reserva &r, const QString &usuario, const QDateTime &ahora)
{
    return guardar(*gConexion, r, usuario, ahora);
}

qint64 guardar(Conexion &c, const Reserva &r, const QString &usuario, const QDateTime &ahora)
{
    // Whole or not at all, also when called outside an operation; inside
    // the window's transaction this joins it.
    Transaccion t(c);
    // The registers of the users whose closing sums the booking's deposit
    // and balance, before it is written: the saving user's, and when
    // editing the one the row names until now.
    const qint64 id = r.id.trimmed().toLongLong();
    if (r.id.trimmed().isEmpty())
        bloquearCajasAbiertas(c, {usuario});
    else
        bloquearCajasDe(c, QStringLiteral("SELECT t_usuarios_codigo FROM reservas WHERE id = ?"), {id}, {usuario});
    if (!r.id.trimmed().isEmpty()) {
        exigirSinCierre(c, id, false, r.anticipo);
        const int cambiadas = c.execute(
            QStringLiteral("UPDATE reservas SET estado = ?, canchas_id = ?, clientes_id = ?, fecha = ?, "
                           "horarios_id = ?, comentarios = ?, importe_anticipo = ?, importe_total = ?, "
                           "t_usuarios_codigo = ?, importe_saldo = ? WHERE id = ?"),
            {r.estado.trimmed(), r.canchas_id.trimmed(), r.clientes_id.trimmed().toLongLong(), r.fecha,
             r.horarios_id.trimmed(), r.comentarios, r.anticipo, r.total, usuario, saldo(r.total, r.anticipo), id});
        if (cambiadas == 0)
            throw DbError(3021, QStringLiteral("La reserva %1 ya no existe.").arg(r.id.trimmed()));
        t.commit();
        return id;
    }
    // Two stations adding on the same free slot at once: the second waits
    // here for the first to end, then finds the slot taken.
    c.bloquear(QStringLiteral("reservas"));
    const Resultado res = solapamiento(c, r);
    if (!res.aceptada())
        throw Rechazada(res);
    if (!r.permanente) {
        static const QString insertar =
            QStringLiteral("INSERT INTO reservas (%1) VALUES (%2)")
                .arg(kColumnas.join(QStringLiteral(", ")),
                     QStringList(kColumnas.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        c.execute(insertar, fila(r, r.fecha, r.anticipo, usuario, ahora, QVariant(), 0));
        const qint64 id = c.lastInsertId();
        t.commit();
        return id;
    }
    // The number is taken inside the transaction: a series that fails gives
    // it back.
    const qint64 serie = ProximoNumero(c, QStringLiteral("RESFIJA"));
    // Every week in one go: on a server one exchange, not one for each week.
    Carga carga(c, QStringLiteral("reservas"), kColumnas);
    for (int i = 0; i <= r.semanas; ++i)
        carga.anadir(fila(r, fechaFin(r.fecha, i), i == 0 ? r.anticipo : 0.0, usuario, ahora, serie, i));
    carga.terminar();
    const qint64 primera =
        c.openRecordset(QStringLiteral("SELECT MIN(id) FROM reservas WHERE reserva_fija_id = ?"), {serie})
            .campo(0)
            .entero();
    t.commit();
    return primera;
}

void borrar(const QString &id, bool serie)
{
    const auto n = dbReserva::numeroDeId(id);
    if (!n)
        return;
    // Checked under the deletion's own lock, the users of every row it takes
    // held in one pass.
    const auto sinCierre = [&] { exigirSinCierre(*gConexion, *n, true); };
    dbReserva r;
    if (serie)
        r.del_permanentes(id, sinCierre);
    else
        r.del(id, sinCierre);
}

} // namespace ReglasReserva
