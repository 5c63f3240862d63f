#include "Frm_T_CanchasAnexo.h"
#include "ui_Frm_T_CanchasAnexo.h"

#include "dbCanchas.h"

Frm_T_CanchasAnexo::Frm_T_CanchasAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_CanchasAnexo)
{
    ui->setupUi(this);
    definirCampos({ui->MaskEd_0, ui->MaskEd_1, ui->txtCanchaMadreId});
    conectarBotones(ui->Command_0, ui->Command_1);

    ui->dbComboCanchaMadre->cargar(dbCanchas::lista, QStringLiteral("descripcion"), QStringLiteral("id"));
    ui->dbComboCanchaMadre->enlazarCaja(ui->txtCanchaMadreId);
}

Frm_T_CanchasAnexo::~Frm_T_CanchasAnexo() = default;

void Frm_T_CanchasAnexo::Usr_CargaValores(const QStringList &valores)
{
    FrmAnexo::Usr_CargaValores(valores);
    ui->dbComboCanchaMadre->setBoundText(valores.value(2));
}

void Frm_T_CanchasAnexo::Usr_LimpiaCampos()
{
    ui->MaskEd_0->clear();
    ui->MaskEd_1->clear();
}

void Frm_T_CanchasAnexo::habilitarCanchaMadre(bool habilitar)
{
    ui->txtCanchaMadreId->setEnabled(habilitar);
    ui->dbComboCanchaMadre->setEnabled(habilitar);
}

bool Frm_T_CanchasAnexo::Usr_ValidaDatos(const QString &modo)
{
    return exigirCampo(0, QStringLiteral("Debe ingresar el Código")) &&
           exigirCampo(1, QStringLiteral("Debe ingresar la Descripción")) &&
           (modo != QLatin1String("NEW") || exigirCodigoNuevo(dbCanchas::existe(ui->MaskEd_0->text())));
}

void Frm_T_CanchasAnexo::insertar()
{
    dbCanchas::insertar(ui->MaskEd_0->text(), ui->MaskEd_1->text(), ui->txtCanchaMadreId->text());
    // The court just added can be the parent of the next one.
    ui->dbComboCanchaMadre->refrescar();
}

bool Frm_T_CanchasAnexo::modificar()
{
    return dbCanchas::modificar(ui->MaskEd_0->text(), ui->MaskEd_1->text(), ui->txtCanchaMadreId->text());
}

bool Frm_T_CanchasAnexo::eliminar()
{
    dbCanchas::eliminar(ui->MaskEd_0->text());
    return true;
}
