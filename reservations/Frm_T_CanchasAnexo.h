#pragma once
// Dialog of the court list: adds, modifies, deletes or searches one court by
// the mode in Tag. The parent court is shown twice, kept in step: its code in
// txtCanchaMadreId and its description in the picker dbComboCanchaMadre.
#include "platform/ListaAnexo.h"

#include <memory>

namespace Ui {
class Frm_T_CanchasAnexo;
}

class Frm_T_CanchasAnexo : public FrmAnexo {
    Q_OBJECT
public:
    explicit Frm_T_CanchasAnexo(QWidget *parent = nullptr);
    ~Frm_T_CanchasAnexo() override;

    // Copies code, description and parent court (box and picker).
    void Usr_CargaValores(const QStringList &valores) override;
    // Empties code and description; the parent court stays for the next court.
    void Usr_LimpiaCampos() override;
    // Enables or disables the parent court's box and picker.
    void habilitarCanchaMadre(bool habilitar);

protected:
    bool Usr_ValidaDatos(const QString &modo) override;
    void insertar() override;
    bool modificar() override;
    // Deletes the court with its prices.
    bool eliminar() override;

private:
    std::unique_ptr<Ui::Frm_T_CanchasAnexo> ui;
};
