#pragma once
// Password change: anyone who knows a user's current password may give that
// user a new one. Modal; keeps nothing between openings.
#include "platform/Ventanas.h"

#include <memory>

class QLineEdit;
namespace Ui {
class Frm_S_CambioClave;
}

class Frm_S_CambioClave : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_S_CambioClave(QWidget *parent = nullptr);
    ~Frm_S_CambioClave() override;

    // "Limpiar": empties the four boxes.
    void Command_0_Click();
    // "Guardar": checks the boxes and the current password, stores the new
    // one, tells the user and closes; on a failed check tells why and leaves
    // the focus on the box to correct.
    void Command_1_Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    // Shows mensaje (exclamation, title "Mensaje"), focuses caja, returns false.
    bool rechazar(const QString &mensaje, QLineEdit *caja);
    bool validar();

    std::unique_ptr<Ui::Frm_S_CambioClave> ui;
};
