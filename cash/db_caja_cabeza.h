#pragma once
// One cash register (caja_cabeza): one opening of one user's drawer until its
// closing. A register is open while fecha_hora_cierre is Null.
#include <QDateTime>
#include <QString>

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
    // The id of the user's open register; "" when the user has none. With
    // two open registers (a closing cancelled after a newer opening), the
    // older one.
    QString getCajaAbiertaFromUsuario(const QString &xUsuarioCod);
    // The same question as getCajaAbiertaFromUsuario (the count window's name for it).
    QString getCajaAbiertaId(const QString &xUsuarioCod);
    // Reads register pCajaId into the members; false (members untouched)
    // when there is no such register.
    bool load(const QString &pCajaId);
};

// Registers the open-register question with the shared utilities, so that
// gAppUtils.hayCajaIniciada answers it for the sale and stock windows.
void registrarConsultaCaja();
