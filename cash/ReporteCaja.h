#pragma once
// The closing report of a register (rptcr/rpt_caja.rpt).
#include <QString>

class Reporte;

// The template's file name.
inline constexpr const char *kPlantillaCaja = "rpt_caja.rpt";

// Fills r for register cajaId: the club's name and telephone (only when
// set), {?param_show_stock} as the setting SHOW_STOCK_EN_CAJA is stored
// (also empty) and the record selection of that register. ErrorReporte or
// DbError reach the caller.
void llenarReporteCaja(Reporte &r, const QString &cajaId);

// Fills r (opened from the closing template by the caller) for register
// xCajaId with xReporTitle as its title and writes it to the PDF file
// FileName, without asking anything. Returns true; errors reach the caller.
bool Usr_ExportPDF(const QString &xCajaId, Reporte &ReportObject, const QString &FileName, const QString &xReporTitle);
