#pragma once
// Database reset: after a confirmation deletes every operation (registers,
// sales, stock movements, reservations), sets the register counter back to 1
// and every stock to 0, compacts the file and closes itself.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_S_ResetBase;
}

class Frm_S_ResetBase : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_S_ResetBase(QWidget *parent = nullptr);
    ~Frm_S_ResetBase() override;

    // The one action; the window closes whatever the answer.
    void cmdReset_Click();

private:
    std::unique_ptr<Ui::Frm_S_ResetBase> ui;
};
