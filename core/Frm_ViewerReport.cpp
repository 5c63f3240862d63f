#include "Frm_ViewerReport.h"
#include "ui_Frm_ViewerReport.h"

#include "VisorReporte.h"
#include "reportes/Reporte.h"

#include <QMdiArea>
#include <QMdiSubWindow>

Frm_ViewerReport::Frm_ViewerReport(QWidget *parent) : Formulario(parent), ui(std::make_unique<Ui::Frm_ViewerReport>())
{
    ui->setupUi(this);
}

Frm_ViewerReport::~Frm_ViewerReport() = default;

VisorReporte *Frm_ViewerReport::crViewer() const { return ui->crViewer; }

void Frm_ViewerReport::mostrar(std::unique_ptr<Reporte> reporte)
{
    if (!reporte->generado())
        reporte->generar();
    Frm_ViewerReport *v = Ventanas::obtener<Frm_ViewerReport>();
    v->crViewer()->ReportSource(std::move(reporte));
    Ventanas::showForm(v, false);
    if (QMdiArea *area = Ventanas::area())
        if (QMdiSubWindow *m = Ventanas::marco(v))
            m->setGeometry(QRect(QPoint(0, 0), area->viewport()->size()));
    v->crViewer()->ViewReport();
}
