// Benchmarks of the booking road on a generated club (10 years by default):
// the agenda's refill of one court-week (query and painting of the real
// window, offscreen), the save of a 52-week series and the listing of one
// month, each beside the single set-based statement the engine needs for the
// same rows.
//   club_bench_reservas [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Goals: agenda refill <= 5 ms of processor time; series save <= 20 ms; listing <= 1.5 x its
// statement.
#include "ConsultasReserva.h"
#include "Frm_L_Reservas.h"
#include "Frm_T_ReservaCanchas.h"
#include "Module.h"
#include "ReglasReserva.h"
#include "db/Esquema.h"
#include "generar_club.h"
#include "medida.h"
#include "platform/Grid.h"
#include "platform/Reloj.h"
#include "sentencias_planas.h"

#include <QApplication>
#include <QDateEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
TamanioClub g_club;
DatosServidor g_servidor; // the copy's database, on a server
// A parent court: its week shows its own bookings and its two children's.
const QString kCancha = QStringLiteral("C01");

int celdasReservadas(const Frm_T_ReservaCanchas *w)
{
    int n = 0;
    for (int c = Frm_T_ReservaCanchas::kColLunes; c < Frm_T_ReservaCanchas::kColLunes + 7; ++c)
        for (int r = Frm_T_ReservaCanchas::kFilaFechas + 1; r <= g_club.horarios + 1; ++r)
            n += w->idDeCelda(c, r) != 0;
    return n;
}

// The refill repaints the week's grid; the whole window (court list,
// calendar, buttons) is measured apart, as a first showing would paint it.
void agenda(benchmark::State &st, bool ventanaEntera)
{
    auto *w = Ventanas::obtener<Frm_T_ReservaCanchas>();
    w->resize(1280, 800);
    w->show();
    if (!hayFilas(st, w->Usr_MuestraSemana(kCancha, lunesDeMedida(g_club)) && celdasReservadas(w) > 0))
        return;
    QWidget *pintada = ventanaEntera ? static_cast<QWidget *>(w) : w->findChild<Grid *>(QStringLiteral("vaSpread"));
    for (auto _ : st) {
        w->Usr_BuscaDatosReservas();
        benchmark::DoNotOptimize(pintada->grab());
    }
    hayFilas(st, celdasReservadas(w) > 0);
}
void agendaSemana(benchmark::State &st) { agenda(st, false); }
BENCHMARK(agendaSemana)->Unit(benchmark::kMillisecond);
void agendaSemanaVentanaEntera(benchmark::State &st) { agenda(st, true); }
BENCHMARK(agendaSemanaVentanaEntera)->Unit(benchmark::kMillisecond);

// The week's rows of the court, its parent and its children, each with the
// pass that paints it.
void agendaSemanaSentencia(benchmark::State &st)
{
    const QDate lunes = lunesDeMedida(g_club);
    for (auto _ : st) {
        const Recordset rs = gConexion->openRecordset(
            "SELECT CASE WHEN r.canchas_id IN (SELECT id FROM canchas WHERE cancha_madre_id = ?1) THEN 2 WHEN "
            "r.canchas_id IN (SELECT cancha_madre_id FROM canchas WHERE id = ?1 AND cancha_madre_id <> '') THEN 1 "
            "ELSE 0 END, r.id, r.canchas_id, r.horarios_id, r.fecha, r.estado, r.importe_anticipo, e.descripcion "
            "FROM reservas r LEFT JOIN reservas_estados e ON e.codigo = r.estado WHERE r.fecha >= ?2 AND r.fecha <= "
            "?3 AND (r.canchas_id = ?1 OR r.canchas_id IN (SELECT cancha_madre_id FROM canchas WHERE id = ?1 "
            "UNION SELECT id FROM canchas WHERE cancha_madre_id = ?1))",
            {kCancha, lunes, lunes.addDays(6)});
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}
BENCHMARK(agendaSemanaSentencia)->Unit(benchmark::kMillisecond);

// Each iteration books another court, slot and weekday over the same 52
// weeks after the generated span, where every turn is free.
ReglasReserva::Reserva serie(int i)
{
    ReglasReserva::Reserva r;
    r.clientes_id = QStringLiteral("2");
    r.canchas_id = QString::asprintf("C%02d", i % g_club.canchas + 1);
    r.horarios_id = QString::asprintf("H%02d", i / g_club.canchas % g_club.horarios + 1);
    r.fecha = g_club.hasta().addDays(7 + i / (g_club.canchas * g_club.horarios) % 7 +
                                     i / (g_club.canchas * g_club.horarios * 7) * 371);
    r.estado = QStringLiteral("RES");
    r.permanente = true;
    r.semanas = 51;
    r.total = 10000;
    r.anticipo = 3000;
    return r;
}

void serieDe52Semanas(benchmark::State &st)
{
    static int n = 0;
    for (auto _ : st) {
        const ReglasReserva::Reserva r = serie(n++);
        // What Aceptar does: the checks, then the save in the window's transaction.
        Transaccion t(*gConexion);
        if (!hayFilas(st, ReglasReserva::controlar(r, true).aceptada()))
            return;
        ReglasReserva::guardar(r, QStringLiteral("admin"), Reloj::ahora());
        t.commit();
    }
    const qint64 filas = gConexion
                             ->openRecordset("SELECT count(*) FROM reservas WHERE reserva_fija_id = (SELECT "
                                             "max(reserva_fija_id) FROM reservas)")
                             .campo(0)
                             .entero();
    hayFilas(st, filas == 52);
}
BENCHMARK(serieDe52Semanas)->Unit(benchmark::kMillisecond);

void serieSentencia(benchmark::State &st)
{
    static int n = 0;
    // The 52 weeks, numbered, with their dates given as values (?7 to ?58).
    QStringList semanas;
    for (int k = 0; k < 52; ++k)
        semanas << QStringLiteral("(%1, ?%2)").arg(k).arg(k + 7);
    const QString sql =
        QStringLiteral("WITH s(k, fecha) AS (VALUES ") + semanas.join(QStringLiteral(", ")) +
        QStringLiteral(") INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, permanente, estado, "
                       "fecha_anticipo, importe_anticipo, importe_total, importe_saldo, cantidad_semanas, "
                       "semana_numero, reserva_fija_id, fecha_reserva_fin, comentarios, t_usuarios_codigo) SELECT ?1, "
                       "?2, fecha, ?3, 1, 'RES', ?4, CASE k WHEN 0 THEN 3000 ELSE 0 END, 10000, CASE k WHEN 0 THEN "
                       "7000 ELSE 10000 END, 51, k, ?5, ?6, '', 'admin' FROM s");
    // One statement, its own transaction.
    SentenciasPlanas planas(*gConexion, gConexion->esServidor() ? &g_servidor : nullptr);
    for (auto _ : st) {
        const ReglasReserva::Reserva r = serie(50000 + n++);
        Parametros valores{r.clientes_id,  r.canchas_id, r.horarios_id,
                           Reloj::ahora(), 900000 + n,   r.fecha.addDays(357)};
        for (int k = 0; k < 52; ++k)
            valores << r.fecha.addDays(7 * k);
        const int filas = planas.ejecutar(sql, valores);
        if (!hayFilas(st, filas == 52))
            return;
    }
}
BENCHMARK(serieSentencia)->Unit(benchmark::kMillisecond);

void listadoDelMes(benchmark::State &st)
{
    const QDate mes = mesDeMedida(g_club);
    auto *w = Ventanas::obtener<Frm_L_Reservas>();
    w->findChild<QRadioButton *>(QStringLiteral("optFechaTurno"))->setChecked(true);
    w->findChild<QDateEdit *>(QStringLiteral("dtpDesde"))->setDate(mes);
    w->findChild<QDateEdit *>(QStringLiteral("dtpHasta"))->setDate(mes.addMonths(1).addDays(-1));
    for (auto _ : st)
        w->Usr_BuscaReservas();
    hayFilas(st, w->findChild<Grid *>(QStringLiteral("vaSpread"))->MaxRows() > 0);
}
BENCHMARK(listadoDelMes)->Unit(benchmark::kMillisecond);

void listadoDelMesDatos(benchmark::State &st)
{
    const QDate mes = mesDeMedida(g_club);
    for (auto _ : st)
        if (!hayFilas(st, !ConsultasReserva::listado(true, mes, mes.addMonths(1).addDays(-1)).isEmpty()))
            return;
}
BENCHMARK(listadoDelMesDatos)->Unit(benchmark::kMillisecond);

void listadoDelMesSentencia(benchmark::State &st)
{
    const QDate mes = mesDeMedida(g_club);
    for (auto _ : st) {
        const Recordset rs = gConexion->openRecordset(
            "SELECT r.id, r.clientes_id, cl.nombre, r.canchas_id, ca.descripcion, r.fecha, h.descripcion, "
            "r.importe_anticipo, r.importe_saldo, es.descripcion FROM reservas r "
            "LEFT JOIN clientes cl ON cl.id = r.clientes_id LEFT JOIN canchas ca ON ca.id = r.canchas_id "
            "LEFT JOIN horarios h ON h.codigo = r.horarios_id LEFT JOIN reservas_estados es ON es.codigo = r.estado "
            "WHERE r.fecha >= ? AND r.fecha <= ? ORDER BY r.fecha, r.id",
            {mes, mes.addMonths(1).addDays(-1)});
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}
BENCHMARK(listadoDelMesSentencia)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The agenda paints its real window, without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    abrirComoPrograma(g_club, dir.path(), &g_servidor);
    gUsuarioActual = QStringLiteral("admin");
    Reloj::fijar(QDateTime(mesDeMedida(g_club).addDays(10), QTime(10, 0)));
    correrBenchmarks(resto);
    Ventanas::descargarTodasMenos(QString());
    cerrarConexion();
    return 0;
}
