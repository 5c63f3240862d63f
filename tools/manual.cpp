// manual SALIDA.pdf FRAGMENTO.html...: joins the manual's chapters, in the
// order given, into one PDF with numbered pages.
#include "platform/Mensajes.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

namespace {
const char *kEstilo = "body { font-family: 'DejaVu Sans'; font-size: 10.5pt; color: #222; }"
                      "h1 { font-size: 20pt; color: #1f5b52; margin-bottom: 10px; }"
                      "h2 { font-size: 13.5pt; color: #244a5e; margin-top: 16px; }"
                      "p, li { line-height: 130%; }"
                      "table { border-collapse: collapse; }"
                      "th { background-color: #dfe9e6; }"
                      "td, th { padding: 4px; }";
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 3) {
        err << "uso: manual SALIDA.pdf FRAGMENTO.html...\n";
        return 2;
    }
    QString html;
    for (int i = 2; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) {
            err << "no se pudo leer " << f.fileName() << "\n";
            return 1;
        }
        // Every chapter after the cover starts on a new page.
        html += i == 2 ? QStringLiteral("<div>") : QStringLiteral("<div style=\"page-break-before: always\">");
        html += QString::fromUtf8(f.readAll()) + QStringLiteral("</div>");
    }

    QTextDocument doc;
    doc.setDefaultStyleSheet(QString::fromLatin1(kEstilo));
    doc.setHtml(QStringLiteral("<html><body>") + html + QStringLiteral("</body></html>"));
    doc.setMetaInformation(QTextDocument::DocumentTitle, tituloAplicacion() + QStringLiteral(" - Manual de usuario"));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setTitle(tituloAplicacion() + QStringLiteral(" - Manual de usuario"));
    pdf.setCreator(tituloAplicacion());
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18)));
    // Without a page size of its own the document paginates to the writer and
    // numbers the pages.
    doc.print(&pdf);
    return 0;
}
