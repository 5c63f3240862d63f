#pragma once
// List of the club's courts, in the text order of their descriptions.
#include "platform/ListaAnexo.h"

class Frm_T_Canchas : public FrmLista {
    Q_OBJECT
public:
    explicit Frm_T_Canchas(QWidget *parent = nullptr);

    void Usr_LlenarDatos() override;

protected:
    FrmAnexo *anexo() override;
    // As the pattern; a search also disables the parent court's picker.
    void Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo) override;
};
