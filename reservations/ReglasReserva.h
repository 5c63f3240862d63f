#pragma once
// Booking rules shared by the agenda and the reservation editor: the checks
// a booking must pass before it is saved, the save itself (one row, or one
// row per week of a weekly series), and the balance rule. The checks return
// what to tell the user; the window shows it. Statements run on gConexion
// and throw DbError.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <stdexcept>

class Conexion;

namespace ReglasReserva {

// What the editor holds for one booking.
struct Reserva {
    QString id; // "" when adding
    QString clientes_id;
    QString canchas_id;
    QString horarios_id;
    QString estado;
    QString comentarios;
    QDate fecha;
    bool permanente = false; // a weekly series (adding only)
    int semanas = 0;         // weeks after the first of a series
    int semana = 0;          // position of an edited row in its series (0 the first)
    double anticipo = 0;
    double total = 0;
};

// Where the window puts the focus after a refusal.
enum class Foco { Ninguno, Cliente, Horario, Cancha, Anticipo, Semanas };

// Outcome of the checks: control 0 passes; otherwise the number of the check
// that refused, its message (exclamation icon) and focus. aviso, when not
// empty, is shown before the message with the information icon.
struct Resultado {
    int control = 0;
    QString mensaje;
    Foco foco = Foco::Ninguno;
    QString aviso;
    bool aceptada() const { return control == 0; }
};

// Thrown by the save of a new booking whose slot another station took after
// the checks passed: the same refusal the checks give, with nothing written.
class Rechazada : public std::runtime_error {
public:
    explicit Rechazada(const Resultado &r);
    Resultado resultado;
};

// Runs the checks in order and stops at the first refusal: client, slot,
// court, deposit not above the total, state, weeks of a series; when adding,
// the slot still free and every week of a series still free; the minimum
// deposit of PORC_MINIMO_RESERVAS (not asked of the later weeks of a series,
// which carry no deposit by the save's own rule). Suspended bookings never hold a slot.
// Editing skips the two overlap checks: a booking may be moved onto a taken
// slot.
Resultado controlar(const Reserva &r, bool agregando);

// Number of bookings that are not suspended on the court, date and slot.
int ocupantes(const QString &cancha, const QDate &fecha, const QString &horario);
// First date of start + 7 × i days (i = 0..semanas) held by a booking that
// is not suspended; an invalid date when every week is free.
QDate primeraSemanaOcupada(const QString &cancha, const QString &horario, const QDate &inicio, int semanas);
// True when the deposit reaches porcentaje percent of the total (equality
// passes). An empty, zero or non-numeric percentage, or a total of 0, passes.
bool alcanzaMinimo(double anticipo, double total, const QString &porcentaje);

// Balance of a booking: total − deposit, in whole cents.
double saldo(double total, double anticipo);
// Last date of a series of semanas weeks after inicio (calendar days, so the
// weekday holds across a daylight-saving change).
QDate fechaFin(const QDate &inicio, int semanas);

// Saves a booking that passed the checks, all or nothing (joining the
// caller's transaction when one is open):
// editing rewrites that row only (state, court, client, date, slot, remark,
// amounts, user), DbError 3021 when no row has that id any more; adding
// writes one row, or for a series one row per week numbered 0..semanas with
// a number of the RESFIJA counter, the deposit on the first row only and
// every row's balance = its total − its deposit. Every written row records
// usuario. Returns the id of the (first) row. It first holds the open
// registers of usuario and, when editing, of the user the row names
// (bloquearCajasAbiertas), as a closing that sums the booking does. Editing
// then reads the booking's closing stamps again: a booking whose balance a
// closing took, or whose deposit it took when the deposit would change (a
// closing at another station since the editor read it), throws Rechazada
// (control 10) with nothing written. Adding takes the lock
// that makes the adds of every station go one after the other, then looks
// again at the slot and the weeks of a series: one taken meanwhile by
// another station throws Rechazada.
qint64 guardar(const Reserva &r, const QString &usuario, const QDateTime &ahora);
// The same on connection c (another station's).
qint64 guardar(Conexion &c, const Reserva &r, const QString &usuario, const QDateTime &ahora);

// The editor's delete: booking id (dbReserva::del) or, with serie, it and
// the later weeks of its series (dbReserva::del_permanentes), all or nothing.
// The open registers of the rows' users are held first: a booking whose
// deposit or balance a closing took (also meanwhile at another station)
// throws Rechazada (control 10) with nothing deleted. A booking gone
// meanwhile, or an id that is no number, deletes nothing.
void borrar(const QString &id, bool serie);

} // namespace ReglasReserva
