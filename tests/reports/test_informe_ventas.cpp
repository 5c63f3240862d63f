#include "core/AyudaReportes.h"

#include "Frm_L_InformeVentas.h"
#include "Frm_ViewerReport.h"
#include "InformeVentas.h"
#include "RegistroInformes.h"
#include "VisorPaginas.h"
#include "VisorReporte.h"
#include "dbConfiguraciones.h"
#include "platform/Aperturas.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Reloj.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolButton>

using namespace ayuda;

namespace {

class InformeVentasTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        instalarPlantillas();
        gUsuarioActual = "ana";
    }
    Frm_L_InformeVentas *abrir()
    {
        registrarVentanasInformes();
        EXPECT_TRUE(Aperturas::abrir("mnu_InformeIngresos"));
        w = Ventanas::existente<Frm_L_InformeVentas>();
        return w;
    }
    void fechas(const QDate &desde, const QDate &hasta)
    {
        w->findChild<QDateEdit *>("dtpDesde")->setDate(desde);
        w->findChild<QDateEdit *>("dtpHasta")->setDate(hasta);
    }
    void imprimir() { w->findChild<QPushButton *>("Command_3")->click(); }
    Reporte *mostrado()
    {
        auto *v = Ventanas::existente<Frm_ViewerReport>();
        return v ? v->crViewer()->reporte() : nullptr;
    }
    QString textoMostrado() { return mostrado() ? mostrado()->documento().toPlainText() : QString(); }
    // One row of the work table: cantidad, costo, ventas, rentabilidad, porcentaje.
    QStringList fila(const QString &usuario, const QString &producto)
    {
        Recordset rs = db().openRecordset(
            "SELECT cantidad_vendida, importe_costo, importe_ventas, importe_rentabilidad, porcentaje_ponderacion "
            "FROM tmp_informe_ventas WHERE t_usuarios_codigo = ? AND producto_id = ?",
            {usuario, producto});
        QStringList l;
        for (int i = 0; !rs.eof() && i < rs.fieldCount(); ++i)
            l << QString::number(rs.campo(i).numero(), 'f', 2);
        return l;
    }
    int filas(const QString &usuario)
    {
        return contar("SELECT count(*) FROM tmp_informe_ventas WHERE t_usuarios_codigo = ?", {usuario});
    }
    // A sale line with its own purchase price.
    void linea(qint64 venta, const QString &producto, double cantidad, double precio, double costo)
    {
        db().execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario, precio_compra) "
                     "VALUES (?, ?, ?, ?, ?)",
                     {venta, producto, cantidad, precio, costo});
    }
    qint64 venta(const QString &fecha)
    {
        db().execute("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, t_usuarios_codigo) "
                     "VALUES (?, 1, 0, 0, 'admin')",
                     {fecha});
        return db().lastInsertId();
    }
    void producto(const QString &id, const QString &descripcion)
    {
        db().execute("INSERT INTO productos (id, descripcion) VALUES (?, ?)", {id, descripcion});
    }

    Frm_L_InformeVentas *w = nullptr;
};

} // namespace

TEST_F(InformeVentasTest, CifrasDelEjemploParticipacionesYLimitesDelPeriodo)
{
    producto("A", "Agua");
    producto("B", "Bebida isotónica");
    producto("C", "Sin ventas");
    // A: 2 units at 100 (cost 60) and 1 unit at 110 (cost 60).
    linea(venta("2026-12-01 09:00:00"), "A", 2, 100, 60);
    const qint64 ultimoDia = venta("2026-12-31 23:59:59");
    linea(ultimoDia, "A", 1, 110, 60);
    // B: margin 70, on the first day at 00:00:00.
    linea(venta("2026-12-01 00:00:00"), "B", 1, 100, 30);
    // Outside the range on both sides.
    linea(venta("2026-11-30 23:59:59"), "A", 5, 100, 60);
    linea(venta("2027-01-01 00:00:00"), "B", 5, 100, 30);
    // A cancelled sale keeps its header; the cancellation deleted its lines.
    const qint64 anulada = venta("2026-12-15 10:00:00");
    linea(anulada, "A", 9, 100, 60);
    db().execute("DELETE FROM ventas_items WHERE ventas_id = ?", {anulada});

    abrir();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Informe de ventas y rentabilidad");
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpDesde")->date(), Reloj::hoy());
    fechas(QDate(2026, 12, 1), QDate(2026, 12, 31));
    imprimir();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(filas("ana"), 2);
    EXPECT_EQ(fila("ana", "A"), (QStringList{"3.00", "180.00", "310.00", "130.00", "65.00"}));
    EXPECT_EQ(fila("ana", "B"), (QStringList{"1.00", "30.00", "100.00", "70.00", "35.00"}));
    EXPECT_TRUE(fila("ana", "C").isEmpty());

    // The report lists them with the club's name, selecting the user's rows.
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_TRUE(mostrado()->archivo().endsWith("rptcr/rpt_informe_ventas.rpt"));
    EXPECT_EQ(mostrado()->seleccion(), "{tmp_informe_ventas.t_usuarios_codigo}='ana' ");
    const QString t = textoMostrado();
    EXPECT_TRUE(t.contains("Bebida isotónica"));
    EXPECT_TRUE(t.contains("310.00"));
    EXPECT_TRUE(t.contains("TOTALES"));
    EXPECT_TRUE(t.contains("TOTALES\n4.00\n210.00\n410.00\n200.00\n100.00")) << t.toStdString();
    // The last step of the printing is in the log.
    QFile log(CarpetaPrograma::archivo(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains("msglog:seteo datos y esta por iniciar el report viewer"));

    // The last day on its own: only the 23:59:59 sale.
    fechas(QDate(2026, 12, 31), QDate(2026, 12, 31));
    imprimir();
    EXPECT_EQ(filas("ana"), 1);
    EXPECT_EQ(fila("ana", "A"), (QStringList{"1.00", "60.00", "110.00", "50.00", "100.00"}));

    // A start after the end: an empty report and no message.
    fechas(QDate(2026, 12, 31), QDate(2026, 12, 1));
    imprimir();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(filas("ana"), 0);
    EXPECT_TRUE(textoMostrado().contains("No hay ventas en el período elegido."));
    EXPECT_FALSE(textoMostrado().contains("TOTALES"));

    // "Limpiar" brings both dates back to today.
    w->findChild<QPushButton *>("Command_2")->click();
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpDesde")->date(), Reloj::hoy());
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpHasta")->date(), Reloj::hoy());
}

TEST_F(InformeVentasTest, DosUsuariosLadoALadoYMargenTotalCero)
{
    producto("A", "Agua");
    producto("B", "Bebida");
    linea(venta("2026-12-01 10:00:00"), "A", 1, 100, 60); // +40
    linea(venta("2026-12-02 10:00:00"), "B", 1, 60, 100); // -40

    // User b (a code with a quote) runs the report on one day: a share of 100.
    InformeVentas::generar("o'brien", QDate(2026, 12, 1), QDate(2026, 12, 1));
    EXPECT_EQ(fila("o'brien", "A"), (QStringList{"1.00", "60.00", "100.00", "40.00", "100.00"}));

    // ana over both days: margins cancel out, every share is 0, no failure.
    abrir();
    fechas(QDate(2026, 12, 1), QDate(2026, 12, 2));
    imprimir();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(fila("ana", "A"), (QStringList{"1.00", "60.00", "100.00", "40.00", "0.00"}));
    EXPECT_EQ(fila("ana", "B"), (QStringList{"1.00", "100.00", "60.00", "-40.00", "0.00"}));
    // The other user's rows and share stay as they were.
    EXPECT_EQ(filas("o'brien"), 1);
    EXPECT_EQ(fila("o'brien", "A"), (QStringList{"1.00", "60.00", "100.00", "40.00", "100.00"}));
    EXPECT_TRUE(textoMostrado().contains("-40.00"));

    // Each report selects only its own user's rows.
    gUsuarioActual = "o'brien";
    InformeVentas::generar("o'brien", QDate(2026, 12, 2), QDate(2026, 12, 2));
    fechas(QDate(2026, 12, 2), QDate(2026, 12, 2));
    imprimir();
    EXPECT_EQ(mostrado()->seleccion(), "{tmp_informe_ventas.t_usuarios_codigo}='o''brien' ");
    const QString t = textoMostrado();
    EXPECT_TRUE(t.contains("Bebida"));
    EXPECT_FALSE(t.contains("Agua"));
    EXPECT_EQ(filas("ana"), 2);
}

TEST_F(InformeVentasTest, FallaAlLlenarOPlantillaQueFaltaNoMuestranNada)
{
    producto("A", "Agua");
    producto("B", "Bebida");
    linea(venta("2026-12-01 10:00:00"), "A", 1, 100, 60);
    linea(venta("2026-12-01 11:00:00"), "B", 1, 100, 60);
    InformeVentas::generar("ana", QDate(2026, 11, 1), QDate(2026, 12, 31));
    ASSERT_EQ(filas("ana"), 2);

    // A failure on the second row leaves the previous run's rows whole.
    hacerFallar("tmp_informe_ventas", "falla inyectada", "NEW.producto_id = 'B'");
    db().execute("UPDATE ventas_items SET cantidad = 2");
    abrir();
    fechas(QDate(2026, 12, 1), QDate(2026, 12, 1));
    imprimir();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_TRUE(msg->ultimo().prompt.contains("falla inyectada"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(filas("ana"), 2);
    EXPECT_EQ(fila("ana", "A"), (QStringList{"1.00", "60.00", "100.00", "40.00", "50.00"}));
    EXPECT_EQ(mostrado(), nullptr);
    quitarFalla("tmp_informe_ventas");

    // A missing template: the installation message, the pointer back, no preview.
    msg->limpiar();
    QFile::remove(rutaPlantilla("rpt_informe_ventas.rpt"));
    imprimir();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(mostrado(), nullptr);
    EXPECT_EQ(fila("ana", "A"), (QStringList{"2.00", "120.00", "200.00", "80.00", "50.00"}));

    // A template that does not parse: "Error: N - description".
    msg->limpiar();
    QFile f(rutaPlantilla("rpt_informe_ventas.rpt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ \"titulo\": }\n---\n");
    f.close();
    imprimir();
    EXPECT_EQ(msg->ultimo().prompt.left(7), "Error: ");
    EXPECT_TRUE(msg->ultimo().prompt.contains("rpt_informe_ventas.rpt no es válida"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(mostrado(), nullptr);
}

TEST_F(InformeVentasTest, UnRangoDeVariosAniosSumaCadaProductoUnaVez)
{
    producto("A", "Agua");
    producto("B", "Bebida");
    // Lines in three different years, the edges of the range included; one
    // the day after it.
    linea(venta("2023-03-01 00:00:00"), "A", 2, 100, 60);
    linea(venta("2024-06-15 12:00:00"), "A", 1, 110, 60);
    linea(venta("2025-08-31 23:59:59"), "B", 1, 50, 20);
    linea(venta("2025-09-01 00:00:00"), "B", 5, 50, 20);
    InformeVentas::generar("ana", QDate(2023, 3, 1), QDate(2025, 8, 31));
    EXPECT_EQ(filas("ana"), 2);
    EXPECT_EQ(fila("ana", "A"), (QStringList{"3.00", "180.00", "310.00", "130.00", "81.25"}));
    EXPECT_EQ(fila("ana", "B"), (QStringList{"1.00", "20.00", "50.00", "30.00", "18.75"}));
}

TEST_F(InformeVentasTest, LaVistaPreviaPintaSoloLasPaginasALaVistaTalComoSeImprimenConLineasDeUnPixel)
{
    for (int i = 0; i < 150; ++i) {
        const QString id = QString("P%1").arg(i, 3, 10, QChar('0'));
        producto(id, "Producto " + id);
        linea(venta("2026-12-01 09:00:00"), id, 1 + i, 100, 60);
    }
    abrir();
    fechas(QDate(2026, 12, 1), QDate(2026, 12, 31));
    // The preview as the program makes it on its first report, still hidden;
    // the pages it paints from the report as they come into sight.
    auto *visor = Ventanas::obtener<Frm_ViewerReport>();
    VisorReporte *crViewer = visor->crViewer();
    VisorPaginas *vista = crViewer->vista();
    QList<int> pintadas;
    QObject::connect(vista, &VisorPaginas::paginaPintada, visor, [&](int pagina) { pintadas << pagina; });
    const auto enPantalla = [&] { return vista->viewport()->grab().toImage(); };
    imprimir();
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_TRUE(visor->isVisible());
    const int n = mostrado()->paginas();
    ASSERT_GE(n, 4);
    EXPECT_EQ(crViewer->paginas(), n);
    EXPECT_EQ(crViewer->paginaActual(), 1);
    enPantalla();
    EXPECT_TRUE(pintadas.contains(0));
    EXPECT_FALSE(pintadas.contains(n - 1)) << pintadas.size();
    // The last page when the user goes there; scrolling back up makes the
    // first one the current page again.
    visor->findChild<QToolButton *>("cmdUltima")->click();
    EXPECT_EQ(crViewer->paginaActual(), n);
    enPantalla();
    EXPECT_TRUE(pintadas.contains(n - 1));
    vista->verticalScrollBar()->setValue(vista->verticalScrollBar()->minimum());
    EXPECT_EQ(crViewer->paginaActual(), 1);
    EXPECT_EQ(visor->findChild<QLabel *>("labPagina")->text(), QString("Página 1 de %1").arg(n));

    // A second report in the open preview: its own pages, from the first.
    pintadas.clear();
    imprimir();
    EXPECT_EQ(crViewer->paginas(), n);
    EXPECT_EQ(crViewer->paginaActual(), 1);
    enPantalla();
    EXPECT_TRUE(pintadas.contains(0));
    EXPECT_FALSE(pintadas.contains(n - 1)) << pintadas.size();

    // At one screen pixel per layout unit the sheet on screen is the report's
    // first page as the printer and the PDF get it, pixel for pixel but for
    // the edges of letters.
    vista->fijarZoom(96.0 / vista->logicalDpiY());
    const QImage pantalla = enPantalla();
    QImage hoja(QSize(794, 1123), QImage::Format_RGB32);
    hoja.setDotsPerMeterX(3780);
    hoja.setDotsPerMeterY(3780);
    hoja.fill(Qt::white);
    {
        QPainter p(&hoja);
        mostrado()->pintarPagina(p, 0);
    }
    const QPoint origen = vista->mapFromScene(QPointF(0, 0));
    const QRect comun = QRect(origen, hoja.size()) & pantalla.rect();
    ASSERT_GT(comun.width(), 300);
    ASSERT_GT(comun.height(), 100);
    int distintos = 0, tinta = 0;
    for (int y = comun.top(); y <= comun.bottom(); ++y)
        for (int x = comun.left(); x <= comun.right(); ++x) {
            const QRgb a = pantalla.pixel(x, y), b = hoja.pixel(x - origen.x(), y - origen.y());
            tinta += qGray(b) < 128;
            distintos += std::abs(qGray(a) - qGray(b)) > 64;
        }
    EXPECT_GT(tinta, 1000);
    EXPECT_LT(distintos, tinta / 20) << distintos << " de " << tinta;

    // The first page at the layout's resolution: down a line through the
    // products' column, the grid is grey lines of one pixel between the rows.
    const QImage &pagina = hoja;
    const int x = pagina.width() / 4;
    QList<int> lineas; // thickness of each run of grey
    for (int y = 0; y < pagina.height(); ++y) {
        if (pagina.pixel(x, y) != qRgb(0x99, 0x99, 0x99))
            continue;
        if (y > 0 && pagina.pixel(x, y - 1) == qRgb(0x99, 0x99, 0x99))
            ++lineas.last();
        else
            lineas << 1;
    }
    EXPECT_GE(lineas.size(), 30);
    EXPECT_EQ(lineas.count(1), lineas.size()) << lineas.size();
}
