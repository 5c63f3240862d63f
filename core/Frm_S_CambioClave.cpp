#include "Frm_S_CambioClave.h"
#include "ui_Frm_S_CambioClave.h"

#include "Permisos.h"
#include "dbUsuarios.h"
#include "platform/Aperturas.h"
#include "platform/Asteriscos.h"
#include "platform/Mensajes.h"

Frm_S_CambioClave::Frm_S_CambioClave(QWidget *parent) : Dialogo(parent), ui(new Ui::Frm_S_CambioClave)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (QLineEdit *c : {ui->Text_1, ui->Text_2, ui->Text_3})
        mostrarAsteriscos(c);
    Aperturas::conectar(ui->Command_0, &QPushButton::clicked, this, &Frm_S_CambioClave::Command_0_Click);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Frm_S_CambioClave::Command_1_Click);
}

Frm_S_CambioClave::~Frm_S_CambioClave() = default;

void Frm_S_CambioClave::showEvent(QShowEvent *e)
{
    Dialogo::showEvent(e);
    ui->Text_0->setFocus();
}

void Frm_S_CambioClave::Command_0_Click()
{
    for (QLineEdit *c : {ui->Text_0, ui->Text_1, ui->Text_2, ui->Text_3})
        c->clear();
}

bool Frm_S_CambioClave::rechazar(const QString &mensaje, QLineEdit *caja)
{
    MsgBox(mensaje, vb::Exclamation, QStringLiteral("Mensaje"));
    caja->setFocus();
    return false;
}

bool Frm_S_CambioClave::validar()
{
    // A box of blanks is not empty: blanks may be part of a password.
    if (ui->Text_0->text().isEmpty())
        return rechazar(QStringLiteral("Debe llenar Código de Usuario"), ui->Text_0);
    if (ui->Text_1->text().isEmpty())
        return rechazar(QStringLiteral("Debe llenar Clave de Identificación"), ui->Text_1);
    if (ui->Text_2->text().isEmpty())
        return rechazar(QStringLiteral("Debe llenar Nueva Clave de Identificación"), ui->Text_2);
    if (ui->Text_3->text().isEmpty())
        return rechazar(QStringLiteral("Debe llenar la Confirmación de la Clave de Identificación"), ui->Text_3);
    switch (Permisos::verificar(ui->Text_0->text(), ui->Text_1->text())) {
    case Permisos::Credenciales::CodigoInexistente:
        return rechazar(QStringLiteral("Código de Usuario Inexistente"), ui->Text_0);
    case Permisos::Credenciales::ClaveErronea:
        return rechazar(QStringLiteral("Clave de Identificación Errónea"), ui->Text_0);
    case Permisos::Credenciales::Correctas: break;
    }
    if (ui->Text_2->text() != ui->Text_3->text())
        return rechazar(QStringLiteral("No coincide la Nueva Clave y la Confirmación de la misma"), ui->Text_2);
    return true;
}

void Frm_S_CambioClave::Command_1_Click()
{
    try {
        if (!validar())
            return;
        dbUsuarios::cambiarClave(ui->Text_0->text(), ui->Text_2->text());
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    MsgBox(QStringLiteral("Se ha cambiado la contraseña"), vb::Information);
    descargar();
}
