// Benchmarks of a real day's count and closing on a generated club (10 years
// by default): the register of the user "admin" opened on the last day, with
// that day's sales and reservation payments, and every booking of that day
// and the earlier ones collected or suspended, as before a real closing.
// What they cost must not grow with the years the club holds.
//   club_bench_caja [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Each is measured beside the bare set-based statements the engine needs for
// the same rows, warm ("caliente": the connection has worked a while) and at
// the first use after opening ("al_abrir": the connection closed and opened
// again before each iteration, untimed, so the engine's own caches start
// empty). The closing runs the window's check for bookings not collected,
// then closes inside a transaction that is rolled back, so every iteration
// closes the same register. The closing is also measured on a register that
// took a year of its user's operations.
#include "Module.h"
#include "dbArqueo.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"
#include "generar_club.h"
#include "medida.h"
#include "platform/Reloj.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

namespace {
TamanioClub g_club;
QString g_caja;
const QString kUsuario = QStringLiteral("admin");

// Before a cold iteration: the connection opened afresh, out of the timing.
// Opening takes far longer than what is measured, so the cold benchmarks run
// a fixed number of iterations.
constexpr int kAlAbrir = 40;
void reabrir(benchmark::State &st, bool alAbrir)
{
    if (!alAbrir)
        return;
    st.PauseTiming();
    cerrarConexion();
    abrirConexion();
    st.ResumeTiming();
}

void arqueo(benchmark::State &st, bool alAbrir)
{
    for (auto _ : st) {
        reabrir(st, alAbrir);
        const QString caja = db_caja_cabeza().getCajaAbiertaId(kUsuario);
        const dbArqueo::Operaciones op = dbArqueo::operaciones(kUsuario);
        db_caja_movimientos m;
        const double mov = m.getMovimientoByConcepto(QStringLiteral("INI"), caja) +
                           m.getMovimientoByMovTipo(QStringLiteral("ING"), caja) +
                           m.getMovimientoByMovTipo(QStringLiteral("EGR"), caja);
        if (!hayFilas(st, op.ventas > 0 && mov != 0))
            return;
    }
}
BENCHMARK_CAPTURE(arqueo, caliente, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(arqueo, al_abrir, true)->Unit(benchmark::kMillisecond)->Iterations(kAlAbrir);

void arqueoSentencias(benchmark::State &st, bool alAbrir)
{
    for (auto _ : st) {
        reabrir(st, alAbrir);
        const Recordset rs = gConexion->openRecordset(
            "SELECT c.id, (SELECT SUM(importe_anticipo) FROM reservas WHERE arqueo_anticipo_id IS NULL AND "
            "importe_anticipo <> 0 AND t_usuarios_codigo = ?1), (SELECT SUM(importe_saldo) FROM reservas WHERE "
            "arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS') AND t_usuarios_codigo = ?1 AND estado = 'COB'), "
            "(SELECT SUM(importe_pagado) FROM ventas WHERE arqueo_id IS "
            "NULL AND t_usuarios_codigo = ?1), (SELECT SUM(importe) FROM caja_movimientos m WHERE m.caja_cabeza_id = "
            "c.id) FROM caja_cabeza c WHERE c.t_usuarios_codigo = ?1 AND c.fecha_hora_cierre IS NULL",
            {kUsuario});
        if (!hayFilas(st, !rs.eof() && rs.campo(3).numero() > 0))
            return;
    }
}
BENCHMARK_CAPTURE(arqueoSentencias, caliente, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(arqueoSentencias, al_abrir, true)->Unit(benchmark::kMillisecond)->Iterations(kAlAbrir);

void cierre(benchmark::State &st, bool alAbrir)
{
    for (auto _ : st) {
        reabrir(st, alAbrir);
        // The window's check first: on a real day it finds nothing.
        if (!hayFilas(st, !dbArqueo::hayReservasPendientes(Reloj::ahora())))
            return;
        Transaccion t(*gConexion);
        db_caja_cabeza c;
        c.load(g_caja);
        c.m_importe_cierre_real = 1000;
        c.m_t_usuarios_codigo = kUsuario;
        c.cerrarCaja();
        // Rolled back by the guard: the next iteration closes the same register.
    }
}
BENCHMARK_CAPTURE(cierre, caliente, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cierre, al_abrir, true)->Unit(benchmark::kMillisecond)->Iterations(kAlAbrir);

// The closing's own statements on register id, bare, inside the caller's
// transaction: the number of sales they stamped.
int sentenciasDelCierre(qint64 id)
{
    const QDateTime ahora = Reloj::ahora();
    gConexion->execute("UPDATE caja_cabeza SET t_usuarios_codigo = t_usuarios_codigo WHERE t_usuarios_codigo = ? "
                       "AND fecha_hora_cierre IS NULL",
                       {kUsuario});
    gConexion->execute("DELETE FROM caja_resumen_operaciones WHERE caja_cabeza_id = ?", {id});
    const QString insertar = "INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, "
                             "operacion_id, clientes_id, operacion_fecha, descripcion, fecha_hora, importe, "
                             "comentarios) ";
    gConexion->execute(insertar + "SELECT ?, 'VEN', id, clientes_id, fecha, 'VENTAS', ?, importe_pagado, '' FROM "
                                  "ventas WHERE t_usuarios_codigo = ? AND arqueo_id IS NULL",
                       {id, ahora, kUsuario});
    gConexion->execute(insertar + "SELECT ?, 'RES', id, clientes_id, fecha_anticipo, 'Reservas / anticipos', ?, "
                                  "importe_anticipo, '' FROM reservas WHERE t_usuarios_codigo = ? AND "
                                  "arqueo_anticipo_id IS NULL AND importe_anticipo <> 0 AND importe_anticipo > 0",
                       {id, ahora, kUsuario});
    gConexion->execute(insertar + "SELECT ?, 'TUR', id, clientes_id, fecha, 'Turnos / canchas', ?, importe_saldo, '' "
                                  "FROM reservas WHERE t_usuarios_codigo = ? AND arqueo_saldo_id IS NULL AND estado IN "
                                  "('COB', 'SUS') AND estado = 'COB'",
                       {id, ahora, kUsuario});
    // The expected amount: the register's movements and its snapshot.
    const double teorico = gConexion
                               ->openRecordset("SELECT (SELECT COALESCE(SUM(importe), 0) FROM caja_movimientos WHERE "
                                               "caja_cabeza_id = ?1) + (SELECT COALESCE(SUM(importe), 0) FROM "
                                               "caja_resumen_operaciones WHERE caja_cabeza_id = ?1)",
                                               {id})
                               .campo(0)
                               .numero();
    gConexion->execute("UPDATE caja_cabeza SET importe_cierre_real = 1000, importe_cierre_teorico = ?, "
                       "fecha_hora_cierre = ?, comentarios = '' WHERE id = ?",
                       {teorico, ahora, id});
    gConexion->execute(
        "UPDATE reservas SET arqueo_anticipo_id = CASE WHEN arqueo_anticipo_id IS NULL AND importe_anticipo <> 0 "
        "THEN ?1 ELSE arqueo_anticipo_id END, arqueo_saldo_id = CASE WHEN arqueo_saldo_id IS NULL AND estado IN "
        "('COB', 'SUS') THEN ?1 ELSE arqueo_saldo_id END WHERE id IN (SELECT id FROM reservas WHERE "
        "t_usuarios_codigo = ?2 AND arqueo_anticipo_id IS NULL AND importe_anticipo <> 0 UNION ALL SELECT id FROM "
        "reservas WHERE t_usuarios_codigo = ?2 AND arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS'))",
        {id, kUsuario});
    const int ventas = gConexion->execute(
        "UPDATE ventas SET arqueo_id = ?1 WHERE t_usuarios_codigo = ?2 AND arqueo_id IS NULL", {id, kUsuario});
    gConexion->execute("INSERT INTO caja_resumen_stock (caja_cabeza_id, fecha_desde, fecha_hasta, producto_id, "
                       "producto_descripcion, cantidad_vendida, cantidad_movimientos_stk, cantidad_inicial, "
                       "existencia_actual) SELECT ?1, c.fecha_hora_apertura, ?2, p.id, p.descripcion, "
                       "-COALESCE(m.vendida, 0), COALESCE(m.manual, 0), p.existencia - COALESCE(m.vendida, 0) - "
                       "COALESCE(m.manual, 0), p.existencia FROM caja_cabeza c, productos p LEFT JOIN (SELECT "
                       "productos_id, SUM(CASE WHEN ventas_id IS NULL THEN cantidad END) AS manual, SUM(CASE WHEN "
                       "ventas_id IS NOT NULL THEN cantidad END) AS vendida FROM movimientos_stock, caja_cabeza c2 "
                       "WHERE c2.id = ?1 AND fecha >= c2.fecha_hora_apertura AND fecha <= ?2 GROUP BY productos_id) m "
                       "ON m.productos_id = p.id WHERE c.id = ?1 AND p.activo = 1",
                       {id, ahora});
    return ventas;
}

void cierreSentencias(benchmark::State &st, bool alAbrir)
{
    const qint64 id = g_caja.toLongLong();
    for (auto _ : st) {
        reabrir(st, alAbrir);
        // Bookings not collected of an earlier day, then those of today.
        const QDateTime momento = Reloj::ahora();
        if (!hayFilas(st, gConexion
                              ->openRecordset("SELECT 1 FROM reservas WHERE fecha < ? AND estado NOT IN ('COB', "
                                              "'SUS') ORDER BY fecha LIMIT 1",
                                              {momento.date()})
                              .eof()))
            return;
        gConexion->openRecordset("SELECT h.descripcion FROM reservas r INNER JOIN horarios h ON r.horarios_id = "
                                 "h.codigo WHERE r.fecha = ? AND r.estado NOT IN ('COB', 'SUS')",
                                 {momento.date()});
        Transaccion t(*gConexion);
        const int ventas = sentenciasDelCierre(id);
        if (!hayFilas(st, ventas > 0))
            return;
    }
}
BENCHMARK_CAPTURE(cierreSentencias, caliente, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cierreSentencias, al_abrir, true)->Unit(benchmark::kMillisecond)->Iterations(kAlAbrir);

// A register that took a year of its user's operations (registered last,
// since it changes the club for what would follow): the user's reservations
// and sales of the last year given back their stamps, as if no closing had
// taken them, and the tables left as the server's upkeep would leave them.
void unAnioSinTomar()
{
    const QDate desde = Reloj::ahora().date().addYears(-1);
    gConexion->execute("UPDATE reservas SET arqueo_anticipo_id = NULL, arqueo_saldo_id = NULL WHERE "
                       "t_usuarios_codigo = ? AND fecha >= ?",
                       {kUsuario, desde});
    gConexion->execute("UPDATE ventas SET arqueo_id = NULL WHERE t_usuarios_codigo = ? AND fecha >= ?",
                       {kUsuario, desde});
    if (gConexion->esServidor())
        gConexion->compactar();
}

void cierreDeUnAnio(benchmark::State &st)
{
    unAnioSinTomar();
    for (auto _ : st) {
        std::optional<Transaccion> t(std::in_place, *gConexion);
        db_caja_cabeza c;
        c.load(g_caja);
        c.m_importe_cierre_real = 1000;
        c.m_t_usuarios_codigo = kUsuario;
        c.cerrarCaja();
        // The rollback out of the timing: a closing ends with its commit.
        st.PauseTiming();
        t.reset();
        st.ResumeTiming();
    }
}
BENCHMARK(cierreDeUnAnio)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same closing's statements, bare.
void cierreDeUnAnioSentencias(benchmark::State &st)
{
    unAnioSinTomar();
    for (auto _ : st) {
        std::optional<Transaccion> t(std::in_place, *gConexion);
        if (!hayFilas(st, sentenciasDelCierre(g_caja.toLongLong()) > 0))
            return;
        st.PauseTiming();
        t.reset();
        st.ResumeTiming();
    }
}
BENCHMARK(cierreDeUnAnioSentencias)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    abrirComoPrograma(g_club, dir.path());
    // A real day's closing: every booking until today collected or
    // suspended (the generated club leaves one in six of them reserved), the
    // suspended ones taken by an earlier closing of their user.
    const QDate hoy = g_club.hasta().addDays(-1);
    for (const QString &u : {kUsuario, QStringLiteral("recepcion")})
        gConexion->execute("UPDATE reservas SET estado = 'SUS', arqueo_saldo_id = (SELECT MIN(id) FROM caja_cabeza "
                           "WHERE t_usuarios_codigo = ?1) WHERE fecha <= ?2 AND estado NOT IN ('COB', 'SUS') "
                           "AND t_usuarios_codigo = ?1",
                           {u, hoy});
    // As the server's own upkeep would leave the tables after so many changes.
    if (gConexion->esServidor())
        gConexion->compactar();
    g_caja = db_caja_cabeza().getCajaAbiertaId(kUsuario);
    Reloj::fijar(QDateTime(hoy, QTime(23, 0)));
    correrBenchmarks(resto);
    cerrarConexion();
    return 0;
}
