// Report benchmarks on a generated club (10 years by default).
//   club_bench_reportes [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Rendering the 80 mm ticket is what a user waits for after confirming a
// sale, before the preview shows it. The sales report's work table for a
// month and a year is measured beside the grouped query it rests on writing
// the same rows into that table; its preview over the whole history beside
// its work table alone (goal: at most twice as long).
#include "Frm_L_InformeVentas.h"
#include "Frm_ViewerReport.h"
#include "InformeVentas.h"
#include "Module.h"
#include "VisorReporte.h"
#include "generar_club.h"
#include "medida.h"
#include "platform/CarpetaPrograma.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"
#include "sentencias_planas.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {
TamanioClub g_club;
DatosServidor g_servidor; // the copy's database, on a server
QString g_carpeta;
qint64 g_venta = 0;

// The ticket of a sale of the generated club, from opening the template to
// the laid-out receipt.
void ticket80mm(benchmark::State &st)
{
    const QString seleccion = QStringLiteral("{ventas.id}=%1").arg(g_venta);
    for (auto _ : st) {
        std::unique_ptr<Reporte> r = abrirPlantilla(QStringLiteral("rpt_venta_80mm.rpt"));
        llenarParametrosClub(*r);
        r->fijarSeleccion(seleccion);
        r->generar();
        if (!hayFilas(st, r->documento().toPlainText().contains(QStringLiteral("TOTAL"))))
            return;
    }
}
BENCHMARK(ticket80mm)->Unit(benchmark::kMillisecond);

void ticket80mmPdf(benchmark::State &st)
{
    std::unique_ptr<Reporte> r = abrirPlantilla(QStringLiteral("rpt_venta_80mm.rpt"));
    r->fijarSeleccion(QStringLiteral("{ventas.id}=%1").arg(g_venta));
    const QString archivo = QDir(g_carpeta).filePath(QStringLiteral("ticket.pdf"));
    for (auto _ : st) {
        r->generar();
        r->exportarPdf(archivo);
    }
}
BENCHMARK(ticket80mmPdf)->Unit(benchmark::kMillisecond);

// The range measured: the month of measure (0) or the twelve months that end with it (1).
std::pair<QDate, QDate> periodo(const benchmark::State &st)
{
    const QDate mes = mesDeMedida(g_club);
    const QDate fin = mes.addMonths(1).addDays(-1);
    return {st.range(0) == 0 ? mes : mes.addMonths(-11), fin};
}

void informeVentas(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st)
        InformeVentas::generar(QStringLiteral("admin"), desde, hasta);
    hayFilas(st,
             gConexion->openRecordset(QStringLiteral("SELECT count(*) FROM tmp_informe_ventas")).campo(0).entero() > 0);
}
BENCHMARK(informeVentas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The least work for the same answer: the grouped query over the range's
// lines written into the user's rows of the work table, then each row's share
// of their margin, in one transaction that does not wait for the disk, as the
// report's, in the engine's bare statements.
void consultaAgrupada(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    const QString d1 = desde.toString(Qt::ISODate) + QStringLiteral(" 00:00:00");
    const QString d2 = hasta.toString(Qt::ISODate) + QStringLiteral(" 23:59:59");
    SentenciasPlanas s(*gConexion, gConexion->esServidor() ? &g_servidor : nullptr);
    for (auto _ : st) {
        s.empezar(true);
        s.ejecutar(QStringLiteral("DELETE FROM tmp_informe_ventas WHERE t_usuarios_codigo = 'admin'"));
        const int filas = s.ejecutar(
            QStringLiteral("INSERT INTO tmp_informe_ventas (producto_id, producto_descripcion, cantidad_vendida, "
                           "importe_costo, importe_ventas, importe_rentabilidad, porcentaje_ponderacion, "
                           "t_usuarios_codigo) SELECT p.id, p.descripcion, s.cantidad, s.compra, s.importe, "
                           "s.importe - s.compra, 0, 'admin' FROM (SELECT vi.productos_id, SUM(vi.cantidad) AS "
                           "cantidad, SUM(vi.precio_unitario * vi.cantidad) AS importe, SUM(vi.precio_compra * "
                           "vi.cantidad) AS compra FROM ventas_items vi INNER JOIN ventas vc ON vi.ventas_id = vc.id "
                           "WHERE vc.fecha >= ? AND vc.fecha <= ? GROUP BY vi.productos_id) s "
                           "INNER JOIN productos p ON p.id = s.productos_id WHERE s.cantidad <> 0"),
            {d1, d2});
        // Each row's share of the margin of the rows written.
        s.ejecutar(QStringLiteral(
            "UPDATE tmp_informe_ventas SET porcentaje_ponderacion = importe_rentabilidad * 100.0 / (SELECT "
            "SUM(importe_rentabilidad) FROM tmp_informe_ventas WHERE t_usuarios_codigo = 'admin') WHERE "
            "t_usuarios_codigo = 'admin'"));
        s.confirmar();
        if (!hayFilas(st, filas > 0))
            return;
    }
    // The same rows as the report's.
    const auto filas = [] {
        QStringList l;
        for (Recordset rs = gConexion->openRecordset(
                 QStringLiteral("SELECT producto_id, cantidad_vendida, importe_rentabilidad, porcentaje_ponderacion "
                                "FROM tmp_informe_ventas WHERE t_usuarios_codigo = 'admin' ORDER BY producto_id"));
             !rs.eof(); rs.moveNext())
            l << QStringLiteral("%1:%2:%3:%4")
                     .arg(rs.texto(0))
                     .arg(rs.numero(1))
                     .arg(rs.numero(2), 0, 'f', 2)
                     .arg(rs.numero(3), 0, 'f', 6);
        return l;
    };
    const QStringList minimo = filas();
    InformeVentas::generar(QStringLiteral("admin"), desde, hasta);
    if (filas() != minimo)
        st.SkipWithError("la consulta mínima no da las filas del informe");
}
BENCHMARK(consultaAgrupada)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The sales report over the club's whole history as the user asks for it:
// the window's print button, which rebuilds the work table, lays the report
// out and shows it in the preview window, until its first page is painted.
void vistaPreviaVentas(benchmark::State &st)
{
    auto *w = Ventanas::obtener<Frm_L_InformeVentas>();
    w->findChild<QDateEdit *>(QStringLiteral("dtpDesde"))->setDate(g_club.desde());
    w->findChild<QDateEdit *>(QStringLiteral("dtpHasta"))->setDate(g_club.hasta().addDays(-1));
    auto *imprimir = w->findChild<QPushButton *>(QStringLiteral("Command_3"));
    int paginas = 0;
    for (auto _ : st) {
        imprimir->click();
        auto *v = Ventanas::existente<Frm_ViewerReport>();
        if (!hayFilas(st, v != nullptr))
            return;
        benchmark::DoNotOptimize(v->grab());
        paginas = v->crViewer()->paginas();
    }
    st.counters["paginas"] = paginas;
    hayFilas(st, paginas > 1);
}
// Each takes seconds: a few of them are averaged.
BENCHMARK(vistaPreviaVentas)->MinTime(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// Its work table alone, over the same days.
void tablaVentasHistoria(benchmark::State &st)
{
    for (auto _ : st)
        InformeVentas::generar(gUsuarioActual, g_club.desde(), g_club.hasta().addDays(-1));
}
BENCHMARK(tablaVentasHistoria)->MinTime(3)->UseRealTime()->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    g_carpeta = dir.path();
    abrirComoPrograma(g_club, g_carpeta, &g_servidor);
    gUsuarioActual = QStringLiteral("admin");
    const QDir fuente(QStringLiteral(CLUB_FUENTE_RPTCR));
    QDir(g_carpeta).mkpath(QStringLiteral("rptcr"));
    for (const QString &f : fuente.entryList({QStringLiteral("*.rpt")}, QDir::Files))
        QFile::copy(fuente.filePath(f), rutaPlantilla(f));
    g_venta = gConexion->openRecordset(QStringLiteral("SELECT MAX(ventas_id) FROM ventas_items")).campo(0).entero();

    correrBenchmarks(resto);
    Ventanas::descargarTodasMenos(QString());
    cerrarConexion();
    return 0;
}
