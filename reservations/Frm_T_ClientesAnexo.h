#pragma once
// Dialog of the client list: adds, modifies, deletes or searches one client
// by the mode in Tag.
#include "platform/ListaAnexo.h"

#include <memory>

namespace Ui {
class Frm_T_ClientesAnexo;
}

class Frm_T_ClientesAnexo : public FrmAnexo {
    Q_OBJECT
public:
    explicit Frm_T_ClientesAnexo(QWidget *parent = nullptr);
    ~Frm_T_ClientesAnexo() override;

protected:
    bool Usr_ValidaDatos(const QString &modo) override;
    void insertar() override;
    bool modificar() override;
    // Refuses the walk-in client "CONSUMIDOR FINAL".
    bool eliminar() override;

private:
    std::unique_ptr<Ui::Frm_T_ClientesAnexo> ui;
};
