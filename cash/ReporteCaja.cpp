#include "ReporteCaja.h"

#include "dbConfiguraciones.h"
#include "reportes/ReportesClub.h"

void llenarReporteCaja(Reporte &r, const QString &cajaId)
{
    llenarParametrosClub(r);
    if (r.tieneParametro(QStringLiteral("param_show_stock"))) {
        r.limpiarParametro(QStringLiteral("param_show_stock"));
        r.fijarParametro(QStringLiteral("param_show_stock"),
                         dbConfiguraciones().getValor(QStringLiteral("SHOW_STOCK_EN_CAJA")));
    }
    r.fijarSeleccion(QStringLiteral("{caja_cabeza.id}=") + cajaId);
}

bool Usr_ExportPDF(const QString &xCajaId, Reporte &ReportObject, const QString &FileName, const QString &xReporTitle)
{
    llenarReporteCaja(ReportObject, xCajaId);
    ReportObject.fijarTitulo(xReporTitle);
    ReportObject.exportarPdf(FileName);
    return true;
}
