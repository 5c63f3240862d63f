#include "Frm_T_CanchasAnexo.h"
#include "ui_Frm_T_CanchasAnexo.h"

#include "dbCanchas.h"
#include "platform/Foco.h"

Frm_T_CanchasAnexo::Frm_T_CanchasAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_CanchasAnexo)
{
    ui->setupUi(this);
    definirCampos({ui->MaskEd_0, ui->MaskEd_1, ui->txtCanchaMadreId});
    conectarBotones(ui->Command_0, ui->Command_1);

    ui->dbComboCanchaMadre->cargar(dbCanchas::sqlLista(), QStringLiteral("descripcion"), QStringLiteral("id"));
    // Captured directly (not through ui): the focus may leave the box while
    // the dialog is being destroyed.
    QPointer<QLineEdit> caja = ui->txtCanchaMadreId;
    QPointer<DataCombo> combo = ui->dbComboCanchaMadre;
    connect(combo, &DataCombo::cambiado, this, [caja, combo] {
        if (caja && combo)
            caja->setText(combo->BoundText());
    });
    // A typed code chooses that court in the picker; a code that no court has
    // leaves both empty.
    alPerderFoco(caja, [caja, combo] {
        if (!caja || !combo)
            return;
        combo->setBoundText(caja->text());
        caja->setText(combo->BoundText());
    });
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

void Frm_T_CanchasAnexo::modificar()
{
    dbCanchas::modificar(ui->MaskEd_0->text(), ui->MaskEd_1->text(), ui->txtCanchaMadreId->text());
}

bool Frm_T_CanchasAnexo::eliminar()
{
    dbCanchas::eliminar(ui->MaskEd_0->text());
    return true;
}
