// The grid reports on a generated club (10 years by default):
//   club_bench_grilla [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Each report's rows, computed by its set-based statement, beside the one
// grouped query over the same table and period that it cannot do without:
// the goal is at most 1.5 times that query. The loyalty report, which reads
// the counts the triggers keep, is set beside the same rows computed from the
// reservations alone.
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

// The period's sales and collected reservations summed by client.
void rankingAgrupada(benchmark::State &st)
{
    const auto [desde, hasta] = periodo(st);
    for (auto _ : st)
        hayFilas(st, gConexion
                             ->openRecordset(QStringLiteral("SELECT clientes_id, SUM(importe_total) FROM ("
                                                            "SELECT clientes_id, importe_total FROM ventas "
                                                            "WHERE fecha >= ? AND fecha <= ? UNION ALL "
                                                            "SELECT clientes_id, importe_total FROM reservas "
                                                            "WHERE estado = 'COB' AND fecha >= ? AND fecha <= ?) t "
                                                            "GROUP BY clientes_id"),
                                             {iso(desde) + QStringLiteral(" 00:00:00"),
                                              iso(hasta) + QStringLiteral(" 23:59:59"), iso(desde), iso(hasta)})
                             .recordCount() > 0);
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

// The same answer without the counts the triggers keep: every client's
// reservations counted, and counted by court, in grouped passes over the
// reservations (the court booked most is the first of the highest count in
// court order: the least of the texts "2000000000 - count" then court, whose
// numbers all have ten digits), then the same looks for the period and for
// the earliest reservation on that court.
Recordset fidelizaSinRecuentos(int minimo, const QDate &desde, const QDate &hasta)
{
    return gConexion->openRecordset(
        QStringLiteral(
            "SELECT c.id, c.nombre, c.telefono, t.ultima, ca.descripcion, "
            "  (SELECT fecha FROM reservas WHERE clientes_id = c.id AND canchas_id = f.canchas_id "
            "    ORDER BY fecha, id LIMIT 1), "
            "  (SELECT h.descripcion FROM reservas r LEFT JOIN horarios h ON h.codigo = r.horarios_id "
            "    WHERE r.clientes_id = c.id AND r.canchas_id = f.canchas_id ORDER BY r.fecha, r.id LIMIT 1), "
            "  c.comentarios "
            "FROM (SELECT clientes_id, COUNT(*) AS cantidad, MAX(fecha) AS ultima FROM reservas "
            "  WHERE clientes_id IS NOT NULL GROUP BY clientes_id) t "
            "JOIN clientes c ON c.id = t.clientes_id "
            "LEFT JOIN (SELECT clientes_id, substr(MIN((2000000000 - cantidad) || canchas_id), 11) AS canchas_id "
            "  FROM (SELECT clientes_id, canchas_id, COUNT(*) AS cantidad FROM reservas WHERE clientes_id IS NOT NULL "
            "  AND canchas_id IS NOT NULL GROUP BY clientes_id, canchas_id) x GROUP BY clientes_id) f "
            "  ON f.clientes_id = t.clientes_id "
            "LEFT JOIN canchas ca ON ca.id = f.canchas_id "
            "WHERE t.cantidad >= ? AND NOT EXISTS (SELECT 1 FROM reservas WHERE clientes_id = t.clientes_id "
            "  AND fecha >= ? AND fecha <= ?) "
            "ORDER BY c.nombre COLLATE ES, c.id"),
        {minimo, iso(desde), iso(hasta)});
}

void fidelizaAgrupada(benchmark::State &st)
{
    const auto [desde, hasta] = periodoFideliza(st);
    // Checked once: the rows are the report's.
    QStringList informe;
    for (const auto &f : ConsultasInformes::clientesSinTurnos(3, desde, hasta))
        informe << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(f.id)
                       .arg(iso(f.ultimoTurno), f.canchaFrecuente, iso(f.fechaFrecuente), f.horaFrecuente);
    QStringList minimo;
    for (Recordset rs = fidelizaSinRecuentos(3, desde, hasta); !rs.eof(); rs.moveNext())
        minimo << QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(rs.entero(0))
                      .arg(iso(rs.fecha(3)), rs.texto(4), iso(rs.fecha(5)), rs.texto(6));
    if (informe != minimo) {
        st.SkipWithError("la consulta sin recuentos no da las filas del informe");
        return;
    }
    for (auto _ : st)
        hayFilas(st, fidelizaSinRecuentos(3, desde, hasta).recordCount() > 0);
}
BENCHMARK(fidelizaAgrupada)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
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
