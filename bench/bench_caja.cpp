// Benchmarks of the count and the closing of a busy register on a generated
// club (10 years by default): the user "admin" with a year of sales and
// reservation payments that no closing took.
//   club_bench_caja [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// Each is measured beside the bare set-based statements the engine needs for
// the same rows. The closing runs inside a transaction that is rolled back, so
// every iteration closes the same register.
#include "Module.h"
#include "dbArqueo.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"
#include "generar_club.h"
#include "medida.h"
#include "platform/Reloj.h"
#include "sentencias_planas.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
TamanioClub g_club;
DatosServidor g_servidor; // the copy's database, on a server
QString g_caja;
const QString kUsuario = QStringLiteral("admin");

void arqueo(benchmark::State &st)
{
    for (auto _ : st) {
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
BENCHMARK(arqueo)->Unit(benchmark::kMillisecond);

void arqueoSentencias(benchmark::State &st)
{
    for (auto _ : st) {
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
BENCHMARK(arqueoSentencias)->Unit(benchmark::kMillisecond);

void cierre(benchmark::State &st)
{
    for (auto _ : st) {
        Transaccion t(*gConexion);
        db_caja_cabeza c;
        c.load(g_caja);
        c.m_importe_cierre_real = 1000;
        c.m_importe_cierre_teorico = 1000;
        c.cerrarCaja();
        // Rolled back by the guard: the next iteration closes the same register.
    }
}
BENCHMARK(cierre)->Unit(benchmark::kMillisecond);

void cierreSentencias(benchmark::State &st)
{
    const qint64 id = g_caja.toLongLong();
    SentenciasPlanas s(*gConexion, gConexion->esServidor() ? &g_servidor : nullptr);
    for (auto _ : st) {
        s.empezar();
        const QDateTime ahora = Reloj::ahora();
        s.ejecutar("DELETE FROM caja_resumen_operaciones WHERE caja_cabeza_id = ?", {id});
        const QString insertar = "INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, "
                                 "operacion_id, clientes_id, operacion_fecha, descripcion, fecha_hora, importe, "
                                 "comentarios) ";
        s.ejecutar(insertar + "SELECT ?, 'VEN', id, clientes_id, fecha, 'VENTAS', ?, importe_pagado, '' FROM "
                              "ventas WHERE t_usuarios_codigo = ? AND arqueo_id IS NULL",
                   {id, ahora, kUsuario});
        s.ejecutar(insertar + "SELECT ?, 'RES', id, clientes_id, fecha_anticipo, 'Reservas / anticipos', ?, "
                              "importe_anticipo, '' FROM reservas WHERE t_usuarios_codigo = ? AND "
                              "arqueo_anticipo_id IS NULL AND importe_anticipo <> 0 AND importe_anticipo > 0",
                   {id, ahora, kUsuario});
        s.ejecutar(insertar + "SELECT ?, 'TUR', id, clientes_id, fecha, 'Turnos / canchas', ?, importe_saldo, '' "
                              "FROM reservas WHERE t_usuarios_codigo = ? AND arqueo_saldo_id IS NULL AND estado IN "
                              "('COB', 'SUS') AND estado = 'COB'",
                   {id, ahora, kUsuario});
        s.ejecutar("UPDATE caja_cabeza SET importe_cierre_real = 1000, importe_cierre_teorico = 1000, "
                   "fecha_hora_cierre = ?, comentarios = '' WHERE id = ?",
                   {ahora, id});
        s.ejecutar("UPDATE reservas SET arqueo_anticipo_id = ?1 WHERE t_usuarios_codigo = ?2 AND "
                   "arqueo_anticipo_id IS NULL AND importe_anticipo <> 0",
                   {id, kUsuario});
        s.ejecutar("UPDATE reservas SET arqueo_saldo_id = ?1 WHERE t_usuarios_codigo = ?2 AND arqueo_saldo_id IS "
                   "NULL AND estado IN ('COB', 'SUS')",
                   {id, kUsuario});
        const int ventas = s.ejecutar(
            "UPDATE ventas SET arqueo_id = ?1 WHERE t_usuarios_codigo = ?2 AND arqueo_id IS NULL", {id, kUsuario});
        s.ejecutar("INSERT INTO caja_resumen_stock (caja_cabeza_id, fecha_desde, fecha_hasta, producto_id, "
                   "producto_descripcion, cantidad_vendida, cantidad_movimientos_stk, cantidad_inicial, "
                   "existencia_actual) SELECT ?1, c.fecha_hora_apertura, ?2, p.id, p.descripcion, "
                   "-COALESCE(m.vendida, 0), COALESCE(m.manual, 0), p.existencia - COALESCE(m.vendida, 0) - "
                   "COALESCE(m.manual, 0), p.existencia FROM caja_cabeza c, productos p LEFT JOIN (SELECT "
                   "productos_id, SUM(CASE WHEN ventas_id IS NULL THEN cantidad END) AS manual, SUM(CASE WHEN "
                   "ventas_id IS NOT NULL THEN cantidad END) AS vendida FROM movimientos_stock, caja_cabeza c2 "
                   "WHERE c2.id = ?1 AND fecha >= c2.fecha_hora_apertura AND fecha <= ?2 GROUP BY productos_id) m "
                   "ON m.productos_id = p.id WHERE c.id = ?1 AND p.activo = 1",
                   {id, ahora});
        s.deshacer();
        if (!hayFilas(st, ventas > 0))
            return;
    }
}
BENCHMARK(cierreSentencias)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    abrirComoPrograma(g_club, dir.path(), &g_servidor);
    // A busy register: a year of admin's sales and payments not yet taken.
    const QString desde = g_club.hasta().addYears(-1).toString(Qt::ISODate);
    gConexion->execute("UPDATE ventas SET arqueo_id = NULL WHERE t_usuarios_codigo = ? AND fecha >= ?",
                       {kUsuario, desde});
    gConexion->execute(
        "UPDATE reservas SET arqueo_anticipo_id = NULL, arqueo_saldo_id = NULL WHERE t_usuarios_codigo = ? "
        "AND fecha >= ?",
        {kUsuario, desde});
    g_caja = db_caja_cabeza().getCajaAbiertaId(kUsuario);
    Reloj::fijar(QDateTime(g_club.hasta().addDays(-1), QTime(23, 0)));
    correrBenchmarks(resto);
    cerrarConexion();
    return 0;
}
