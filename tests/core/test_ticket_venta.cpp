#include "AyudaReportes.h"

#include "Frm_ViewerReport.h"
#include "InterfazReportes.h"
#include "VisorPaginas.h"
#include "VisorReporte.h"
#include "dbConfiguraciones.h"
#include "platform/Escritorio.h"
#include "platform/Grid.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextDocument>
#include <QToolButton>

using namespace ayuda;

namespace {

class TicketVentaTest : public EntornoConVistaPrevia {
protected:
    void config(const QString &clave, const QString &valor) { dbConfiguraciones().save(clave, clave, valor); }
    Frm_ViewerReport *visor() { return Ventanas::existente<Frm_ViewerReport>(); }
    Reporte *mostrado() { return visor() ? visor()->crViewer()->reporte() : nullptr; }
    QString textoMostrado() { return mostrado() ? mostrado()->documento().toPlainText() : QString(); }
    double anchoMm() { return mostrado()->disenoPagina().fullRect(QPageLayout::Millimeter).width(); }
    double altoMm() { return mostrado()->disenoPagina().fullRect(QPageLayout::Millimeter).height(); }
    QToolButton *boton(const char *nombre) { return visor()->findChild<QToolButton *>(nombre); }
    QString etiquetaPagina() { return visor()->findChild<QLabel *>("labPagina")->text(); }
};

} // namespace

TEST_F(TicketVentaTest, FormatoPorLaConfiguracionYUnaSolaVentanaDeVistaPrevia)
{
    const qint64 v1 = insertarVenta(db(), "2026-12-07 09:15:00", {{"GAT", 2, 1500}, {"AGUA", 1, 800}}, 5000);
    const qint64 v2 = insertarVenta(db(), "2026-12-07 09:20:00", {{"AGUA", 3, 800}});

    // Never saved: the full page, instead of no ticket at all.
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v1)));
    EXPECT_TRUE(msg->vacio());
    ASSERT_NE(visor(), nullptr);
    EXPECT_EQ(visor()->windowTitle(), "Reporte de impresión");
    EXPECT_TRUE(mostrado()->archivo().endsWith("rptcr/rpt_venta.rpt"));
    EXPECT_NEAR(anchoMm(), 210, 0.5);
    EXPECT_NEAR(altoMm(), 297, 0.5);
    QString t = textoMostrado();
    EXPECT_TRUE(t.contains(QString("Venta Nº %1").arg(v1)));
    EXPECT_TRUE(t.contains("Fecha: 07/12/2026 09:15:00"));
    EXPECT_TRUE(t.contains("CONSUMIDOR FINAL"));
    EXPECT_TRUE(t.contains("Producto GAT"));
    EXPECT_TRUE(t.contains("1,500.00"));
    EXPECT_TRUE(t.contains("3,000.00")); // the line's amount
    EXPECT_TRUE(t.contains("3,800.00")); // total
    // The stored payment is the total: without the amount handed over there
    // is no payment or change to tell.
    EXPECT_FALSE(t.contains("5,000.00"));
    EXPECT_FALSE(t.contains("Vuelto"));
    // Modeless, in the main area, filling it.
    QMdiSubWindow *marco = Ventanas::marco(visor());
    ASSERT_NE(marco, nullptr);
    EXPECT_EQ(marco->geometry(), QRect(QPoint(0, 0), area.viewport()->size()));
    EXPECT_FALSE(visor()->isModal());

    config("IMP_FORMATO_80mm", "1");
    Frm_ViewerReport *primero = visor();
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v2)));
    EXPECT_EQ(visor(), primero); // the same window shows the second ticket
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_TRUE(mostrado()->archivo().endsWith("rptcr/rpt_venta_80mm.rpt"));
    EXPECT_NEAR(anchoMm(), 80, 0.5);
    t = textoMostrado();
    EXPECT_TRUE(t.contains(QString("Venta Nº %1").arg(v2)));
    EXPECT_FALSE(t.contains("Producto GAT"));
    EXPECT_EQ(visor()->crViewer()->paginas(), 1);

    // The receipt is as long as its content.
    const double corto = altoMm();
    std::vector<LineaVenta> lineas;
    for (int i = 0; i < 25; ++i)
        lineas.push_back({QString("P%1").arg(i), 1, 10});
    const qint64 v3 = insertarVenta(db(), "2026-12-07 09:30:00", lineas);
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v3)));
    EXPECT_GT(altoMm(), corto + 50);
    EXPECT_LT(corto, 150);
    EXPECT_EQ(visor()->crViewer()->paginas(), 1);

    config("IMP_FORMATO_80mm", "0");
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v3)));
    EXPECT_TRUE(mostrado()->archivo().endsWith("rptcr/rpt_venta.rpt"));
}

TEST_F(TicketVentaTest, ParametrosDelClubLlenosOVacios)
{
    const qint64 v = insertarVenta(db(), "2026-12-07 10:00:00", {{"A", 1, 10}});
    config("CLUB_TEL", "011 4555-0000");
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v)));
    EXPECT_FALSE(mostrado()->valorParametro("{?club_nombre}").has_value());
    EXPECT_EQ(mostrado()->valorParametro("{?club_telefono}"), "011 4555-0000");
    EXPECT_TRUE(textoMostrado().contains("Tel.: 011 4555-0000"));

    config("CLUB_NOMBRE", "Club Atlético <Los Pinos> & O'Hara");
    config("CLUB_TEL", "");
    config("IMP_FORMATO_80mm", "1");
    EXPECT_TRUE(ImprimirTicketVenta(QString::number(v)));
    EXPECT_EQ(mostrado()->valorParametro("{?club_nombre}"), "Club Atlético <Los Pinos> & O'Hara");
    EXPECT_FALSE(mostrado()->valorParametro("{?club_telefono}").has_value());
    const QString t = textoMostrado();
    EXPECT_TRUE(t.startsWith("Club Atlético <Los Pinos> & O'Hara")) << t.toStdString();
    EXPECT_FALSE(t.contains("Tel.:"));
}

TEST_F(TicketVentaTest, PlantillaQueFaltaOSeleccionDudosaNoMuestranNada)
{
    const qint64 v1 = insertarVenta(db(), "2026-12-07 10:00:00", {{"A", 1, 10}});
    const qint64 v2 = insertarVenta(db(), "2026-12-07 10:05:00", {{"SECRETO", 1, 99}});

    QFile::remove(rutaPlantilla("rpt_venta.rpt"));
    EXPECT_FALSE(ImprimirTicketVenta(QString::number(v1)));
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(visor(), nullptr);

    // An id that carries a second condition is refused, not widened.
    config("IMP_FORMATO_80mm", "1");
    msg->limpiar();
    EXPECT_FALSE(ImprimirTicketVenta(QString("%1 OR {ventas.id}=%2").arg(v1).arg(v2)));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_TRUE(msg->ultimo().prompt.contains("se esperaba AND")) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(visor(), nullptr);

    // A quote in the value stays inside the value: no sale matches it.
    msg->limpiar();
    EXPECT_TRUE(ImprimirTicketVenta(QString("'%1'' OR ''1''=''1'").arg(v1)));
    EXPECT_TRUE(msg->vacio());
    EXPECT_TRUE(textoMostrado().contains("No se encontró la venta."));
    EXPECT_FALSE(textoMostrado().contains("SECRETO"));
}

TEST_F(TicketVentaTest, PdfDelTicketLeidoDeVuelta)
{
    config("CLUB_NOMBRE", "Club Los Pinos");
    config("CLUB_TEL", "011 4555-0000");
    const qint64 v = insertarVenta(db(), "2026-12-07 10:00:00", {{"GAT", 1.5, 1234.5}});
    for (const char *formato : {"0", "1"}) {
        config("IMP_FORMATO_80mm", formato);
        ASSERT_TRUE(ImprimirTicketVenta(QString::number(v)));

        // Save as PDF from the preview: the path chosen by the user.
        EscritorioDePrueba escritorio;
        const QString pdf = carpeta() + QString("/ticket_%1").arg(formato); // no extension typed
        escritorio.responderArchivo(pdf);
        boton("cmdExportar")->click();
        EXPECT_TRUE(escritorio.pedidosArchivo().value(0).endsWith("Ticket de venta.pdf"));
        const QString t = textoPdf(pdf + ".pdf");
        EXPECT_TRUE(t.contains("Club Los Pinos")) << formato << t.toStdString();
        EXPECT_TRUE(t.contains(QString("Venta Nº %1").arg(v)));
        EXPECT_TRUE(t.contains("1,851.75")); // 1.5 x 1,234.50
        EXPECT_TRUE(msg->vacio());
    }

    // Cancelling the dialog writes nothing.
    EscritorioDePrueba escritorio;
    boton("cmdExportar")->click();
    EXPECT_EQ(escritorio.pedidosArchivo().size(), 1);
    EXPECT_EQ(QDir(carpeta()).entryList({"*.pdf"}).size(), 2);
}

TEST_F(TicketVentaTest, VistaPreviaNavegaPaginasZoomEImpresionSinImpresora)
{
    std::vector<LineaVenta> lineas;
    for (int i = 0; i < 90; ++i)
        lineas.push_back({QString("P%1").arg(i, 3, 10, QChar('0')), 1, 10});
    const qint64 v = insertarVenta(db(), "2026-12-07 10:00:00", lineas);
    ASSERT_TRUE(ImprimirTicketVenta(QString::number(v)));
    VisorReporte *crViewer = visor()->crViewer();
    const int n = crViewer->paginas();
    ASSERT_GE(n, 3);
    EXPECT_EQ(n, mostrado()->paginas());
    EXPECT_EQ(crViewer->paginaActual(), 1);
    EXPECT_EQ(etiquetaPagina(), QString("Página 1 de %1").arg(n));
    EXPECT_FALSE(boton("cmdAnterior")->isEnabled());

    boton("cmdSiguiente")->click();
    EXPECT_EQ(crViewer->paginaActual(), 2);
    boton("cmdUltima")->click();
    EXPECT_EQ(crViewer->paginaActual(), n);
    EXPECT_FALSE(boton("cmdSiguiente")->isEnabled());
    EXPECT_EQ(etiquetaPagina(), QString("Página %1 de %1").arg(n));
    boton("cmdAnterior")->click();
    EXPECT_EQ(crViewer->paginaActual(), n - 1);
    boton("cmdPrimera")->click();
    EXPECT_EQ(crViewer->paginaActual(), 1);

    QComboBox *zoom = visor()->findChild<QComboBox *>("cboZoom");
    zoom->setCurrentText("200%");
    emit zoom->activated(zoom->currentIndex());
    EXPECT_DOUBLE_EQ(crViewer->vista()->zoom(), 2.0);
    zoom->setCurrentIndex(1);
    emit zoom->activated(1);
    EXPECT_EQ(crViewer->vista()->ajuste(), VisorPaginas::Ajuste::PaginaEntera);

    // A shorter ticket replaces the long one and starts again at page 1.
    const qint64 corto = insertarVenta(db(), "2026-12-07 11:00:00", {{"A", 1, 10}});
    ASSERT_TRUE(ImprimirTicketVenta(QString::number(corto)));
    EXPECT_EQ(crViewer->paginas(), 1);
    EXPECT_EQ(crViewer->paginaActual(), 1);

    // No print service answers the tests (tests/main.cpp): the user is told.
    if (Grid::hayImpresora())
        GTEST_SKIP() << "this machine has a printer";
    boton("cmdImprimir")->click();
    EXPECT_EQ(msg->ultimo().prompt,
              "No se puede imprimir el reporte: el servicio de impresión de este equipo no responde.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
}

// Showing any report, on screen or as a PDF file, leaves the screen's fonts
// alone: a menu and a drop-down list drawn afterwards still show their text.
// Menus are drawn at the program's font and at the pixel sizes the reports
// use, since a report's font that shares a size with a screen font is what
// could spoil it.
TEST_F(TicketVentaTest, MenusYListasConservanSuTextoTrasCadaReporte)
{
    insertarVenta(db(), "2026-12-07 10:00:00", {{"GAT", 2, 1500}, {"AGUA", 1, 800}}, 5000);
    std::vector<std::unique_ptr<QMenu>> menus;
    for (int px : {0, 10, 11, 12, 13, 14, 15, 16, 19, 21}) {
        auto m = std::make_unique<QMenu>();
        if (px) {
            QFont f = m->font();
            f.setPixelSize(px);
            m->setFont(f);
        }
        m->addAction("Reservas y agenda de canchas");
        m->addAction("Ventas: alta, búsqueda y anulación");
        m->adjustSize();
        menus.push_back(std::move(m));
    }
    QComboBox combo;
    combo.addItems({"Consumidor final", "Club Atlético Ñandú", "Gómez, José"});
    combo.show();
    const auto oscuros = [](QWidget *w) {
        const QImage im = w->grab().toImage();
        int n = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                n += qGray(im.pixel(x, y)) < 110;
        return n;
    };
    const auto medir = [&] {
        std::vector<int> l;
        for (const auto &m : menus)
            l.push_back(oscuros(m.get()));
        combo.showPopup();
        l.push_back(oscuros(combo.view()));
        combo.hidePopup();
        return l;
    };
    const std::vector<int> antes = medir();
    for (int n : antes)
        ASSERT_GT(n, 100);

    const QStringList plantillas = QDir(carpeta() + "/rptcr").entryList({"*.rpt"}, QDir::Files, QDir::Name);
    ASSERT_GE(plantillas.size(), 5);
    for (const QString &plantilla : plantillas) {
        std::unique_ptr<Reporte> r = abrirPlantilla(plantilla);
        for (const QString &p : r->parametros())
            r->fijarParametro(p, "Club Ñandú");
        Frm_ViewerReport::mostrar(std::move(r));
        procesarEventos();
        ASSERT_NE(mostrado(), nullptr);
        mostrado()->exportarPdf(carpeta() + "/reporte.pdf");
        const std::vector<int> despues = medir();
        for (size_t i = 0; i < antes.size(); ++i)
            EXPECT_GT(despues[i], antes[i] * 9 / 10) << plantilla.toStdString() << " widget " << i;
    }
}
