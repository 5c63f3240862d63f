#pragma once
// Search dialog of the stock on hand: a code and a description to look for.
#include "platform/Ventanas.h"

#include <QPointer>
#include <memory>

class Frm_T_ExistArticulos;

namespace Ui {
class Frm_T_ExistArticulosAnexo;
}

class Frm_T_ExistArticulosAnexo : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_T_ExistArticulosAnexo(QWidget *parent = nullptr);
    ~Frm_T_ExistArticulosAnexo() override;

    void setLista(Frm_T_ExistArticulos *lista) { m_lista = lista; }

private:
    std::unique_ptr<Ui::Frm_T_ExistArticulosAnexo> ui;
    QPointer<Frm_T_ExistArticulos> m_lista;
};
