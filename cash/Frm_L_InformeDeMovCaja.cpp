#include "Frm_L_InformeDeMovCaja.h"
#include "ui_Frm_L_InformeDeMovCaja.h"

#include "InterfazReportes.h"
#include "dbConceptosCaja.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "reportes/Reporte.h"
#include "reportes/Seleccion.h"

Frm_L_InformeDeMovCaja::Frm_L_InformeDeMovCaja(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_L_InformeDeMovCaja>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_L_InformeDeMovCaja"));
    // Only the users' own concepts: a system code typed in the box is unknown and emptied.
    ui->dc_Concepto->cargar(&dbConceptosCaja::deUsuario, QStringLiteral("descripcion"), QStringLiteral("id"));
    ui->dc_Concepto->enlazarCaja(ui->txtCodigo);
    Usr_LimpiaDatos();

    Aperturas::conectar(ui->chkTodos, &QCheckBox::toggled, this, [this](bool todos) {
        ui->txtCodigo->setEnabled(!todos);
        ui->dc_Concepto->setEnabled(!todos);
        ui->txtCodigo->clear();
        ui->dc_Concepto->setBoundText(QString());
    });
    Aperturas::conectar(ui->Command_2, &QPushButton::clicked, this, &Frm_L_InformeDeMovCaja::Usr_LimpiaDatos);
    Aperturas::conectar(ui->Command_3, &QPushButton::clicked, this, [this] {
        ui->dc_Concepto->tomarCaja();
        const QString codigo = ui->txtCodigo->text().trimmed();
        if (codigo.isEmpty()) {
            MsgBox(QStringLiteral("Debe seleccionar un concepto."), vb::Exclamation);
            return;
        }
        Usr_Imprimir(codigo, ui->dtpDesde->date(), ui->dtpHasta->date());
    });
}

Frm_L_InformeDeMovCaja::~Frm_L_InformeDeMovCaja() = default;

void Frm_L_InformeDeMovCaja::Usr_LimpiaDatos()
{
    ui->chkTodos->setChecked(false);
    ui->txtCodigo->clear();
    ui->dc_Concepto->setBoundText(QString());
    ui->dtpDesde->setDate(Reloj::hoy());
    ui->dtpHasta->setDate(Reloj::hoy());
}

bool Frm_L_InformeDeMovCaja::Usr_Imprimir(const QString &codigo, const QDate &desde, const QDate &hasta)
{
    const QString seleccion = QStringLiteral("{caja_movimientos.caja_conceptos_id}=") + Formula::texto(codigo) +
                              QStringLiteral(" AND {caja_movimientos.fecha_hora} >= ") +
                              Formula::momento(QDateTime(desde, QTime(0, 0))) +
                              QStringLiteral(" AND {caja_movimientos.fecha_hora} <= ") +
                              Formula::momento(QDateTime(hasta, QTime(23, 59, 59)));
    const QString concepto = ui->dc_Concepto->Text();
    return ImprimirReporte(QStringLiteral("rpt_movimientos_caja_conceptos.rpt"), seleccion, [&](Reporte &r) {
        r.fijarParametro(QStringLiteral("concepto"), concepto);
        r.fijarParametro(QStringLiteral("entre_fechas"),
                         Formatos::fecha(desde) + QStringLiteral(" al ") + Formatos::fecha(hasta));
    });
}
