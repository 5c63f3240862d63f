#pragma once
// Reservation listing: the bookings of a period, by the date of the turn or
// by the date the booking was taken, with client, court, slot, deposit,
// balance and state. A click on a row's header opens that booking in the
// editor and lists again when it closes; "Agregar Reserva" (shown when opened
// from the agenda) adds a booking.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_L_Reservas;
}

class Frm_L_Reservas : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_L_Reservas(QWidget *parent = nullptr);
    ~Frm_L_Reservas() override;

    // Lists the bookings of the period chosen.
    void Usr_BuscaReservas();
    // Shows or hides "Agregar Reserva" (the menu hides it).
    void Usr_MostrarAgregar(bool visible);

private:
    void btnPrint_Click();
    void cmdReserva_Click();
    // A click on the header of row fila opens its booking.
    void abrirReserva(int fila);

    std::unique_ptr<Ui::Frm_L_Reservas> ui;
};
