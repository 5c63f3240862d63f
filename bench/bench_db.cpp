// Database benchmarks on a generated club (10 years by default).
//   club_bench [--anios N] [--servidor CARPETA_O_HOST] [benchmark flags]
// The club is generated once per size into the temporary folder (and copied
// once to the server) and every run works on a fresh copy of it. The durable
// sale is the cost a user waits for when confirming a sale. A benchmark whose
// query finds no rows measures nothing and is reported as an error.
#include "Module.h"
#include "Respaldo.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "dbProductos.h"
#include "dbVentas.h"
#include "generar_club.h"
#include "medida.h"
#include "venta_de_cinco.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
TamanioClub g_club;
QString g_ruta;
std::unique_ptr<Conexion> g_db;
DatosServidor g_servidor; // the copy's database, on a server

void ventaDurable(benchmark::State &st)
{
    Conexion &c = *g_db;
    for (auto _ : st) {
        Transaccion t(c);
        c.execute("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, comentarios, "
                  "t_usuarios_codigo) VALUES ('2026-01-01 10:00:00', 1, 540, 540, '', 'admin')");
        Recordset rs = c.openRecordset("SELECT MAX(id) AS last_id FROM ventas");
        const qint64 id = rs.campo(0).entero();
        for (int l = 0; l < 3; ++l) {
            const QString p = QString::asprintf("P%04d", l + 1);
            c.execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario, precio_compra) "
                      "VALUES (?, ?, 1, 180, 100)",
                      {id, p});
            c.execute("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, comentarios, "
                      "t_usuarios_codigo) VALUES ('Egreso', '2026-01-01 10:00:00', ?, ?, -1, '', 'admin')",
                      {p, id});
            if (!hayFilas(st, c.execute("UPDATE productos SET existencia = existencia - 1 WHERE id = ?", {p}) > 0))
                return;
            c.execute("SELECT existencia FROM productos WHERE id = ?", {p});
        }
        c.execute("UPDATE ventas SET comentarios = '' WHERE id = ?", {id});
        t.commit();
    }
}
BENCHMARK(ventaDurable)->Unit(benchmark::kMillisecond);

void ventaDeCincoLineas(benchmark::State &st)
{
    const dbVentas::Venta v = ventaDeCinco();
    for (auto _ : st) {
        Transaccion t(*g_db);
        benchmark::DoNotOptimize(dbVentas::grabar(v));
        t.commit();
    }
}
BENCHMARK(ventaDeCincoLineas)->Unit(benchmark::kMillisecond);

// The same sale in the engine's bare statements, for comparison.
void ventaDeCincoLineasSentencias(benchmark::State &st)
{
    SentenciasPlanas sentencias(*g_db, g_db->esServidor() ? &g_servidor : nullptr);
    const dbVentas::Venta v = ventaDeCinco();
    for (auto _ : st)
        benchmark::DoNotOptimize(grabarConSentencias(sentencias, v));
}
BENCHMARK(ventaDeCincoLineasSentencias)->Unit(benchmark::kMillisecond);

void semanaDeAgenda(benchmark::State &st)
{
    const QDate lunes = lunesDeMedida(g_club);
    for (auto _ : st) {
        Recordset rs = g_db->openRecordset(
            "SELECT * FROM reservas WHERE canchas_id = ? AND fecha >= ? AND fecha <= ? AND estado <> 'SUS'",
            {"C03", lunes, lunes.addDays(6)});
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}
BENCHMARK(semanaDeAgenda)->Unit(benchmark::kMicrosecond);

void ventasDeUnMes(benchmark::State &st)
{
    const QDate mes = mesDeMedida(g_club);
    const QDateTime desde(mes, QTime(0, 0)), hasta(mes.addMonths(1).addDays(-1), QTime(23, 59, 59));
    for (auto _ : st) {
        Recordset rs = g_db->openRecordset(
            "SELECT i.productos_id, sum(i.cantidad), sum(i.cantidad * i.precio_unitario) FROM ventas v "
            "JOIN ventas_items i ON i.ventas_id = v.id WHERE v.fecha >= ? AND v.fecha <= ? GROUP BY i.productos_id",
            {desde, hasta});
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}
BENCHMARK(ventasDeUnMes)->Unit(benchmark::kMillisecond);

// The products list's search, typed in capitals, beside the same statement
// with the engine's lower(), which folds ASCII letters only and so finds the
// same rows only when the accented letters are typed as stored.
void busquedaDeProductos(benchmark::State &st)
{
    for (auto _ : st)
        if (!hayFilas(st, dbProductos::lista(QStringLiteral("MUÑEQUERA")).recordCount() > 0))
            return;
}
BENCHMARK(busquedaDeProductos)->Unit(benchmark::kMicrosecond);

void busquedaDeProductosConLower(benchmark::State &st)
{
    for (auto _ : st) {
        Recordset rs = g_db->openRecordset(
            QStringLiteral("SELECT id, descripcion, precio_compra, precio_venta, existencia, comentarios, activo "
                           "FROM productos WHERE instr(lower(id), lower(?)) > 0 OR instr(lower(descripcion), "
                           "lower(?)) > 0 ORDER BY descripcion") +
                QLatin1String(kCollateEs),
            {QStringLiteral("muñequera"), QStringLiteral("muñequera")});
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}
BENCHMARK(busquedaDeProductosConLower)->Unit(benchmark::kMicrosecond);

void abrirBase(benchmark::State &st)
{
    for (auto _ : st) {
        std::unique_ptr<Conexion> c(Conexion::abrir(g_ruta, Esquema::claveBase()));
        benchmark::DoNotOptimize(c.get());
    }
}

// A backup of the whole club through the open connection, as the menu makes it.
void copiaDeSeguridad(benchmark::State &st)
{
    const QString destino = g_ruta + QStringLiteral(".copia");
    for (auto _ : st)
        Respaldo::copiar(*g_db, destino, Esquema::claveBase());
    st.counters["MB"] = static_cast<double>(QFile(destino).size()) / (1024.0 * 1024.0);
}

// The checks of a restore: copy of the chosen file, password, tables, damage.
void controlDeRestauracion(benchmark::State &st)
{
    const QString origen = g_ruta + QStringLiteral(".origen");
    Respaldo::copiar(*g_db, origen, Esquema::claveBase());
    const QStringList tablas = Respaldo::tablas(*g_db);
    for (auto _ : st)
        QFile::remove(
            Respaldo::prepararRestauracion(origen, g_ruta + QStringLiteral(".destino"), Esquema::claveBase(), tablas));
}

// The compaction the reset runs, on a closed copy of the club.
void compactacion(benchmark::State &st)
{
    const QString copia = g_ruta + QStringLiteral(".compactar");
    for (auto _ : st) {
        st.PauseTiming();
        Respaldo::copiar(*g_db, copia, Esquema::claveBase());
        st.ResumeTiming();
        Respaldo::compactar(copia, Esquema::claveBase());
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    g_db.reset(abrirCopia(g_club, dir.path(), &g_servidor));
    // Opening, copying and compacting are measured on the file: the
    // server's are other tools.
    if (!g_db->esServidor()) {
        g_ruta = g_db->ruta();
        benchmark::RegisterBenchmark("abrirBase", abrirBase)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("copiaDeSeguridad", copiaDeSeguridad)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark("controlDeRestauracion", controlDeRestauracion)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark("compactacion", compactacion)->Unit(benchmark::kMillisecond)->Iterations(3);
    }
    // The data modules' statements run on the program's connection.
    gConexion = g_db.get();
    correrBenchmarks(resto);
    gConexion = nullptr;
    g_db.reset();
    return 0;
}
