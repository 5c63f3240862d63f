#pragma once
// Cash movements of one of the users' concepts in a range of days, printed
// through rpt_movimientos_caja_conceptos.rpt into the preview window.
#include "platform/Ventanas.h"

#include <QDate>
#include <memory>

namespace Ui {
class Frm_L_InformeDeMovCaja;
}

class Frm_L_InformeDeMovCaja : public Formulario {
    Q_OBJECT
public:
    explicit Frm_L_InformeDeMovCaja(QWidget *parent = nullptr);
    ~Frm_L_InformeDeMovCaja() override;

    // No concept chosen, "Todos" unchecked, both dates today.
    void Usr_LimpiaDatos();

private:
    // The movements of concept codigo from desde at 00:00:00 to hasta at
    // 23:59:59 in the preview; true when shown.
    bool Usr_Imprimir(const QString &codigo, const QDate &desde, const QDate &hasta);

    std::unique_ptr<Ui::Frm_L_InformeDeMovCaja> ui;
};
