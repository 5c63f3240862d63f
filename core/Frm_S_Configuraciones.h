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

    // The minimum percentage typed, as it is saved: the number the text
    // stands for (read as every amount box reads it, two decimals) written
    // plainly ("25.5"); "" when it is no number or lies outside 0..100.
    static QString porcentaje(const QString &texto);

private:
    void cargarValores();
    void cmdOk_Click();

    std::unique_ptr<Ui::Frm_S_Configuraciones> ui;
};
