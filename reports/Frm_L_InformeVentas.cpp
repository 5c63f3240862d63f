#include "Frm_L_InformeVentas.h"
#include "ui_Frm_L_InformeVentas.h"

#include "AppUtils.h"
#include "InformeVentas.h"
#include "InterfazReportes.h"
#include "Module.h"
#include "platform/Aperturas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "reportes/Seleccion.h"

#include <QPushButton>

Frm_L_InformeVentas::Frm_L_InformeVentas(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_L_InformeVentas>())
{
    ui->setupUi(this);
    Usr_LimpiaDatos();
    Aperturas::conectar(ui->Command_2, &QPushButton::clicked, this, &Frm_L_InformeVentas::Usr_LimpiaDatos);
    Aperturas::conectar(ui->Command_3, &QPushButton::clicked, this, &Frm_L_InformeVentas::Usr_Imprimir);
}

Frm_L_InformeVentas::~Frm_L_InformeVentas() = default;

void Frm_L_InformeVentas::Usr_LimpiaDatos()
{
    ui->dtpDesde->setDate(Reloj::hoy());
    ui->dtpHasta->setDate(Reloj::hoy());
}

bool Frm_L_InformeVentas::Usr_GeneraTemporal()
{
    try {
        InformeVentas::generar(gUsuarioActual, ui->dtpDesde->date(), ui->dtpHasta->date());
        return true;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Exclamation);
        return false;
    }
}

bool Frm_L_InformeVentas::Usr_Imprimir()
{
    gAppUtils.writeLog(QStringLiteral("msglog"), QStringLiteral("instanción variables"));
    // A report over rows that could not be rebuilt would show figures of
    // another range as if they were this one's.
    if (!Usr_GeneraTemporal())
        return false;
    gAppUtils.writeLog(QStringLiteral("msglog"), QStringLiteral("antes de ejecutar OpenReport"));
    return ImprimirReporte(
        QStringLiteral("rpt_informe_ventas.rpt"),
        QStringLiteral("{tmp_informe_ventas.t_usuarios_codigo}=") + Formula::texto(gUsuarioActual) + QLatin1Char(' '),
        [](Reporte &) {
            gAppUtils.writeLog(QStringLiteral("msglog"),
                               QStringLiteral("seteo datos y esta por iniciar el report viewer"));
        },
        MensajeErrorReporte::NumeroYDescripcion);
}
