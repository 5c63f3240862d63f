#include "Frm_T_ClientesAnexo.h"
#include "ui_Frm_T_ClientesAnexo.h"

#include "dbClientes.h"

namespace {
constexpr int kNombre = 1;
constexpr int kTelefono = 2;
} // namespace

Frm_T_ClientesAnexo::Frm_T_ClientesAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_ClientesAnexo)
{
    ui->setupUi(this);
    definirCampos({ui->MaskEd_0, ui->MaskEd_1, ui->MaskEd_2, ui->MaskEd_3, ui->txtCom});
    conectarBotones(ui->Command_0, ui->Command_1);
}

Frm_T_ClientesAnexo::~Frm_T_ClientesAnexo() = default;

bool Frm_T_ClientesAnexo::Usr_ValidaDatos(const QString &)
{
    return exigirCampo(kNombre, QStringLiteral("Debe ingresar un Nombre")) &&
           exigirCampo(kTelefono, QStringLiteral("Debe ingresar un Telefono"));
}

void Frm_T_ClientesAnexo::insertar()
{
    dbClientes::insertar({ui->MaskEd_1->text(), ui->MaskEd_2->text(), ui->MaskEd_3->text(), ui->txtCom->toPlainText()});
}

bool Frm_T_ClientesAnexo::modificar()
{
    return dbClientes::modificar(ui->MaskEd_0->text().toLongLong(), {ui->MaskEd_1->text(), ui->MaskEd_2->text(),
                                                                     ui->MaskEd_3->text(), ui->txtCom->toPlainText()});
}

bool Frm_T_ClientesAnexo::eliminar()
{
    if (ui->MaskEd_0->text() == QString::number(dbClientes::kConsumidorFinal)) {
        MsgBox(QStringLiteral("No es posible eliminar el cliente CONSUMIDOR FINAL"), vb::Exclamation);
        return false;
    }
    dbClientes::eliminar(ui->MaskEd_0->text().toLongLong());
    return true;
}
