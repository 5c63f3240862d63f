#pragma once
// The preview window every printed report is shown in ("Reporte de
// impresión"): one per program, modeless, filling the main area; its viewer
// control crViewer fills the window. A second report replaces the first.
#include "platform/Ventanas.h"

#include <memory>

class Reporte;
class VisorReporte;
namespace Ui {
class Frm_ViewerReport;
}

class Frm_ViewerReport : public Formulario {
    Q_OBJECT
public:
    explicit Frm_ViewerReport(QWidget *parent = nullptr);
    ~Frm_ViewerReport() override;

    VisorReporte *crViewer() const;

    // Hands a report to the viewer (generated first when it is not) and shows
    // the window in front, filling the main area. ErrorReporte from the
    // generation reaches the caller and leaves the report shown before.
    static void mostrar(std::unique_ptr<Reporte> reporte);

private:
    std::unique_ptr<Ui::Frm_ViewerReport> ui;
};
