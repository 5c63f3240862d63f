#pragma once
// The machine's print service (CUPS): the printer a job goes to and the
// handing over of a job, with what the service answered. A QPrinter ends a
// job the service refused as quietly as one it took (its state says Idle
// either way), so the program hands its jobs over itself, as PDF files.
#include <QString>

namespace ServicioImpresion {

enum class Estado {
    Lista,        // there is a default printer to print on
    SinImpresora, // the service answered: no printer, or none is the default
    SinRespuesta, // nothing answered: the service is stopped or missing
};

struct Destino {
    Estado estado = Estado::SinRespuesta;
    QString impresora; // the default printer's queue, when Lista
};

// The default printer, asked of the print service each time (the user's own
// choice of default first, as every program of the machine does).
Destino predeterminada();

struct Respuesta {
    int trabajo = 0; // the job's number; 0 when it was not taken
    QString motivo;  // what the service said when it did not take it
    bool aceptada() const { return trabajo > 0; }
};

// Hands the PDF file archivo to the queue impresora as one job named titulo,
// on paper medio (a page size key as QPageSize::key gives it: "A4",
// "Custom.80x120mm"). The file may be removed once this returns.
Respuesta enviar(const QString &impresora, const QString &archivo, const QString &titulo, const QString &medio);

} // namespace ServicioImpresion
