#pragma once
// Every stock movement of a period, by moment: its product, its origin (a
// sale or a movement made by hand), its signed quantity and its user.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_L_MovimientosStock;
}

class Frm_L_MovimientosStock : public Formulario {
    Q_OBJECT
public:
    explicit Frm_L_MovimientosStock(QWidget *parent = nullptr);
    ~Frm_L_MovimientosStock() override;

    // Fills the grid with the movements of the period on screen.
    void Usr_LlenaGrilla();
    Grid *grilla() const;

private:
    // Both dates today, grid empty.
    void Usr_Inicializa();

    std::unique_ptr<Ui::Frm_L_MovimientosStock> ui;
};
