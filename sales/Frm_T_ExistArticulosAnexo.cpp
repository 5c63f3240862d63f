#include "Frm_T_ExistArticulosAnexo.h"
#include "ui_Frm_T_ExistArticulosAnexo.h"

#include "Frm_T_ExistArticulos.h"
#include "platform/Aperturas.h"

Frm_T_ExistArticulosAnexo::Frm_T_ExistArticulosAnexo(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_T_ExistArticulosAnexo>())
{
    ui->setupUi(this);
    Aperturas::conectar(ui->btnAceptar, &QPushButton::clicked, this, [this] {
        if (m_lista)
            m_lista->Usr_Busca(ui->mskCodigo->text(), ui->mskDesc->text());
        descargar();
    });
    Aperturas::conectar(ui->btnCancelar, &QPushButton::clicked, this, &Dialogo::descargar);
}

Frm_T_ExistArticulosAnexo::~Frm_T_ExistArticulosAnexo() = default;
