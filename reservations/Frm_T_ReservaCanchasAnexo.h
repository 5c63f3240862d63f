#pragma once
// Reservation editor: adds one booking (one-time or a weekly series) or
// changes, collects, suspends or deletes an existing one. The opener sets
// Tag ("NEW" or "MOD") and, for an existing booking, calls Usr_BuscaDatos
// before showing it modally. A new booking takes court, date and slot from
// the agenda's selection (the agenda is loaded hidden when it is not open)
// and its price from the court's price table. After a save or a delete the
// agenda is refilled and the editor closes.
#include "ReglasReserva.h"
#include "platform/Ventanas.h"

#include <memory>

class QLineEdit;

namespace Ui {
class Frm_T_ReservaCanchasAnexo;
}

class Frm_T_ReservaCanchasAnexo : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_T_ReservaCanchasAnexo(QWidget *parent = nullptr);
    ~Frm_T_ReservaCanchasAnexo() override;

    // Opens the editor modally on booking id, or to add one when id is "".
    static void Usr_AbrirReserva(const QString &id);

    // Loads booking id into the fields and applies the closing locks: a taken
    // deposit locks the deposit and delete, a taken balance locks save and
    // delete. A missing booking leaves the fields as they are.
    void Usr_BuscaDatos(const QString &id);
    // The checks of the booking rules, telling the user and moving the focus
    // on a refusal; true when the booking may be saved.
    bool Usr_ControlDatos();
    // Saves in one transaction; on a database error, or on a slot another
    // station took meanwhile, tells the user and returns false with nothing
    // written.
    bool Usr_GuardaReserva();
    // Aceptar: check, save, refill the agenda, close.
    void cmdAcepta_Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Usr_CargaCombos();
    void Usr_PermisoPrecio();
    void Usr_CalculaPrecio();
    void Usr_CalculaSaldo();
    void Usr_LimpiaDatos();
    void Usr_TipoReserva();
    void Usr_FechaFin();
    void fechaCambiada();
    void cmdDel_Click();
    void primeraActivacion();
    // The amount in a box; false (the user told, focus on the box) when its
    // text is not a number without sign.
    bool leerImporte(QLineEdit *caja, const QString &nombre, double *valor);
    // Tells a refusal of the booking rules and moves the focus; a slot or
    // week found taken first refills the agenda.
    void avisarRechazo(const ReglasReserva::Resultado &res);
    enum class Guardado { Hecho, Rechazado, Fallido };
    Guardado guardar();
    // The booking as the fields hold it.
    ReglasReserva::Reserva reserva() const;

    std::unique_ptr<Ui::Frm_T_ReservaCanchasAnexo> ui;
    bool m_primeraActivacion = true;
    // Position in its series of the booking loaded (0 also for one-time).
    int m_semanaNumero = 0;
};
