#pragma once
// Dialog of the time-slot list: adds, modifies, deletes or searches one slot
// by the mode in Tag.
#include "platform/ListaAnexo.h"

#include <memory>

namespace Ui {
class Frm_T_HorariosAnexo;
}

class Frm_T_HorariosAnexo : public FrmAnexo {
    Q_OBJECT
public:
    explicit Frm_T_HorariosAnexo(QWidget *parent = nullptr);
    ~Frm_T_HorariosAnexo() override;

protected:
    bool Usr_ValidaDatos(const QString &modo) override;
    void insertar() override;
    bool modificar() override;
    // Deletes the slot with its prices.
    bool eliminar() override;

private:
    std::unique_ptr<Ui::Frm_T_HorariosAnexo> ui;
};
