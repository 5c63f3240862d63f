#include "InterfazCaja.h"

#include "InterfazReportes.h"
#include "ReporteCaja.h"
#include "reportes/Reporte.h"

bool Usr_Print(const QString &xCajaId)
{
    return ImprimirReporte(QString::fromLatin1(kPlantillaCaja), QStringLiteral("{caja_cabeza.id}=") + xCajaId,
                           [&](Reporte &r) { llenarReporteCaja(r, xCajaId); });
}
