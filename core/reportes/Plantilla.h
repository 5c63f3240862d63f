#pragma once
// A report template file (rptcr/*.rpt) read into memory.
//
// The file is a JSON header, a line holding only "---", and the layout: a
// mustache template producing the HTML of the report. The header says
//   "titulo"      the default report title (text),
//   "pagina"      {"tamano": "A4" | "Carta"} or {"ancho_mm": n, "alto_mm": n}
//                 (alto_mm 0 or absent: the page is as long as its content),
//                 "margenes_mm": [top, right, bottom, left], "numerar": true
//                 to print "Página N de M" in the bottom margin,
//   "fuente"      {"familia": text, "puntos": n}, the default font,
//   "parametros"  the names of the text parameters ({?name} in the printing code),
//   "tablas"      the tables a record selection may name,
//   "consultas"   name -> SELECT statement (text or list of lines); the
//                 marker {seleccion} stands for the record selection, whose
//                 values are bound, never written into the text, and {?name}
//                 for the bound value of parameter name (Null when unset),
//   "formatos"    column -> importe | entero | fecha | momento | hora.
// In the layout each query is a list of rows ({{#name}}...{{/name}}), each
// parameter and "titulo" a value; an empty value or an unset parameter is
// false, so {{#club_telefono}}...{{/club_telefono}} hides a line.
#include <QHash>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

namespace kainjow::mustache {
template <typename string_type> class basic_mustache;
}
using DisenoMustache = kainjow::mustache::basic_mustache<std::string>;

struct PaginaPlantilla {
    QSizeF tamanoMm{210, 297};            // height 0: as long as the content
    QMarginsF margenesMm{15, 15, 15, 15}; // left, top, right, bottom
    bool numerar = false;
    bool largoDelContenido() const { return tamanoMm.height() <= 0; }
};

struct ConsultaPlantilla {
    QString nombre;
    QString sql;
};

struct Plantilla {
    QString titulo;
    PaginaPlantilla pagina;
    QString fuenteFamilia;
    double fuentePuntos = 9;
    QStringList parametros;
    QStringList tablas;
    std::vector<ConsultaPlantilla> consultas;
    QHash<QString, QString> formatos; // column name in lower case -> format
    std::shared_ptr<DisenoMustache> diseno;

    // Reads and checks the file. Throws ErrorReporte: ArchivoNoEncontrado
    // when it is missing or unreadable, PlantillaInvalida with what is wrong.
    static Plantilla leer(const QString &ruta);
};
