#pragma once
// Sales and profitability report: the units, cost, sales, margin and share
// of the margin of each product sold in a range of days, computed into the
// user's rows of tmp_informe_ventas and shown in the preview window.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_L_InformeVentas;
}

class Frm_L_InformeVentas : public Formulario {
    Q_OBJECT
public:
    explicit Frm_L_InformeVentas(QWidget *parent = nullptr);
    ~Frm_L_InformeVentas() override;

private:
    // "Imprimir": fills the work table and shows the report; true when shown.
    bool Usr_Imprimir();
    // Fills the current user's rows for the dates on screen; false (the user
    // told) when it failed, leaving the previous rows.
    bool Usr_GeneraTemporal();
    // "Limpiar": both dates back to today.
    void Usr_LimpiaDatos();

    std::unique_ptr<Ui::Frm_L_InformeVentas> ui;
};
