#pragma once
// Weekly agenda of one court: a row per time slot, a column per weekday from
// Monday to Sunday, each booked cell coloured by its state and carrying its
// booking's id as cell data. Bookings of the court's parent and child courts
// are marked magenta. Opens the reservation editor to add or change a
// booking, deletes bookings, opens the client list and the listing.
#include "platform/Ventanas.h"

#include <QDate>
#include <memory>

namespace Ui {
class Frm_T_ReservaCanchas;
}

class Frm_T_ReservaCanchas : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_ReservaCanchas(QWidget *parent = nullptr);
    ~Frm_T_ReservaCanchas() override;

    // Grid columns: slot code, slot text, then Monday..Sunday.
    static constexpr int kColCodigo = 1;
    static constexpr int kColHorario = 2;
    static constexpr int kColLunes = 3;
    // Row 1 holds the dates; slot rows start at 2.
    static constexpr int kFilaFechas = 1;

    // Rebuilds the grid for the court and the week shown and paints every
    // booking of the court, its parent and its children. Database errors are
    // shown to the user.
    void Usr_BuscaDatosReservas();

    // Shows the week of fecha of the court whose code is cancha (letter case
    // ignored), as picking them would; false (nothing changed) when no court
    // has that code.
    bool Usr_MuestraSemana(const QString &cancha, const QDate &fecha);

    // What the editor takes for a new booking: the court shown, the date of
    // the selected day cell (the calendar's date when the selection lies
    // outside the day cells) and the slot of the selected row ("" outside).
    struct Turno {
        QString cancha;
        QDate fecha;
        QString horario;
    };
    Turno Usr_TurnoSeleccionado() const;

    // Double click on a cell: an empty day cell opens the editor to add, a
    // booked one opens its booking; row 1 and the slot columns do nothing.
    void vaSpread_DblClick(int col, int row);
    // The id of the booking a cell shows; 0 for an empty cell.
    qint64 idDeCelda(int col, int row) const;

private:
    void Usr_CargaCanchas();
    void Usr_ArmaGrilla();
    // Shows the date, slot and price of the selected cell.
    void Usr_SeleccionaTurno();
    void elegirCancha(int fila);
    void elegirFecha(const QDate &fecha);
    QString canchaActual() const;

    void cmdReserva_Click();
    void cmdClientes_Click();
    void ChameleonBtn1_Click();
    void cmdBorrar_Click();

    std::unique_ptr<Ui::Frm_T_ReservaCanchas> ui;
};
