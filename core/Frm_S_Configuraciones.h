#pragma once
// Modal dialog that shows and saves the nine user-editable settings of
// t_configuraciones. The values are read again every time it opens.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_S_Configuraciones;
}

class Frm_S_Configuraciones : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_S_Configuraciones(QWidget *parent = nullptr);
    ~Frm_S_Configuraciones() override;

    // True when texto is a plain number (point as decimal separator) from 0
    // to 100, both included.
    static bool porcentajeValido(const QString &texto);

private:
    void cargarValores();
    void cmdOk_Click();

    std::unique_ptr<Ui::Frm_S_Configuraciones> ui;
};
