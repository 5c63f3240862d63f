// Printing of the grid: the whole grid as a table, with its job name as title.
#include "Grid.h"
#include "GridTabla.h"
#include "InterfazImpresion.h"
#include "ServicioImpresion.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <vector>

bool Grid::hayImpresora() { return ServicioImpresion::predeterminada().estado == ServicioImpresion::Estado::Lista; }

namespace {

struct ColumnaImpresa {
    int col;      // table column
    double ancho; // device pixels
};

void dibujarTexto(QPainter &p, const QRectF &r, const QString &t, int alineacion)
{
    const double margen = r.height() * 0.2;
    const QRectF dentro = r.adjusted(margen, 0, -margen, 0);
    const QString corto = p.fontMetrics().elidedText(t, Qt::ElideRight, int(dentro.width()));
    Qt::Alignment a = Qt::Alignment(alineacion) & Qt::AlignHorizontal_Mask;
    if (a == 0)
        a = Qt::AlignLeft;
    p.drawText(dentro, int(a | Qt::AlignVCenter), corto);
}

} // namespace

bool Grid::imprimir(const QString &nombreTrabajo, QPrinter *printer)
{
    if (printer)
        return pintarEn(nombreTrabajo, printer, false);
    // On the default printer's own paper, turned when the columns do not fit.
    return ImprimirEnPredeterminada(QStringLiteral("el listado"), nombreTrabajo,
                                    [&](const QString &archivo, const QString &impresora) {
                                        QPrinter pdf(QPrinter::HighResolution);
                                        pdf.setOutputFormat(QPrinter::PdfFormat);
                                        pdf.setOutputFileName(archivo);
                                        const QPrinterInfo info = QPrinterInfo::printerInfo(impresora);
                                        if (!info.isNull() && info.defaultPageSize().isValid())
                                            pdf.setPageSize(info.defaultPageSize());
                                        return pintarEn(nombreTrabajo, &pdf, true) ? pdf.pageLayout() : QPageLayout();
                                    });
}

bool Grid::pintarEn(const QString &nombreTrabajo, QPrinter *printer, bool girarSiNoCabe)
{
    printer->setDocName(nombreTrabajo);
    printer->setCreator(QApplication::applicationName());

    QFont fuente(QApplication::font());
    fuente.setPointSizeF(9);
    QFont negrita(fuente);
    negrita.setBold(true);
    QFont titulo(fuente);
    titulo.setPointSizeF(13);
    titulo.setBold(true);

    // Columns shown on screen, except the button columns, in screen order,
    // each as wide as its widest text on paper.
    const QFontMetricsF fm(fuente, printer);
    const QFontMetricsF fmNegrita(negrita, printer);
    const double relleno = fm.height() * 0.8;
    const ModeloGrid &modelo = *m_tabla->modelo;
    std::vector<ColumnaImpresa> columnas;
    double anchoTotal = 0;
    QHeaderView *hh = m_tabla->horizontalHeader();
    for (int v = 0; v < hh->count(); ++v) {
        const int c = hh->logicalIndex(v);
        if (m_tabla->isColumnHidden(c) || columnaDeBotones(c))
            continue;
        double w = fmNegrita.horizontalAdvance(modelo.titulo(c));
        for (int r = 0; r < modelo.rowCount(); ++r)
            w = std::max(w, fm.horizontalAdvance(modelo.texto(r, c)));
        w = std::max(w, fm.horizontalAdvance(QStringLiteral("0000"))) + relleno;
        columnas.push_back({c, w});
        anchoTotal += w;
    }
    if (girarSiNoCabe && anchoTotal > printer->pageLayout().paintRectPixels(printer->resolution()).width())
        printer->setPageOrientation(QPageLayout::Landscape);

    QPainter p;
    if (!p.begin(printer))
        return false;

    const double anchoPagina = printer->width();
    const double altoPagina = printer->height();
    if (anchoTotal > 0 && anchoTotal <= anchoPagina) {
        // Room to spare: every column grows in proportion.
        for (ColumnaImpresa &c : columnas)
            c.ancho *= anchoPagina / anchoTotal;
    } else if (anchoTotal > anchoPagina) {
        // Too wide: narrow columns keep their width, the wide ones share
        // what is left equally (their texts are cut short).
        std::vector<ColumnaImpresa *> orden;
        for (ColumnaImpresa &c : columnas)
            orden.push_back(&c);
        std::sort(orden.begin(), orden.end(),
                  [](const ColumnaImpresa *a, const ColumnaImpresa *b) { return a->ancho < b->ancho; });
        double resto = anchoPagina;
        for (size_t i = 0; i < orden.size(); ++i) {
            const double parte = resto / double(orden.size() - i);
            if (orden[i]->ancho > parte) {
                for (size_t j = i; j < orden.size(); ++j)
                    orden[j]->ancho = parte;
                break;
            }
            resto -= orden[i]->ancho;
        }
    }

    p.setFont(fuente);
    const double altoFila = p.fontMetrics().height() * 1.5;
    p.setFont(titulo);
    const double altoTitulo = p.fontMetrics().height() * 1.8;
    const double altoPie = altoFila * 1.5;

    const QColor colorCabecera(0xD9, 0xD9, 0xD9);
    const QColor colorAlterna(0xF3, 0xF3, 0xF3);
    const QColor colorLinea(0xA0, 0xA0, 0xA0);
    const int filas = MaxRows();
    int fila = 0;
    int pagina = 1;
    for (;;) {
        double y = 0;
        p.setFont(titulo);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 0, anchoPagina, altoTitulo), Qt::AlignLeft | Qt::AlignVCenter, nombreTrabajo);
        y += altoTitulo;

        // Column titles, repeated on every page.
        p.setFont(negrita);
        double x = 0;
        for (const ColumnaImpresa &c : columnas) {
            const QRectF r(x, y, c.ancho, altoFila);
            p.fillRect(r, colorCabecera);
            p.setPen(colorLinea);
            p.drawRect(r);
            p.setPen(Qt::black);
            dibujarTexto(p, r, modelo.titulo(c.col), Qt::AlignHCenter);
            x += c.ancho;
        }
        y += altoFila;

        p.setFont(fuente);
        const int primeraDeLaPagina = fila;
        while (fila < filas && y + altoFila <= altoPagina - altoPie) {
            x = 0;
            for (const ColumnaImpresa &c : columnas) {
                const QRectF r(x, y, c.ancho, altoFila);
                const QColor fondo = modelo.fondo(fila, c.col);
                if (fondo.isValid())
                    p.fillRect(r, fondo);
                else if (fila % 2 == 1)
                    p.fillRect(r, colorAlterna);
                p.setPen(colorLinea);
                p.drawRect(r);
                const QColor tinta = modelo.tinta(fila, c.col);
                p.setPen(tinta.isValid() ? tinta : QColor(Qt::black));
                dibujarTexto(p, r, modelo.texto(fila, c.col), int(modelo.alineacion(c.col).value_or(Qt::AlignLeft)));
                x += c.ancho;
            }
            y += altoFila;
            ++fila;
        }

        p.setPen(Qt::black);
        p.drawText(QRectF(0, altoPagina - altoPie, anchoPagina, altoPie), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Página %1").arg(pagina));
        // A page too small for a single row would never end.
        if (fila >= filas || fila == primeraDeLaPagina)
            break;
        if (!printer->newPage())
            break;
        ++pagina;
    }
    return p.end();
}
