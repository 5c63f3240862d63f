#pragma once
// List of the bookable time slots, in the text order of their descriptions.
#include "platform/ListaAnexo.h"

class Frm_T_Horarios : public FrmLista {
    Q_OBJECT
public:
    explicit Frm_T_Horarios(QWidget *parent = nullptr);

    void Usr_LlenarDatos() override;

protected:
    FrmAnexo *anexo() override;
};
