#include "db_caja_movimientos.h"

#include "Module.h"
#include "db_caja_cabeza.h"

bool db_caja_movimientos::create() { return create(*gConexion); }

bool db_caja_movimientos::create(Conexion &c)
{
    c.execute(QStringLiteral("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, "
                             "caja_conceptos_id, caja_conceptos_descripcion, descripcion, importe, "
                             "comentarios, t_usuarios_codigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {m_caja_cabeza_id.toLongLong(), m_mov_tipo, m_fecha_hora, m_caja_conceptos_id,
               m_caja_conceptos_descripcion, m_descripcion, m_importe, m_comentarios, m_t_usuarios_codigo});
    return true;
}

bool db_caja_movimientos::registrar() { return registrar(*gConexion); }

bool db_caja_movimientos::registrar(Conexion &c)
{
    Transaccion t(c);
    // Under the lock a closing takes: a register closed meanwhile at
    // another station is no longer open, and one closing now waits for this
    // movement and sums it.
    bloquearCajasAbiertas(c, {m_t_usuarios_codigo});
    m_caja_cabeza_id = db_caja_cabeza::cajaAbiertaDe(c, m_t_usuarios_codigo);
    if (m_caja_cabeza_id.isEmpty())
        return false;
    create(c);
    t.commit();
    return true;
}

namespace {
// The column name comes from the two callers below, never from outside.
double suma(const char *columna, const QString &valor, const QString &cajaId)
{
    const Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT COALESCE(SUM(importe), 0) AS total FROM caja_movimientos WHERE %1 = ? "
                       "AND caja_cabeza_id = ?")
            .arg(QLatin1String(columna)),
        {valor, cajaId.toLongLong()});
    return rs.campo(0).numero();
}
} // namespace

double db_caja_movimientos::getMovimientoByConcepto(const QString &xConceptoId, const QString &xCajaId)
{
    return suma("caja_conceptos_id", xConceptoId, xCajaId);
}

double db_caja_movimientos::getMovimientoByMovTipo(const QString &xMovTipo, const QString &xCajaId)
{
    return suma("mov_tipo", xMovTipo, xCajaId);
}
