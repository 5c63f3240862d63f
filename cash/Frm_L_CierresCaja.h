#pragma once
// The list of cash registers by state, opening days and user, with the
// total of their counted amounts; mailed closings show light green and a
// counted amount that differs from the expected one (in cents) red. From the
// active row a closing is printed, cancelled, or written to PDF and mailed.
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

    // "Enviar e-mail": the active row's closed register, after the
    // confirmation, is written to cierres_pdf/<club>_<yyyy_MM_dd>.pdf and
    // mailed to the account's recipients; only a mail the server accepted
    // marks it as mailed.
    void cmdPDF_Click();

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
    // Sends FileName as the closing's mail with the stored account; false
    // (the user told) without an account or when the mail was not sent.
    bool Usr_EnviaMail(const QString &FileName, const QString &id, const QString &cierre, const QString &club);
    // Marks register id as mailed and refills the list.
    void Usr_MarcaEnviado(const QString &id);

    std::unique_ptr<Ui::Frm_L_CierresCaja> ui;
};
