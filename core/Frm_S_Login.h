#pragma once
// Login dialog: checks a user's code and password, records the current user
// and applies the user's permissions to the main window's menus and tool bar.
#include "platform/Ventanas.h"

namespace Ui {
class Frm_S_Login;
}

class Frm_S_Login : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_S_Login(QWidget *parent = nullptr);
    ~Frm_S_Login() override;

    // Checks both boxes and the credentials; tells the user the first failure.
    bool Usr_ValidaUsuario();
    // Shows the menus and tool-bar buttons granted to xUsuario.
    void Usr_HabilitaMenu(const QString &xUsuario);
    // Empties both boxes.
    void Usr_LimpiaCampos();

protected:
    void showEvent(QShowEvent *e) override;
    void alDescargar() override;

private:
    void Command_0_Click();
    void Command_1_Click();

    Ui::Frm_S_Login *ui;
};
