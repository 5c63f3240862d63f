#pragma once
// One cash register (caja_cabeza): one opening of one user's drawer until its
// closing. A register is open while fecha_hora_cierre is Null.
#include <QDateTime>
#include <QString>

class Conexion;

class db_caja_cabeza {
public:
    QString m_id;
    QDateTime m_fecha_hora_apertura;
    double m_importe_inicial = 0;
    double m_importe_cierre_teorico = 0;
    double m_importe_cierre_real = 0;
    QDateTime m_fecha_hora_cierre; // invalid (Null) while the register is open
    QString m_comentarios;
    QString m_t_usuarios_codigo;

    // Inserts this register with its id (handed out by the counter CJA, never
    // an automatic number). Database errors reach the caller, who holds the
    // transaction. Returns true.
    bool create();
    // The same on connection c.
    bool create(Conexion &c);
    // Opens this register (create) unless its user already has an open one,
    // also one opened or reopened meanwhile at another station: the user is
    // held first, as anulaCierre holds it. False, with nothing written, when
    // the user has one. Whole or nothing (a guard of its own joins the
    // caller's transaction). On connection c (another station's in tests).
    bool abrir(Conexion &c);
    bool abrir();
    // The id of the user's open register; "" when the user has none. With
    // two open registers (a closing cancelled after a newer opening), the
    // older one.
    QString getCajaAbiertaFromUsuario(const QString &xUsuarioCod);
    // The same on connection c (another station's).
    static QString cajaAbiertaDe(Conexion &c, const QString &xUsuarioCod);
    // The same question as getCajaAbiertaFromUsuario (the count window's name for it).
    QString getCajaAbiertaId(const QString &xUsuarioCod);
    // Reads register pCajaId into the members; false (members untouched)
    // when there is no such register.
    bool load(const QString &pCajaId);

    // Closes this register (m_id, owned by m_t_usuarios_codigo). First takes
    // the lock of the user's open registers (bloquearCajasAbiertas), which
    // every write a closing sums takes too; under it, rebuilds the register's
    // operations snapshot, stores the counted amount, the expected amount
    // (its opening, income and withdrawals plus the snapshot's operations,
    // in cents: what it stamps, whatever the count window showed), the
    // remarks and the clock's now as the closing moment, stamps the user's
    // untaken deposits (other than 0), balances (COB and SUS) and sales with
    // the register, reloads itself and writes the stock summary of every
    // active product for the register's period. Whole or nothing (a guard of
    // its own joins the caller's transaction). An empty or 0 id is told to
    // the user and thrown as an error; a register that is not the open one of
    // m_t_usuarios_codigo (or a user without one, also when another station
    // closed it meanwhile) is thrown with nothing written.
    bool cerrarCaja();
    // Reopens register id: clears the stamps it set, deletes its operations
    // and stock summaries, clears its closing moment and counted amount
    // (expected amount, remarks, mail mark and movements stay). Whole or
    // nothing, like cerrarCaja. Returns true. A register whose user has
    // another open register (cajaQueImpideAnular, asked with the user held,
    // as abrir holds it) is thrown before anything is written.
    bool anulaCierre(const QString &id);
    // The other open register of the user of register id ("" when none),
    // which keeps id's closing from being cancelled: reopened beside it, the
    // user would have two open registers, and every count, closing and
    // movement would take either.
    QString cajaQueImpideAnular(const QString &id);

private:
    // The expected amount of this register (m_id) once its snapshot is written.
    double importeTeorico() const;
    // The stock summary of the period from opening to closing.
    void resumenStock();
};

// Registers the open-register question with the shared utilities, so that
// gAppUtils.hayCajaIniciada answers it for the sale and stock windows.
void registrarConsultaCaja();
