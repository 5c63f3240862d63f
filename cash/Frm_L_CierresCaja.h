#pragma once
// The list of cash registers by state, opening days and user, with the
// total of their counted amounts; mailed closings show light green and a
// counted amount that differs from the expected one (in cents) red. From the
// active row a closing is printed or cancelled.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_L_CierresCaja;
}

class Frm_L_CierresCaja : public Formulario {
    Q_OBJECT
public:
    explicit Frm_L_CierresCaja(QWidget *parent = nullptr);
    ~Frm_L_CierresCaja() override;

    // Fills the grid with the registers the filters choose; the active row
    // stays on the register it showed when that is still listed.
    void Usr_LlenaGrilla();
    Grid *grilla() const;

private:
    // "Todos" unchecked needs a user: told "Seleccione usuario." otherwise.
    bool Usr_ValidaDatos();
    // "Imprimir cierre": the report of the active row's register.
    void imprimir();
    // "Anular Cierre": after the question, reopens the active row's closed
    // register in one transaction and refills the list.
    void anularCierre();
    // The register id of the active row; "" (the user told) when the list
    // has no row to act on.
    QString cajaElegida();

    std::unique_ptr<Ui::Frm_L_CierresCaja> ui;
};
