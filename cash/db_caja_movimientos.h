#pragma once
// One cash movement entered by hand (caja_movimientos): the opening amount
// (INI), an income (ING) or a withdrawal (EGR, stored negative).
#include <QDateTime>
#include <QString>

class Conexion;

class db_caja_movimientos {
public:
    QString m_id; // given by the database; never written
    QString m_caja_cabeza_id;
    QDateTime m_fecha_hora;
    QString m_caja_conceptos_id;
    QString m_caja_conceptos_descripcion;
    QString m_descripcion;
    double m_importe = 0; // signed: INI and ING positive, EGR negative
    QString m_comentarios;
    QString m_t_usuarios_codigo;
    QString m_mov_tipo;

    // Inserts this movement. Database errors reach the caller, who holds the
    // transaction. Returns true.
    bool create();
    // The same on connection c (another station's).
    bool create(Conexion &c);
    // Adds this movement to the open register of m_t_usuarios_codigo, once
    // that user's open registers are held (bloquearCajasAbiertas), and sets
    // m_caja_cabeza_id to it. False, with nothing written, when the user has
    // no open register (also when another station closed it meanwhile).
    // Whole or nothing: a guard of its own joins the caller's transaction.
    bool registrar();
    bool registrar(Conexion &c);
    // Sum of the amounts of register xCajaId with concept xConceptoId; 0 when none.
    double getMovimientoByConcepto(const QString &xConceptoId, const QString &xCajaId);
    // Sum of the amounts of register xCajaId of class xMovTipo; 0 when none.
    double getMovimientoByMovTipo(const QString &xMovTipo, const QString &xCajaId);
};
