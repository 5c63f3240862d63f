#include "db_caja_cabeza.h"

#include "AppUtils.h"
#include "Module.h"

bool db_caja_cabeza::create()
{
    gConexion->execute(QStringLiteral("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, "
                                      "importe_cierre_teorico, importe_cierre_real, fecha_hora_cierre, comentarios, "
                                      "t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                       {m_id.toLongLong(), m_fecha_hora_apertura, m_importe_inicial, m_importe_cierre_teorico,
                        m_importe_cierre_real,
                        m_fecha_hora_cierre.isValid() ? QVariant(m_fecha_hora_cierre) : QVariant(), m_comentarios,
                        m_t_usuarios_codigo});
    return true;
}

QString db_caja_cabeza::getCajaAbiertaFromUsuario(const QString &xUsuarioCod)
{
    // Ordered, so that the answer does not depend on the engine's row order.
    const Recordset rs = gConexion->openRecordset(
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

void registrarConsultaCaja()
{
    AppUtils::fijarConsultaCaja(
        [](const QString &usuario) { return db_caja_cabeza().getCajaAbiertaFromUsuario(usuario); });
}
