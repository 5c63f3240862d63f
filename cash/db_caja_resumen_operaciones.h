#pragma once
// The operations a register absorbs at its closing (caja_resumen_operaciones):
// the user's sales (VEN), reservation deposits (RES) and collected balances
// (TUR) that no closing has taken yet.
#include <QDateTime>
#include <QString>

class db_caja_resumen_operaciones {
public:
    QString m_id;
    QString m_caja_cabeza_id;
    QString m_caja_conceptos_id;
    QString m_operacion_id;
    QString m_clientes_id;
    QDateTime m_operacion_fecha;
    QString m_descripcion;
    QDateTime m_fecha_hora;
    double m_importe = 0;
    QString m_comentarios;

    // Inserts this row. Returns true; database errors reach the caller.
    bool save();
    // Deletes every row of register id. Returns true.
    bool delDataByCajaId(const QString &id);
    // Rebuilds the rows of the user's open register from the user's sales,
    // deposits (above 0) and collected (COB) balances that no closing has
    // taken, each row stamped with the clock's now. Whole or nothing (a guard
    // of its own joins the caller's transaction). Does nothing when the user
    // has no open register. Returns that register's id ("" when none).
    QString cargaDatosOperaciones(const QString &usuario);
};
