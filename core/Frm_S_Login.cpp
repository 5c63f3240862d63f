#include "Frm_S_Login.h"
#include "ui_Frm_S_Login.h"

#include "Aplicacion.h"
#include "AppUtils.h"
#include "Frm_Main.h"
#include "MenuPrincipal.h"
#include "Module.h"
#include "Permisos.h"
#include "platform/Aperturas.h"
#include "platform/Asteriscos.h"
#include "platform/Mensajes.h"

#include <QAction>
#include <QToolBar>

Frm_S_Login::Frm_S_Login(QWidget *parent) : Dialogo(parent ? parent : Frm_Main::instancia()), ui(new Ui::Frm_S_Login)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    mostrarAsteriscos(ui->Text_1);
    setFixedSize(sizeHint());
    Aperturas::conectar(ui->Command_0, &QPushButton::clicked, this, &Frm_S_Login::Command_0_Click);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Frm_S_Login::Command_1_Click);
}

Frm_S_Login::~Frm_S_Login() { delete ui; }

void Frm_S_Login::showEvent(QShowEvent *e)
{
    Usr_LimpiaCampos();
    ui->Command_0->setDefault(true);
    ui->Text_0->setFocus();
    Dialogo::showEvent(e);
}

void Frm_S_Login::Usr_LimpiaCampos()
{
    ui->Text_0->clear();
    ui->Text_1->clear();
}

bool Frm_S_Login::Usr_ValidaUsuario()
{
    if (ui->Text_0->text().isEmpty()) {
        MsgBox(QStringLiteral("Debe llenar Código de Usuario"), vb::Exclamation);
        ui->Text_0->setFocus();
        return false;
    }
    if (ui->Text_1->text().isEmpty()) {
        MsgBox(QStringLiteral("Debe llenar Clave de Identificación"), vb::Exclamation);
        ui->Text_1->setFocus();
        return false;
    }
    switch (Permisos::verificar(ui->Text_0->text(), ui->Text_1->text())) {
    case Permisos::Credenciales::CodigoInexistente:
        MsgBox(QStringLiteral("Código de Usuario Inexistente"), vb::Exclamation);
        break;
    case Permisos::Credenciales::ClaveErronea:
        MsgBox(QStringLiteral("Clave de Identificación Errónea"), vb::Exclamation);
        break;
    case Permisos::Credenciales::Correctas: return true;
    }
    Usr_LimpiaCampos();
    ui->Text_0->setFocus();
    return false;
}

void Frm_S_Login::Usr_HabilitaMenu(const QString &xUsuario)
{
    Frm_Main *principal = Frm_Main::instancia();
    if (!principal)
        return;
    const bool admin = Permisos::esAdministrador(xUsuario);
    if (!Permisos::tieneOpciones(xUsuario) && !admin) {
        MsgBox(QStringLiteral("El Usuario no tiene Opciones Habilitadas"), vb::Exclamation);
        return;
    }
    for (QAction *a : principal->accionesMenu()) {
        if (admin) {
            a->setVisible(true);
            continue;
        }
        if (Permisos::esOpcionSiempreVisible(a->objectName())) {
            a->setVisible(true);
            continue;
        }
        // A failed look-up leaves the item as it was.
        try {
            a->setVisible(Permisos::tieneOpcion(xUsuario, a->objectName()));
        } catch (const DbError &) {
        }
    }
    principal->barra()->setVisible(true);
    for (const auto &b : MenuPrincipal::botones()) {
        if (b.permiso.isEmpty())
            continue;
        try {
            principal->botonBarra(b.indice)->setEnabled(gAppUtils.checkTienePermiso(gUsuarioActual, b.permiso));
        } catch (const DbError &) {
        }
    }
}

void Frm_S_Login::Command_0_Click()
{
    try {
        if (!Usr_ValidaUsuario())
            return;
        gUsuarioActual = ui->Text_0->text();
        Usr_HabilitaMenu(gUsuarioActual);
    } catch (const DbError &e) {
        gUsuarioActual.clear();
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    hide();
    if (Frm_Main *principal = Frm_Main::instancia())
        principal->marcarUsuario(gUsuarioActual);
    descargar();
}

void Frm_S_Login::Command_1_Click()
{
    Usr_LimpiaCampos();
    Aplicacion::terminar();
}

void Frm_S_Login::alDescargar()
{
    if (Frm_Main *principal = Frm_Main::instancia())
        principal->ajustarConexion();
}
