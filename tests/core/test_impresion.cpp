// Printing through a print service of the test's own: what reaches the
// printer's queue, and what the user is told when nothing does.
#include "AyudaReportes.h"
#include "support/ServicioImpresionPrueba.h"

#include "Frm_ViewerReport.h"
#include "InterfazReportes.h"
#include "VisorReporte.h"
#include "dbConfiguraciones.h"
#include "platform/Grid.h"
#include "platform/GridAyudas.h"
#include "reportes/Reporte.h"

#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

using namespace ayuda;

namespace {

// The first page of a PDF file as pdfinfo (poppler-utils) tells it: size in
// millimetres and its rotation in degrees.
struct PaginaPdf {
    QSizeF mm;
    int giro = -1;
};

PaginaPdf paginaPdf(const QString &archivo)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {archivo});
    p.waitForFinished(30000);
    const QString t = QString::fromUtf8(p.readAllStandardOutput());
    PaginaPdf r;
    const QRegularExpressionMatch tam =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(t);
    if (tam.hasMatch())
        r.mm = QSizeF(tam.captured(1).toDouble(), tam.captured(2).toDouble()) * 25.4 / 72;
    const QRegularExpressionMatch giro = QRegularExpression(QStringLiteral("Page rot:\\s+(\\d+)")).match(t);
    if (giro.hasMatch())
        r.giro = giro.captured(1).toInt();
    return r;
}

// "Custom.80x61.3mm" -> 80 x 61.3; an empty size for any other paper.
QSizeF medioMm(const QString &medio)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Custom\\.([\\d.]+)x([\\d.]+)mm$")).match(medio);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

class ImpresionTest : public EntornoConVistaPrevia {
protected:
    void SetUp() override
    {
        EntornoConVistaPrevia::SetUp();
        dbConfiguraciones().save(QStringLiteral("IMP_FORMATO_80mm"), QStringLiteral("IMP_FORMATO_80mm"),
                                 QStringLiteral("1"));
    }
    Reporte *mostrado() { return Ventanas::existente<Frm_ViewerReport>()->crViewer()->reporte(); }
    QToolButton *botonImprimir()
    {
        return Ventanas::existente<Frm_ViewerReport>()->findChild<QToolButton *>(QStringLiteral("cmdImprimir"));
    }
    // The user's mouse on "Imprimir", through the window system as a real
    // click arrives (a double click is told apart there).
    void clicImprimir(bool doble)
    {
        QToolButton *b = botonImprimir();
        const QPoint en = b->mapTo(&area, b->rect().center());
        if (doble)
            QTest::mouseDClick(area.windowHandle(), Qt::LeftButton, {}, en);
        else
            QTest::mouseClick(area.windowHandle(), Qt::LeftButton, {}, en);
        procesarEventos();
    }
    QString servicio() const { return carpeta() + QStringLiteral("/cups"); }
};

} // namespace

TEST_F(ImpresionTest, TicketDe80mmSaleDerechoSeaCortoOLargoYUnClicEsUnTrabajo)
{
    ServicioImpresionPrueba cups(servicio());
    cups.agregarCola(QStringLiteral("mostrador"), true);
    ASSERT_TRUE(Grid::hayImpresora());

    std::vector<LineaVenta> muchas;
    for (int i = 0; i < 25; ++i)
        muchas.push_back({QString("P%1").arg(i), 1, 10});
    const qint64 corta = insertarVenta(db(), "2026-12-07 09:15:00", {{"AGUA", 1, 800}});
    const qint64 larga = insertarVenta(db(), "2026-12-07 09:30:00", muchas);

    // A reprint of one line (no payment lines) is shorter than the roll is
    // wide; the long one is longer. Each goes out upright, 80 mm wide and
    // as long as its content; a double click sends one job.
    double largos[2] = {0, 0};
    int n = 0;
    for (const qint64 venta : {corta, larga}) {
        ASSERT_TRUE(ImprimirTicketVenta(QString::number(venta)));
        const QPageLayout diseno = mostrado()->disenoPagina();
        EXPECT_EQ(diseno.orientation(), QPageLayout::Portrait);
        const QRectF pagina = diseno.fullRect(QPageLayout::Millimeter);
        EXPECT_NEAR(pagina.width(), 80, 0.01);
        largos[n] = pagina.height();

        clicImprimir(true);
        EXPECT_TRUE(msg->vacio()) << msg->ultimo().prompt.toStdString();
        const auto trabajos = cups.trabajos(QStringLiteral("mostrador"));
        ASSERT_EQ(trabajos.size(), size_t(n + 1));
        const auto &t = trabajos.back();
        EXPECT_EQ(t.nombre, "Ticket de venta");
        const QSizeF medio = medioMm(t.medio);
        EXPECT_NEAR(medio.width(), 80, 0.01) << t.medio.toStdString();
        EXPECT_NEAR(medio.height(), largos[n], 0.01) << t.medio.toStdString();
        const PaginaPdf pdf = paginaPdf(t.documento);
        // The file's page is measured in whole points.
        EXPECT_NEAR(pdf.mm.width(), 80, 0.4);
        EXPECT_NEAR(pdf.mm.height(), largos[n], 0.4);
        EXPECT_EQ(pdf.giro, 0);
        ++n;
    }
    EXPECT_LT(largos[0], 80);
    EXPECT_GT(largos[1], 80);

    // Two clicks apart are two orders: two jobs.
    clicImprimir(false);
    clicImprimir(false);
    EXPECT_EQ(cups.trabajos(QStringLiteral("mostrador")).size(), 4u);
    EXPECT_TRUE(msg->vacio());
}

TEST_F(ImpresionTest, TrabajoRechazadoSinImpresoraOServicioDetenidoSeDicen)
{
    const qint64 venta = insertarVenta(db(), "2026-12-07 09:15:00", {{"AGUA", 1, 800}});
    ASSERT_TRUE(ImprimirTicketVenta(QString::number(venta)));
    Grid grilla;
    grilla.setMaxCols(1);
    grilla.setMaxRows(1);
    grilla.setText(1, 1, QStringLiteral("Gómez"));

    ServicioImpresionPrueba cups(servicio());
    // The service answers but has no printer.
    clicImprimir(false);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt,
              "No se puede imprimir el reporte: este equipo no tiene ninguna impresora instalada o disponible.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);

    // A queue that refuses jobs: the user learns the ticket was not printed
    // and what the print service said.
    cups.agregarCola(QStringLiteral("mostrador"), true);
    cups.rechazar(QStringLiteral("mostrador"));
    msg->limpiar();
    clicImprimir(false);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    const QString aviso = msg->ultimo().prompt;
    EXPECT_TRUE(aviso.startsWith("El reporte «Ticket de venta» no se imprimió en la impresora mostrador: "))
        << aviso.toStdString();
    EXPECT_GT(aviso.size(), QString("El reporte «Ticket de venta» no se imprimió en la impresora mostrador: ").size());
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_FALSE(Usr_ImprimirGrilla(&grilla, QStringLiteral("Clientes")));
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("El listado «Clientes» no se imprimió en la impresora mostrador: "))
        << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(cups.trabajos(QStringLiteral("mostrador")).empty());

    // Taken again, the listing is printed as one job of its name.
    cups.aceptar(QStringLiteral("mostrador"));
    msg->limpiar();
    EXPECT_TRUE(Usr_ImprimirGrilla(&grilla, QStringLiteral("Clientes")));
    EXPECT_TRUE(msg->vacio());
    const auto trabajos = cups.trabajos(QStringLiteral("mostrador"));
    ASSERT_EQ(trabajos.size(), 1u);
    EXPECT_EQ(trabajos[0].nombre, "Clientes");
    EXPECT_TRUE(textoPdf(trabajos[0].documento).contains("Gómez"));

    // The service stopped with its queue defined: it does not answer.
    cups.detener();
    EXPECT_FALSE(Grid::hayImpresora());
    clicImprimir(false);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt,
              "No se puede imprimir el reporte: el servicio de impresión de este equipo no responde.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_FALSE(Usr_ImprimirGrilla(&grilla, QStringLiteral("Clientes")));
    EXPECT_EQ(msg->ultimo().prompt,
              "No se puede imprimir el listado: el servicio de impresión de este equipo no responde.");
}
