#pragma once
// Dialog of the product list: adds, modifies, deletes or searches one
// product by the mode in Tag. The stock is shown, never written here.
#include "platform/ListaAnexo.h"

#include <memory>

namespace Ui {
class Frm_T_ProductosAnexo;
}

class Frm_T_ProductosAnexo : public FrmAnexo {
    Q_OBJECT
public:
    explicit Frm_T_ProductosAnexo(QWidget *parent = nullptr);
    ~Frm_T_ProductosAnexo() override;

    // Empties the boxes and ticks "Activo".
    void Usr_LimpiaCampos() override;

protected:
    // The four boxes filled in order, both prices numbers as every amount box
    // reads them ("1234.50", "1,234.5"; kept in cents) and, when adding, a
    // code no product has.
    bool Usr_ValidaDatos(const QString &modo) override;
    void insertar() override;
    bool modificar() override;
    bool eliminar() override;

private:
    // A price box holding a plain number; otherwise tells the user which box
    // and returns false with the focus on it.
    bool exigirNumero(int campo, const QString &nombre);

    std::unique_ptr<Ui::Frm_T_ProductosAnexo> ui;
};
