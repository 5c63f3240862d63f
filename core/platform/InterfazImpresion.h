#pragma once
// Printing on the default printer, for every document the program prints
// (the reports and tickets of the preview, the grids' listings): the print
// service is asked for the printer, the document is written as a PDF file
// and handed to the service, and the user is told when it was not printed.
#include <QPageLayout>
#include <QString>
#include <functional>

// clase names the document in the messages ("el reporte", "el listado"),
// titulo is the job's name. escribir writes the document into the PDF file
// archivo for the queue impresora and returns the page it used (an invalid
// layout when the file could not be written). Without a printer, or when the
// service does not answer, the user is told with the exclamation icon; when
// the file cannot be written, or the service does not take the job, with the
// critical icon and the service's words. True when the service took the job.
bool ImprimirEnPredeterminada(
    const QString &clase, const QString &titulo,
    const std::function<QPageLayout(const QString &archivo, const QString &impresora)> &escribir);
