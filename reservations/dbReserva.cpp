#include "dbReserva.h"

#include "Module.h"
#include "platform/Formatos.h"

#include <optional>

namespace {

QString fechaMostrada(const Campo &c)
{
    return c.esNulo() || c.texto().isEmpty() ? QString() : Formatos::fecha(c.fecha());
}

} // namespace

std::optional<qint64> dbReserva::numeroDeId(const QString &id)
{
    bool ok = false;
    const qint64 n = id.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

bool dbReserva::load(const QString &id)
{
    const auto n = numeroDeId(id);
    if (!n)
        return false;
    Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT * FROM reservas WHERE id = ?"), {*n});
    if (rs.eof())
        return false;
    m_id = rs.texto(QStringLiteral("id"));
    m_clientes_id = rs.texto(QStringLiteral("clientes_id"));
    m_canchas_id = rs.texto(QStringLiteral("canchas_id"));
    m_fecha = fechaMostrada(rs.campo(QStringLiteral("fecha")));
    m_horarios_id = rs.texto(QStringLiteral("horarios_id"));
    m_permanente = rs.campo(QStringLiteral("permanente")).entero() != 0;
    m_estado = rs.texto(QStringLiteral("estado"));
    const Campo anticipo = rs.campo(QStringLiteral("fecha_anticipo"));
    m_fecha_anticipo = anticipo.esNulo() ? QString() : Formatos::momento(anticipo.fechaHora());
    m_importe_anticipo = QString::number(rs.campo(QStringLiteral("importe_anticipo")).numero(), 'g', 15);
    m_importe_total = QString::number(rs.campo(QStringLiteral("importe_total")).numero(), 'g', 15);
    m_importe_saldo = QString::number(rs.campo(QStringLiteral("importe_saldo")).numero(), 'g', 15);
    m_cantidad_semanas = QString::number(rs.campo(QStringLiteral("cantidad_semanas")).entero());
    m_semana_numero = rs.texto(QStringLiteral("semana_numero"));
    m_reserva_fija_id = rs.texto(QStringLiteral("reserva_fija_id"));
    m_fecha_reserva_fin = fechaMostrada(rs.campo(QStringLiteral("fecha_reserva_fin")));
    m_comentarios = rs.texto(QStringLiteral("comentarios"));
    m_arqueo_anticipo_id = rs.texto(QStringLiteral("arqueo_anticipo_id"));
    m_arqueo_saldo_id = rs.texto(QStringLiteral("arqueo_saldo_id"));
    m_t_usuarios_codigo = rs.texto(QStringLiteral("t_usuarios_codigo"));
    return true;
}

namespace {

// Deletes the bookings the condition picks once the open registers of the
// users they name are held (bloquearCajasAbiertas): a closing at another
// station never sums a deposit that is gone. bajoBloqueo, when given, runs
// then, before anything is deleted.
void borrar(const QString &condicion, const Parametros &valores, const std::function<void()> &bajoBloqueo)
{
    Transaccion t(*gConexion);
    bloquearCajasDe(*gConexion, QStringLiteral("SELECT DISTINCT t_usuarios_codigo FROM reservas WHERE ") + condicion,
                    valores);
    if (bajoBloqueo)
        bajoBloqueo();
    gConexion->execute(QStringLiteral("DELETE FROM reservas WHERE ") + condicion, valores);
    t.commit();
}

} // namespace

bool dbReserva::del(const QString &id, const std::function<void()> &bajoBloqueo)
{
    if (const auto n = numeroDeId(id))
        borrar(QStringLiteral("id = ?"), {*n}, bajoBloqueo);
    return true;
}

void dbReserva::del_permanentes(const QString &id, const std::function<void()> &bajoBloqueo)
{
    dbReserva r;
    if (!r.load(id))
        return;
    if (r.m_reserva_fija_id.isEmpty()) {
        del(r.m_id, bajoBloqueo);
        return;
    }
    borrar(QStringLiteral("reserva_fija_id = ? AND fecha >= ?"), {r.m_reserva_fija_id.toLongLong(), r.fecha()},
           bajoBloqueo);
}

QDate dbReserva::fecha() const { return Formatos::leerFecha(m_fecha); }
