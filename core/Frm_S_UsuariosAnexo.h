#pragma once
// Dialog of the users list: adds, renames, deletes or searches one user by the
// mode in Tag. A new user's password is its code; deleting a user deletes its
// granted options with it.
#include "platform/ListaAnexo.h"

#include <memory>

namespace Ui {
class Frm_S_UsuariosAnexo;
}

class Frm_S_UsuariosAnexo : public FrmAnexo {
    Q_OBJECT
public:
    explicit Frm_S_UsuariosAnexo(QWidget *parent = nullptr);
    ~Frm_S_UsuariosAnexo() override;

protected:
    // Code and name required; a new code must not exist yet ("Código
    // Existente en Tabla" empties both boxes).
    bool Usr_ValidaDatos(const QString &modo) override;
    void insertar() override;
    bool modificar() override;
    bool eliminar() override;

private:
    std::unique_ptr<Ui::Frm_S_UsuariosAnexo> ui;
};
