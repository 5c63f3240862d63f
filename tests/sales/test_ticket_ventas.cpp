#include "AyudaVentas.h"

#include "Frm_T_BuscaVentas.h"
#include "Frm_ViewerReport.h"
#include "VisorReporte.h"
#include "core/AyudaReportes.h"
#include "dbConfiguraciones.h"
#include "reportes/Reporte.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextDocument>

using namespace ayuda;

namespace {

// The ticket of a sale saved from the sale window, and its reprint from the
// listing, with the templates of the program folder.
class TicketVentasTest : public VentasBase {
protected:
    void SetUp() override
    {
        VentasBase::SetUp();
        instalarPlantillas();
        area.resize(1000, 700);
        area.show();
        Ventanas::fijarArea(&area);
        abrirCaja();
    }
    void TearDown() override
    {
        VentasBase::TearDown();
        Ventanas::fijarArea(nullptr);
    }
    Reporte *mostrado()
    {
        auto *v = Ventanas::existente<Frm_ViewerReport>();
        return v ? v->crViewer()->reporte() : nullptr;
    }
    double anchoMm() { return mostrado()->disenoPagina().fullRect(QPageLayout::Millimeter).width(); }
    // Sells 3 x G1 (2.00 each) with the print option named opcion, the
    // payment typed when one is given.
    void vender(Frm_T_AltaVentas *v, const char *opcion, const QString &pago = {})
    {
        auto *d = dialogoLineas(v);
        linea(d, "G1", "3");
        d->descargar();
        procesarEventos();
        if (!pago.isEmpty()) {
            auto *caja = v->findChild<QLineEdit *>("fpPago");
            caja->selectAll();
            QTest::keyClicks(caja, pago);
        }
        v->findChild<QRadioButton *>(opcion)->setChecked(true);
        QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
        procesarEventos();
    }

    QMdiArea area;
};

TEST_F(TicketVentasTest, TicketPorOpcionYFormatoTrasGuardar)
{
    dbConfiguraciones().save("CLUB_NOMBRE", "", "Club Los Álamos");
    auto *v = abrirVenta();

    // "NO": the sale is saved and no ticket is shown.
    vender(v, "Option1");
    EXPECT_EQ(msg->ultimo().prompt, "Se ha almacenado la venta correctamente.");
    EXPECT_EQ(Ventanas::existente<Frm_ViewerReport>(), nullptr);

    // "SI" with IMP_FORMATO_80mm never saved: the full page ticket of the new
    // sale, with the club's name and no telephone.
    vender(v, "chkPrint");
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_TRUE(mostrado()->archivo().endsWith("rpt_venta.rpt"));
    EXPECT_GT(anchoMm(), 200);
    const QString texto = mostrado()->documento().toPlainText();
    EXPECT_TRUE(texto.contains("Club Los Álamos")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Venta Nº 2")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("6.00"));
    EXPECT_FALSE(texto.contains("Tel.:"));
    EXPECT_TRUE(v->findChild<QRadioButton *>("Option1")->isChecked()); // cleared for the next sale

    // "Previsualizar" with the 80 mm setting: the receipt in the same window.
    dbConfiguraciones().save("IMP_FORMATO_80mm", "", "1");
    dbConfiguraciones().save("CLUB_TEL", "", "4555-1234");
    vender(v, "optPrev");
    EXPECT_TRUE(mostrado()->archivo().endsWith("rpt_venta_80mm.rpt"));
    EXPECT_NEAR(anchoMm(), 80, 0.5);
    EXPECT_TRUE(mostrado()->documento().toPlainText().contains("Venta Nº 3"));
    EXPECT_TRUE(mostrado()->documento().toPlainText().contains("4555-1234"));

    // The ticket written as PDF and read back.
    const QString pdf = carpeta() + "/ticket.pdf";
    mostrado()->exportarPdf(pdf);
    const QString leido = textoPdf(pdf);
    EXPECT_TRUE(leido.contains("Club Los Álamos")) << leido.toStdString();
    EXPECT_TRUE(leido.contains("Venta Nº 3"));
    EXPECT_TRUE(leido.contains("6.00"));

    // A missing template: the sale is saved, the user told, no ticket.
    QFile::remove(carpeta() + "/rptcr/rpt_venta_80mm.rpt");
    msg->limpiar();
    vender(v, "chkPrint");
    EXPECT_EQ(msg->textos(), (QStringList{"Se ha almacenado la venta correctamente.",
                                          "El archivo de reporte no se encuentra, restáurelo de los discos de "
                                          "instalación"}));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 4);
    EXPECT_EQ(mostrado()->seleccion(), "{ventas.id}=3"); // the ticket shown before stays
}

TEST_F(TicketVentasTest, ReimpresionDesdeElListado)
{
    auto *v = abrirVenta();
    vender(v, "Option1");
    // Right after the sale the ticket shows what was handed over and the
    // change, as the window showed them; the sale stores its total as paid.
    vender(v, "optPrev", "10");
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_EQ(mostrado()->valorParametro("{?pago}"), "10.00");
    EXPECT_EQ(mostrado()->valorParametro("{?vuelto}"), "4.00");
    QString t = mostrado()->documento().toPlainText();
    EXPECT_TRUE(t.contains(QRegularExpression("Pago\\s+10\\.00\\s+Vuelto\\s+4\\.00"))) << t.toStdString();
    EXPECT_EQ(contar("SELECT count(*) FROM ventas WHERE id = 2 AND importe_total = 6 AND importe_pagado = 6"), 1);
    Ventanas::existente<Frm_ViewerReport>()->descargar();
    procesarEventos();
    EXPECT_TRUE(Aperturas::abrir("mnu_VentasBuscar"));
    procesarEventos();
    auto *l = Ventanas::existente<Frm_T_BuscaVentas>();
    ASSERT_NE(l, nullptr);
    // Without a click the first sale is the chosen one.
    msg->limpiar();
    msg->responder(vb::No);
    QTest::mouseClick(l->findChild<QPushButton *>("cmdImprimir"), Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"Se imprimirá la factura. ¿Desea continuar?"});
    EXPECT_EQ(msg->ultimo().icono(), vb::Question);
    EXPECT_EQ(mostrado(), nullptr);
    QTest::mouseClick(l->findChild<QPushButton *>("cmdImprimir"), Qt::LeftButton);
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_TRUE(mostrado()->documento().toPlainText().contains("Venta Nº 1"));
    l->grilla()->setActiveCell(1, 2);
    QTest::mouseClick(l->findChild<QPushButton *>("cmdImprimir"), Qt::LeftButton);
    // A reprint knows no tendered amount: the total, and no payment or change.
    t = mostrado()->documento().toPlainText();
    EXPECT_TRUE(t.contains("Venta Nº 2"));
    EXPECT_TRUE(t.contains(QRegularExpression("TOTAL\\s+6\\.00"))) << t.toStdString();
    EXPECT_FALSE(t.contains("Pago"));
    EXPECT_FALSE(t.contains("Vuelto"));
    EXPECT_FALSE(mostrado()->valorParametro("{?pago}").has_value());
}

// A message box answered just before the preview leaves the main window
// inactive for a moment (the box had the activation); when the window system
// gives it back, the preview must still be the window in front, both after a
// sale saved with "Previsualizar" and after "Imprimir" in the listing.
TEST_F(TicketVentasTest, VistaPreviaAlFrenteTrasResponderUnMensaje)
{
    std::unique_ptr<QDialog> caja;
    msg->alMostrar([&](const MensajeMostrado &) {
        // The box takes the activation and the focus, and is answered.
        caja = std::make_unique<QDialog>(&area);
        auto *b = new QPushButton("Aceptar", caja.get());
        caja->show();
        procesarEventos();
        QApplication::setActiveWindow(caja.get());
        b->setFocus();
        caja->hide();
        procesarEventos();
        QApplication::setActiveWindow(nullptr);
    });
    const auto alFrente = [&](QWidget *quien) {
        // The window system activates the main window again.
        QApplication::setActiveWindow(&area);
        procesarEventos();
        auto *visor = Ventanas::existente<Frm_ViewerReport>();
        ASSERT_NE(visor, nullptr) << quien->objectName().toStdString();
        ASSERT_NE(area.activeSubWindow(), nullptr);
        EXPECT_EQ(area.activeSubWindow()->widget(), visor) << quien->objectName().toStdString();
        EXPECT_EQ(area.subWindowList(QMdiArea::StackingOrder).last()->widget(), visor);
        EXPECT_TRUE(visor->isAncestorOf(QApplication::focusWidget())) << quien->objectName().toStdString();
    };

    auto *v = abrirVenta();
    QApplication::setActiveWindow(&area);
    vender(v, "optPrev");
    EXPECT_EQ(msg->textos(), QStringList{"Se ha almacenado la venta correctamente."});
    alFrente(v);

    EXPECT_TRUE(Aperturas::abrir("mnu_VentasBuscar"));
    procesarEventos();
    auto *l = Ventanas::existente<Frm_T_BuscaVentas>();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(area.activeSubWindow()->widget(), l);
    msg->limpiar();
    msg->responder(vb::Yes);
    QTest::mouseClick(l->findChild<QPushButton *>("cmdImprimir"), Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"Se imprimirá la factura. ¿Desea continuar?"});
    alFrente(l);
}

} // namespace
