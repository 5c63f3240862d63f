// Report benchmarks on a generated club (10 years by default).
//   club_bench_reportes [--anios N] [benchmark flags]
// Rendering the 80 mm ticket is what a user waits for after confirming a
// sale, before the preview shows it.
#include "Module.h"
#include "generar_club.h"
#include "platform/CarpetaPrograma.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {
TamanioClub g_club;
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
        if (r->documento().toPlainText().indexOf(QStringLiteral("TOTAL")) < 0) {
            st.SkipWithError("el ticket no tiene la venta");
            return;
        }
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
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    g_carpeta = dir.path();
    copiaDeTrabajo(g_club, g_carpeta);
    CarpetaPrograma::fijar(g_carpeta);
    const QDir fuente(QStringLiteral(CLUB_FUENTE_RPTCR));
    QDir(g_carpeta).mkpath(QStringLiteral("rptcr"));
    for (const QString &f : fuente.entryList({QStringLiteral("*.rpt")}, QDir::Files))
        QFile::copy(fuente.filePath(f), rutaPlantilla(f));
    fijarRutasBase();
    abrirConexion();
    g_venta = gConexion->openRecordset(QStringLiteral("SELECT MAX(ventas_id) FROM ventas_items")).campo(0).entero();

    int n = static_cast<int>(resto.size());
    benchmark::Initialize(&n, resto.data());
    benchmark::RunSpecifiedBenchmarks();
    cerrarConexion();
    return 0;
}
