#include "Frm_S_UsuariosAnexo.h"
#include "ui_Frm_S_UsuariosAnexo.h"

#include "Module.h"
#include "dbUsuarios.h"

Frm_S_UsuariosAnexo::Frm_S_UsuariosAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_S_UsuariosAnexo)
{
    ui->setupUi(this);
    definirCampos({ui->MaskEd_0, ui->MaskEd_1});
    conectarBotones(ui->Command_0, ui->Command_1);
}

Frm_S_UsuariosAnexo::~Frm_S_UsuariosAnexo() = default;

bool Frm_S_UsuariosAnexo::Usr_ValidaDatos(const QString &modo)
{
    if (!exigirCampo(0, QStringLiteral("Debe Llenar el Código"), vb::OKOnly) ||
        !exigirCampo(1, QStringLiteral("Debe Llenar la Descripción"), vb::OKOnly))
        return false;
    if (modo == QLatin1String("NEW") && dbUsuarios::existe(ui->MaskEd_0->text())) {
        MsgBox(QStringLiteral("Código Existente en Tabla"), vb::OKOnly);
        Usr_LimpiaCampos();
        ui->MaskEd_0->setFocus();
        return false;
    }
    return true;
}

void Frm_S_UsuariosAnexo::insertar() { dbUsuarios::insertar(ui->MaskEd_0->text(), ui->MaskEd_1->text()); }

bool Frm_S_UsuariosAnexo::modificar() { return dbUsuarios::modificar(ui->MaskEd_0->text(), ui->MaskEd_1->text()); }

bool Frm_S_UsuariosAnexo::eliminar()
{
    Transaccion t(*gConexion);
    dbUsuarios::eliminar(ui->MaskEd_0->text());
    t.commit();
    return true;
}
