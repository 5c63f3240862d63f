#pragma once
// Price of each time slot for one court: loads a court's prices into the
// grid, saves them all at once and copies the stored prices to another court.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_T_ValoresCanchas;
}

class Frm_T_ValoresCanchas : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_ValoresCanchas(QWidget *parent = nullptr);
    ~Frm_T_ValoresCanchas() override;

    // Fills the grid with every time slot and the price of the court whose id
    // is in txtCancha (0 for a slot without a stored price). False when the
    // prices could not be read (the user was told).
    bool Usr_BuscaDatos();

private:
    // true unlocks the court choice (white), false locks it (light grey).
    void Usr_HabilitaCancha(bool habilitar);
    // True when a court is chosen; otherwise tells the user.
    bool Usr_ControlCancha();
    // True when the copy has a target that differs from the source.
    bool Usr_ControlCopia();
    bool Usr_CopiaValores();
    bool Usr_GuardaValores();
    void Usr_LimpiaPantalla();

    void cmdActualizar_Click();
    void cmdGuarda_Click();
    void cmdCopia_Click();

    std::unique_ptr<Ui::Frm_T_ValoresCanchas> ui;
};
