#include "db_caja_resumen_operaciones.h"

#include "Module.h"
#include "db_caja_cabeza.h"
#include "platform/Reloj.h"

bool db_caja_resumen_operaciones::save()
{
    gConexion->execute(QStringLiteral("INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, "
                                      "operacion_id, clientes_id, operacion_fecha, descripcion, fecha_hora, importe, "
                                      "comentarios) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {m_caja_cabeza_id.toLongLong(), m_caja_conceptos_id, m_operacion_id, m_clientes_id.toLongLong(),
                        m_operacion_fecha, m_descripcion, m_fecha_hora, m_importe, m_comentarios});
    return true;
}

bool db_caja_resumen_operaciones::delDataByCajaId(const QString &id)
{
    gConexion->execute(QStringLiteral("DELETE FROM caja_resumen_operaciones WHERE caja_cabeza_id = ?"),
                       {id.toLongLong()});
    return true;
}

QString db_caja_resumen_operaciones::cargaDatosOperaciones(const QString &usuario)
{
    const QString caja = db_caja_cabeza().getCajaAbiertaFromUsuario(usuario);
    if (caja.isEmpty())
        return caja;
    const qint64 id = caja.toLongLong();
    const QDateTime ahora = Reloj::ahora();
    // One statement per kind of operation instead of a row at a time; the
    // rows are the same, in the order of their ids. The conditions repeat
    // those of the partial indexes on what is still to be stamped, which the
    // engine then reads instead of every row of the user.
    static const QString kInsertar =
        QStringLiteral("INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, operacion_id, "
                       "clientes_id, operacion_fecha, descripcion, fecha_hora, importe, comentarios) ");
    Transaccion t(*gConexion);
    delDataByCajaId(caja);
    gConexion->execute(kInsertar + QStringLiteral("SELECT ?, 'VEN', CAST(id AS TEXT), clientes_id, fecha, 'VENTAS', "
                                                  "?, importe_pagado, '' FROM ventas WHERE t_usuarios_codigo = ? "
                                                  "AND arqueo_id IS NULL ORDER BY id"),
                       {id, ahora, usuario});
    gConexion->execute(kInsertar + QStringLiteral("SELECT ?, 'RES', CAST(id AS TEXT), clientes_id, fecha_anticipo, "
                                                  "'Reservas / anticipos', ?, importe_anticipo, '' FROM reservas "
                                                  "WHERE t_usuarios_codigo = ? AND arqueo_anticipo_id IS NULL "
                                                  "AND importe_anticipo <> 0 AND importe_anticipo > 0 ORDER BY id"),
                       {id, ahora, usuario});
    gConexion->execute(kInsertar + QStringLiteral("SELECT ?, 'TUR', CAST(id AS TEXT), clientes_id, fecha, "
                                                  "'Turnos / canchas', ?, importe_saldo, '' FROM reservas "
                                                  "WHERE t_usuarios_codigo = ? AND arqueo_saldo_id IS NULL "
                                                  "AND estado IN ('COB', 'SUS') AND estado = 'COB' ORDER BY id"),
                       {id, ahora, usuario});
    t.commit();
    return caja;
}
