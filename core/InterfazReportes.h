#pragma once
// The printing procedure every report of the program follows, and the sale
// ticket.
#include <QString>
#include <functional>
#include <optional>

class DbError;
class Reporte;

// How an error other than a missing template is told: by its description,
// or as "Error: N - description".
enum class MensajeErrorReporte { Descripcion, NumeroYDescripcion };

// Tells the user, with the critical icon, about an error of the report
// engine or of the data it read: a missing template as "El archivo de
// reporte no se encuentra, restáurelo de los discos de instalación",
// anything else as forma says.
void AvisarErrorReporte(const DbError &e, MensajeErrorReporte forma = MensajeErrorReporte::Descripcion);

// With the hourglass meanwhile: opens rptcr/plantilla, fills {?club_nombre}
// and {?club_telefono} from the settings, lets completar set the report's
// other parameters and title, sets the record selection, and shows the
// report in the preview window. True when shown. On an error nothing is
// shown, the pointer is back to normal, and the user is told with the
// critical icon: a missing template as "El archivo de reporte no se
// encuentra, restáurelo de los discos de instalación", anything else as
// forma says.
bool ImprimirReporte(const QString &plantilla, const QString &seleccion,
                     const std::function<void(Reporte &)> &completar = {},
                     MensajeErrorReporte forma = MensajeErrorReporte::Descripcion);

// What the customer handed over and the change, as the sale window showed them.
struct CobroVenta {
    double pago = 0;
    double vuelto = 0;
};

// Shows the ticket of sale ventaId (its id as text) in the preview: the
// 80 mm receipt when the setting IMP_FORMATO_80mm is a number other than 0,
// the full page otherwise (also when it was never saved). The ticket printed
// right after the sale shows cobro as {?pago} and {?vuelto}; a reprint has no
// cobro (the sale stores its total as paid) and shows neither. True when shown.
bool ImprimirTicketVenta(const QString &ventaId, const std::optional<CobroVenta> &cobro = std::nullopt);
