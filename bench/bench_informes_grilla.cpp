// The grid reports on a generated club (10 years by default):
//   club_bench_grilla [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Each report's rows, computed by its set-based statement, beside the one
// grouped query over the same table and period that it cannot do without:
// the goal is at most 1.5 times that query. The loyalty report is set beside
// the least reading that gives its rows from the counts the triggers keep.
#include "ConsultasInformes.h"
#include "Module.h"
#include "generar_club.h"
#include "medida.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
TamanioClub g_club;

// Periods measured: the last 3 months (0), the last year (1) and the ten
// years (2) up to the club's last day.
std::pair<QDate, QDate> periodo(const benchmark::State &st)
{
    const QDate fin = g_club.hasta().addDays(-1);
    const int dias[] = {90, 365, 3650};
    return {fin.addDays(-dias[st.range(0)]), fin};
}

QString iso(const QDate &d) { return d.toString(Qt::ISODate); }

void estadisticaTurnos(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st)
        hayFilas(st, !ConsultasInformes::turnosPorCancha(desde, hasta).isEmpty());
}
BENCHMARK(estadisticaTurnos)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void estadisticaAgrupada(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st)
        hayFilas(
            st, gConexion
                        ->openRecordset(QStringLiteral("SELECT canchas_id, COUNT(id), SUM(importe_total) FROM reservas "
                                                       "WHERE fecha >= ? AND fecha <= ? AND estado = 'COB' "
                                                       "GROUP BY canchas_id"),
                                        {iso(desde), iso(hasta)})
                        .recordCount() > 0);
}
BENCHMARK(estadisticaAgrupada)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void rankingClientes(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st)
        hayFilas(st, !ConsultasInformes::rankingClientes(desde, hasta).isEmpty());
}
BENCHMARK(rankingClientes)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The period's sales and collected reservations summed by client, and every
// client with its name: the report lists each one, with a sum or without.
void rankingAgrupada(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st) {
        const Recordset sumas = gConexion->openRecordset(
            QStringLiteral("SELECT clientes_id, SUM(importe_total) FROM (SELECT clientes_id, importe_total FROM ventas "
                           "WHERE fecha >= ? AND fecha <= ? UNION ALL SELECT clientes_id, importe_total FROM reservas "
                           "WHERE estado = 'COB' AND fecha >= ? AND fecha <= ?) t GROUP BY clientes_id"),
            {iso(desde) + QStringLiteral(" 00:00:00"), iso(hasta) + QStringLiteral(" 23:59:59"), iso(desde),
             iso(hasta)});
        const Recordset clientes = gConexion->openRecordset(QStringLiteral("SELECT id, nombre FROM clientes"));
        hayFilas(st, sumas.recordCount() > 0 && clientes.recordCount() > 0);
    }
}
BENCHMARK(rankingAgrupada)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Loyalty over the last 15 days (0) and the last year (1), at least 3 turns.
std::pair<QDate, QDate> periodoFideliza(const benchmark::State &st)
{
    const QDate fin = g_club.hasta().addDays(-1);
    return {fin.addDays(st.range(0) == 0 ? -15 : -365), fin};
}

void clientesFideliza(benchmark::State &st)
{
    const auto [desde, hasta] = periodoFideliza(st);
    for (auto _ : st)
        hayFilas(st, !ConsultasInformes::clientesSinTurnos(3, desde, hasta).isEmpty());
}
BENCHMARK(clientesFideliza)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The least work for the same rows: the clients with enough reservations
// and the court each books most, read from the counts the triggers keep; a
// client with a reservation in the period left out by one look into the
// index on client and date; for each row kept, its latest date, and its
// earliest reservation (date, then id) on that court with its slot, each one
// look into an index on reservas.
Recordset fidelizaDeRecuentos(int minimo, const QDate &desde, const QDate &hasta)
{
    return gConexion->openRecordset(
        QStringLiteral(
            "SELECT c.id, c.nombre, c.telefono, (SELECT MAX(fecha) FROM reservas WHERE clientes_id = c.id), "
            "ca.descripcion, (SELECT fecha FROM reservas WHERE clientes_id = c.id AND canchas_id = "
            "t.cancha_frecuente_id ORDER BY fecha, id LIMIT 1), (SELECT h.descripcion FROM reservas r LEFT JOIN "
            "horarios h ON h.codigo = r.horarios_id WHERE r.clientes_id = c.id AND r.canchas_id = "
            "t.cancha_frecuente_id ORDER BY r.fecha, r.id LIMIT 1), c.comentarios FROM reservas_por_cliente t "
            "JOIN clientes c ON c.id = t.clientes_id LEFT JOIN canchas ca ON ca.id = t.cancha_frecuente_id "
            "WHERE t.cantidad >= ? AND NOT EXISTS (SELECT 1 FROM reservas WHERE clientes_id = t.clientes_id AND "
            "fecha >= ? AND fecha <= ?) ORDER BY c.nombre COLLATE ES, c.id"),
        {minimo, iso(desde), iso(hasta)});
}

void fidelizaRecuentos(benchmark::State &st)
{
    const auto [desde, hasta] = periodoFideliza(st);
    // Checked once: the rows are the report's.
    QStringList informe;
    for (const auto &f : ConsultasInformes::clientesSinTurnos(3, desde, hasta))
        informe << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(f.id)
                       .arg(iso(f.ultimoTurno), f.canchaFrecuente, iso(f.fechaFrecuente), f.horaFrecuente);
    QStringList minimo;
    for (Recordset rs = fidelizaDeRecuentos(3, desde, hasta); !rs.eof(); rs.moveNext())
        minimo << QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(rs.entero(0))
                      .arg(iso(rs.fecha(3)), rs.texto(4), iso(rs.fecha(5)), rs.texto(6));
    if (informe != minimo) {
        st.SkipWithError("la lectura de los recuentos no da las filas del informe");
        return;
    }
    for (auto _ : st)
        hayFilas(st, fidelizaDeRecuentos(3, desde, hasta).recordCount() > 0);
}
BENCHMARK(fidelizaRecuentos)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    abrirComoPrograma(g_club, dir.path());

    correrBenchmarks(resto);
    cerrarConexion();
    return 0;
}
