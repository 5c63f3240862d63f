#pragma once
// Reads of the reservations for the weekly agenda and the listing, and what
// a booked agenda cell shows. Statements run on gConexion and throw DbError.
#include "db/Conexion.h"

#include <QDate>
#include <QList>
#include <QString>

namespace ConsultasReserva {

// Whose booking a cell of the agenda shows.
enum class Pase { Propia = 0, Madre = 1, Hija = 2 };

// One booking of the week shown.
struct TurnoAgenda {
    Pase pase = Pase::Propia;
    qint64 id = 0;
    QString canchas_id;
    QString horarios_id;
    QDate fecha;
    QString estado;
    QString estadoDesc; // the state's description; "" when the state has no row
    double anticipo = 0;
};

// Rows of the state pickers: codigo, descripcion in the Spanish order of
// the description.
Recordset estados();

// Monday of the week of d.
QDate lunesDe(const QDate &d);

// Bookings from Monday lunes to the Sunday after it: first those of the court,
// then those of its parent court, then those of its child courts, each pass
// by id. Painted in this order, a later pass covers an earlier one in the
// same cell. A booking comes once, in the last pass that takes it (a court
// named as its own parent, or the parent of its parent). An empty court has
// none.
QList<TurnoAgenda> turnosDeSemana(const QString &cancha, const QDate &lunes);

// Text and background (Windows colour 0x00BBGGRR) of the cell of a booking:
// the state's description, or "SEÑADA" for a booking with a deposit; the
// parent's and children's bookings add their court in brackets and are
// magenta; the court's own are yellow (booked), cyan (with deposit), green
// (collected) or red (suspended).
struct Celda {
    QString texto;
    quint32 color = 0;
};
Celda celda(const TurnoAgenda &t);

inline constexpr quint32 kColorFilaFechas = 0xC0C000;
inline constexpr quint32 kColorHoy = 0xFF8080;

// One row of the reservation listing; names of rows that no longer exist
// are "".
struct FilaListado {
    qint64 id = 0;
    QString clientes_id;
    QString cliente;
    QString canchas_id;
    QString cancha;
    QDate fecha;
    QString horario; // the slot's description
    double anticipo = 0;
    double saldo = 0;
    QString estado; // the state's description
};

// Bookings whose turn date (porTurno) or booking moment lies from desde
// (00:00:00) to hasta (23:59:59), by turn date.
QList<FilaListado> listado(bool porTurno, const QDate &desde, const QDate &hasta);

} // namespace ConsultasReserva
