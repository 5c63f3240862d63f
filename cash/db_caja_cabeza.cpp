#include "db_caja_cabeza.h"

#include "AppUtils.h"
#include "Module.h"
#include "db_caja_movimientos.h"
#include "db_caja_resumen_operaciones.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

bool db_caja_cabeza::create() { return create(*gConexion); }

bool db_caja_cabeza::create(Conexion &c)
{
    c.execute(QStringLiteral("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, "
                             "importe_cierre_teorico, importe_cierre_real, fecha_hora_cierre, comentarios, "
                             "t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
              {m_id.toLongLong(), m_fecha_hora_apertura, m_importe_inicial, m_importe_cierre_teorico,
               m_importe_cierre_real, m_fecha_hora_cierre.isValid() ? QVariant(m_fecha_hora_cierre) : QVariant(),
               m_comentarios, m_t_usuarios_codigo});
    return true;
}

namespace {
// Holds the user's row until the transaction ends, so that opening a
// register and reopening one (cancelling its closing) run one at a time for
// each user, at every station: each then finds the other's register. A write
// that changes nothing, as bloquearCajasAbiertas takes its lock.
void bloquearUsuario(Conexion &c, const QString &usuario)
{
    c.execute(QStringLiteral("UPDATE t_usuarios SET Descripcion = Descripcion WHERE Codigo = ?"), {usuario});
}
} // namespace

bool db_caja_cabeza::abrir() { return abrir(*gConexion); }

bool db_caja_cabeza::abrir(Conexion &c)
{
    Transaccion t(c);
    bloquearUsuario(c, m_t_usuarios_codigo);
    if (!cajaAbiertaDe(c, m_t_usuarios_codigo).isEmpty())
        return false;
    create(c);
    t.commit();
    return true;
}

QString db_caja_cabeza::getCajaAbiertaFromUsuario(const QString &xUsuarioCod)
{
    return cajaAbiertaDe(*gConexion, xUsuarioCod);
}

QString db_caja_cabeza::cajaAbiertaDe(Conexion &c, const QString &xUsuarioCod)
{
    // Ordered, so that the answer does not depend on the engine's row order.
    const Recordset rs = c.openRecordset(
        QStringLiteral("SELECT id FROM caja_cabeza WHERE t_usuarios_codigo = ? AND fecha_hora_cierre IS NULL "
                       "ORDER BY id"),
        {xUsuarioCod});
    return rs.eof() ? QString() : rs.texto(QStringLiteral("id"));
}

QString db_caja_cabeza::getCajaAbiertaId(const QString &xUsuarioCod) { return getCajaAbiertaFromUsuario(xUsuarioCod); }

bool db_caja_cabeza::load(const QString &pCajaId)
{
    const Recordset rs =
        gConexion->openRecordset(QStringLiteral("SELECT * FROM caja_cabeza WHERE id = ?"), {pCajaId.toLongLong()});
    if (rs.eof())
        return false;
    m_id = rs.texto(QStringLiteral("id"));
    m_fecha_hora_apertura = rs.campo(QStringLiteral("fecha_hora_apertura")).fechaHora();
    m_importe_inicial = rs.campo(QStringLiteral("importe_inicial")).numero();
    m_importe_cierre_teorico = rs.campo(QStringLiteral("importe_cierre_teorico")).numero();
    m_importe_cierre_real = rs.campo(QStringLiteral("importe_cierre_real")).numero();
    m_fecha_hora_cierre = rs.campo(QStringLiteral("fecha_hora_cierre")).fechaHora();
    m_comentarios = rs.texto(QStringLiteral("comentarios"));
    m_t_usuarios_codigo = rs.texto(QStringLiteral("t_usuarios_codigo"));
    return true;
}

bool db_caja_cabeza::cerrarCaja()
{
    if (m_id.isEmpty() || m_id.toLongLong() == 0) {
        MsgBox(QStringLiteral("No se indicó el campo id"), vb::Exclamation);
        // Raised so that the caller rolls back.
        throw DbError(5, QStringLiteral("No se indicó el campo id."));
    }
    const qint64 id = m_id.toLongLong();
    Transaccion t(*gConexion);
    // Taken before anything is read: a write at another station that this
    // closing sums has either ended (and is summed and stamped) or waits
    // for the closing to end (and then finds the register closed).
    bloquearCajasAbiertas(*gConexion, {m_t_usuarios_codigo});
    // Everything below works on the user's open register: another register,
    // or a user without one, would stamp the wrong rows.
    const QString abierta = getCajaAbiertaFromUsuario(m_t_usuarios_codigo);
    if (abierta.isEmpty())
        throw DbError(5, QStringLiteral("El usuario '%1' no posee una caja abierta.").arg(m_t_usuarios_codigo));
    if (abierta.toLongLong() != id)
        throw DbError(
            5, QStringLiteral("La caja %1 no es la caja abierta del usuario '%2'.").arg(m_id, m_t_usuarios_codigo));
    // The snapshot finds the register as the user's open one: before it closes.
    db_caja_resumen_operaciones().cargaDatosOperaciones(m_t_usuarios_codigo);
    m_importe_cierre_teorico = importeTeorico();
    gConexion->execute(QStringLiteral("UPDATE caja_cabeza SET importe_cierre_real = ?, importe_cierre_teorico = ?, "
                                      "fecha_hora_cierre = ?, comentarios = ? WHERE id = ?"),
                       {m_importe_cierre_real, m_importe_cierre_teorico, Reloj::ahora(), m_comentarios, id});
    // The deposits and balances still to be stamped, in one statement: a
    // reservation with both is written once, not once for each. Its rows
    // are found by the partial index of each kind (each query repeats its
    // conditions); an OR of both would be read through every row of the
    // user.
    gConexion->execute(
        QStringLiteral("UPDATE reservas SET arqueo_anticipo_id = CASE WHEN arqueo_anticipo_id IS NULL "
                       "AND importe_anticipo <> 0 THEN ?1 ELSE arqueo_anticipo_id END, "
                       "arqueo_saldo_id = CASE WHEN arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS') "
                       "THEN ?1 ELSE arqueo_saldo_id END WHERE id IN ("
                       "SELECT id FROM reservas WHERE t_usuarios_codigo = ?2 AND arqueo_anticipo_id IS NULL "
                       "AND importe_anticipo <> 0 UNION ALL "
                       "SELECT id FROM reservas WHERE t_usuarios_codigo = ?2 AND arqueo_saldo_id IS NULL "
                       "AND estado IN ('COB', 'SUS'))"),
        {id, m_t_usuarios_codigo});
    gConexion->execute(
        QStringLiteral("UPDATE ventas SET arqueo_id = ? WHERE t_usuarios_codigo = ? AND arqueo_id IS NULL"),
        {id, m_t_usuarios_codigo});
    load(m_id);
    resumenStock();
    t.commit();
    return true;
}

double db_caja_cabeza::importeTeorico() const
{
    // The count window's own figures: the opening, income and withdrawals
    // of the register, and the operations of its snapshot, each in cents.
    db_caja_movimientos mov;
    const double movimientos = mov.getMovimientoByConcepto(QStringLiteral("INI"), m_id) +
                               mov.getMovimientoByMovTipo(QStringLiteral("ING"), m_id) +
                               mov.getMovimientoByMovTipo(QStringLiteral("EGR"), m_id);
    const Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT COALESCE(SUM(importe), 0) FROM caja_resumen_operaciones WHERE caja_cabeza_id = ?"),
        {m_id.toLongLong()});
    return Formatos::redondear(movimientos) + Formatos::redondear(rs.campo(0).numero());
}

void db_caja_cabeza::resumenStock()
{
    // One grouped statement for every active product: manual movements
    // (no sale) and sale movements of the period, both ends included, over
    // all users; the stock at opening is worked back from the present one.
    // A sale's movements are its lines going out (negative) and, when it was
    // cancelled, the same lines coming back: units sold and given back in
    // the period are not counted as sold. Written in no order: its readers
    // sort it.
    gConexion->execute(
        QStringLiteral(
            "INSERT INTO caja_resumen_stock (caja_cabeza_id, fecha_desde, fecha_hasta, producto_id, "
            "producto_descripcion, cantidad_vendida, cantidad_movimientos_stk, cantidad_inicial, existencia_actual) "
            "SELECT ?1, ?2, ?3, p.id, p.descripcion, -COALESCE(m.vendida, 0), COALESCE(m.manual, 0), "
            "p.existencia + (-COALESCE(m.vendida, 0) - COALESCE(m.manual, 0)), p.existencia "
            "FROM productos p LEFT JOIN (SELECT productos_id AS producto, "
            "SUM(CASE WHEN ventas_id IS NULL THEN cantidad END) AS manual, "
            "SUM(CASE WHEN ventas_id IS NOT NULL THEN cantidad END) AS vendida "
            "FROM movimientos_stock WHERE fecha >= ?2 AND fecha <= ?3 GROUP BY productos_id) m "
            "ON m.producto = p.id WHERE p.activo = 1"),
        {m_id.toLongLong(), m_fecha_hora_apertura, m_fecha_hora_cierre});
}

QString db_caja_cabeza::cajaQueImpideAnular(const QString &id)
{
    const Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT t_usuarios_codigo FROM caja_cabeza WHERE id = ?"), {id.toLongLong()});
    if (rs.eof())
        return QString();
    const QString abierta = getCajaAbiertaFromUsuario(rs.texto(QStringLiteral("t_usuarios_codigo")));
    return abierta.toLongLong() == id.toLongLong() ? QString() : abierta;
}

bool db_caja_cabeza::anulaCierre(const QString &id)
{
    const qint64 caja = id.toLongLong();
    Transaccion t(*gConexion);
    const Recordset duenio =
        gConexion->openRecordset(QStringLiteral("SELECT t_usuarios_codigo FROM caja_cabeza WHERE id = ?"), {caja});
    if (!duenio.eof())
        bloquearUsuario(*gConexion, duenio.texto(0));
    // Read again under the lock: reopened meanwhile at another station, it
    // has no closing left to cancel.
    if (gConexion
            ->openRecordset(QStringLiteral("SELECT id FROM caja_cabeza WHERE id = ? AND fecha_hora_cierre IS "
                                           "NOT NULL"),
                            {caja})
            .eof())
        throw DbError(5, QStringLiteral("La caja Nº %1 no está cerrada: no hay cierre que anular.").arg(id));
    const QString otra = cajaQueImpideAnular(id);
    if (!otra.isEmpty())
        throw DbError(5, QStringLiteral("El usuario de la caja %1 posee la caja %2 abierta: debe cerrarla antes de "
                                        "anular este cierre.")
                             .arg(id, otra));
    gConexion->execute(QStringLiteral("UPDATE ventas SET arqueo_id = NULL WHERE arqueo_id = ?"), {caja});
    gConexion->execute(QStringLiteral("UPDATE reservas SET arqueo_anticipo_id = NULL WHERE arqueo_anticipo_id = ?"),
                       {caja});
    gConexion->execute(QStringLiteral("UPDATE reservas SET arqueo_saldo_id = NULL WHERE arqueo_saldo_id = ?"), {caja});
    gConexion->execute(QStringLiteral("DELETE FROM caja_resumen_operaciones WHERE caja_cabeza_id = ?"), {caja});
    gConexion->execute(QStringLiteral("DELETE FROM caja_resumen_stock WHERE caja_cabeza_id = ?"), {caja});
    gConexion->execute(
        QStringLiteral("UPDATE caja_cabeza SET fecha_hora_cierre = NULL, importe_cierre_real = 0 WHERE id = ?"),
        {caja});
    t.commit();
    return true;
}

void registrarConsultaCaja()
{
    AppUtils::fijarConsultaCaja(
        [](const QString &usuario) { return db_caja_cabeza().getCajaAbiertaFromUsuario(usuario); });
}
