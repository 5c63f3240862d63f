#pragma once
// One row of the reservations table (reservas). A booking is one court on one
// date in one time slot; a weekly series is one row per week sharing
// reserva_fija_id. Statements run on gConexion and throw DbError.
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class dbReserva {
public:
    // Every field is the column as text, except m_permanente. Dates are shown
    // day-first ("dd/MM/yyyy", the moment "dd/MM/yyyy HH:mm:ss"); columns that
    // may be Null (series columns, stamps, user) read as "".
    QString m_id;
    QString m_clientes_id;
    QString m_canchas_id;
    QString m_fecha;
    QString m_horarios_id;
    bool m_permanente = false;
    QString m_estado;
    QString m_fecha_anticipo;
    QString m_importe_anticipo;
    QString m_importe_total;
    QString m_importe_saldo;
    QString m_cantidad_semanas;
    QString m_semana_numero;
    QString m_reserva_fija_id;
    QString m_fecha_reserva_fin;
    QString m_comentarios;
    QString m_arqueo_anticipo_id;
    QString m_arqueo_saldo_id;
    QString m_t_usuarios_codigo;

    // Reads booking id into the fields; false (fields untouched) when no row
    // has that id or id is not a number.
    bool load(const QString &id);
    // Both deletions first hold the open registers of the users the deleted
    // rows name (bloquearCajasAbiertas), as a closing that sums them does,
    // and happen whole or not at all (joining the caller's transaction).
    // bajoBloqueo, when given, runs once they are held and before anything is
    // deleted: a check it throws stops the deletion.
    // Deletes booking id; true (also when no row had it).
    bool del(const QString &id, const std::function<void()> &bajoBloqueo = {});
    // Deletes booking id and every later week of its series; earlier weeks
    // stay. A booking outside a series is deleted alone. Stamps and states
    // are not looked at.
    void del_permanentes(const QString &id, const std::function<void()> &bajoBloqueo = {});

    // Booking ids are numbers; a text that is none names no booking.
    static std::optional<qint64> numeroDeId(const QString &id);
    // The turn's date as a date (invalid before a load).
    QDate fecha() const;
    // True when the row belongs to a weekly series.
    bool esDeSerie() const { return m_permanente || !m_reserva_fija_id.isEmpty(); }
};
