#pragma once
// Modal dialog that keeps the installation's mail account: the sending
// account, its password and the addresses the closings are mailed to. The
// stored account is read again every time the dialog is shown.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_S_ConfiguraEmail;
}

class Frm_S_ConfiguraEmail : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_S_ConfiguraEmail(QWidget *parent = nullptr);
    ~Frm_S_ConfiguraEmail() override;

    // "Mostrar" / "Ocultar": unmasks or masks the password.
    void cmdMostrar_Click();
    // "Aceptar": replaces the stored account in one transaction, tells the
    // user and closes; on a database error tells it and stays open with the
    // previous account kept.
    void cmdOK_Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    std::unique_ptr<Ui::Frm_S_ConfiguraEmail> ui;
};
