#include "Frm_S_ConfiguraEmail.h"
#include "ui_Frm_S_ConfiguraEmail.h"

#include "ConfigPrograma.h"
#include "Module.h"
#include "dbEmailConf.h"
#include "platform/Aperturas.h"
#include "platform/Asteriscos.h"
#include "platform/Mensajes.h"

Frm_S_ConfiguraEmail::Frm_S_ConfiguraEmail(QWidget *parent) : Dialogo(parent), ui(new Ui::Frm_S_ConfiguraEmail)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->Frame1->setTitle(QStringLiteral("La cuenta debe ser del proveedor de correo del servidor %1")
                             .arg(ConfigPrograma::servidorCorreo()));
    mostrarAsteriscos(ui->txt_Password);
    Aperturas::conectar(ui->cmdMostrar, &QPushButton::clicked, this, &Frm_S_ConfiguraEmail::cmdMostrar_Click);
    Aperturas::conectar(ui->cmdOK, &QPushButton::clicked, this, &Frm_S_ConfiguraEmail::cmdOK_Click);
    Aperturas::conectar(ui->cmdCancel, &QPushButton::clicked, this, [this] { descargar(); });
}

Frm_S_ConfiguraEmail::~Frm_S_ConfiguraEmail() = default;

void Frm_S_ConfiguraEmail::showEvent(QShowEvent *e)
{
    Dialogo::showEvent(e);
    try {
        if (const auto cuenta = dbEmailConf::leer()) {
            ui->txt_Usuario->setText(cuenta->usuario);
            ui->txt_Password->setText(cuenta->contrasena);
            ui->txt_Destinatario->setText(cuenta->destinatario);
        }
    } catch (const DbError &error) {
        MsgBox(error.mensaje(), vb::Critical);
    }
}

void Frm_S_ConfiguraEmail::cmdMostrar_Click()
{
    const bool oculta = ui->txt_Password->echoMode() == QLineEdit::Password;
    ui->txt_Password->setEchoMode(oculta ? QLineEdit::Normal : QLineEdit::Password);
    ui->cmdMostrar->setText(oculta ? QStringLiteral("Ocultar") : QStringLiteral("Mostrar"));
}

void Frm_S_ConfiguraEmail::cmdOK_Click()
{
    try {
        Transaccion t(*gConexion);
        dbEmailConf::guardar({ui->txt_Usuario->text(), ui->txt_Password->text(), ui->txt_Destinatario->text()});
        t.commit();
    } catch (const DbError &error) {
        MsgBox(error.mensaje(), vb::Critical);
        return;
    }
    MsgBox(QStringLiteral("Se almaceno la configuración exitosamente"), vb::Information);
    descargar();
}
