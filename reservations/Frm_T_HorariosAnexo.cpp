#include "Frm_T_HorariosAnexo.h"
#include "ui_Frm_T_HorariosAnexo.h"

#include "dbHorarios.h"

Frm_T_HorariosAnexo::Frm_T_HorariosAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_HorariosAnexo)
{
    ui->setupUi(this);
    definirCampos({ui->MaskEd_0, ui->MaskEd_1});
    conectarBotones(ui->Command_0, ui->Command_1);
}

Frm_T_HorariosAnexo::~Frm_T_HorariosAnexo() = default;

bool Frm_T_HorariosAnexo::Usr_ValidaDatos(const QString &modo)
{
    return exigirCampo(0, QStringLiteral("Debe ingresar el Código")) &&
           exigirCampo(1, QStringLiteral("Debe ingresar la Descripción")) &&
           (modo != QLatin1String("NEW") || exigirCodigoNuevo(dbHorarios::existe(ui->MaskEd_0->text())));
}

void Frm_T_HorariosAnexo::insertar() { dbHorarios::insertar(ui->MaskEd_0->text(), ui->MaskEd_1->text()); }

bool Frm_T_HorariosAnexo::modificar() { return dbHorarios::modificar(ui->MaskEd_0->text(), ui->MaskEd_1->text()); }

bool Frm_T_HorariosAnexo::eliminar()
{
    dbHorarios::eliminar(ui->MaskEd_0->text());
    return true;
}
