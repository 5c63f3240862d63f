#pragma once
// What every printed report of the club shares: templates live in the
// folder rptcr of the program folder, and {?club_nombre} / {?club_telefono}
// carry the club's name and telephone from the settings.
#include "Reporte.h"

#include <QString>
#include <memory>

// Full path of a template of rptcr ("rpt_venta.rpt").
QString rutaPlantilla(const QString &archivo);

// Opens rptcr/archivo (ErrorReporte as Reporte::abrir).
std::unique_ptr<Reporte> abrirPlantilla(const QString &archivo);

// Clears {?club_nombre} and {?club_telefono} of r, when it has them, and
// sets them to the settings CLUB_NOMBRE and CLUB_TEL when these are not
// empty. Other parameters are left alone.
void llenarParametrosClub(Reporte &r);
