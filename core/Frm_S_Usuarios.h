#pragma once
// List of the users who may log in. The built-in administrator (code exactly
// "admin") is never listed, so it is neither modified nor deleted here. The
// four picture buttons are add, delete, print (without a question) and search;
// the window has no close button of its own.
#include "platform/ListaAnexo.h"

class Frm_S_Usuarios : public FrmLista {
    Q_OBJECT
public:
    explicit Frm_S_Usuarios(QWidget *parent = nullptr);

    void Usr_LlenarDatos() override;

protected:
    FrmAnexo *anexo() override;
    // As the pattern; a new user has both boxes enabled.
    void Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo) override;
};
