// The same work on both engines: the encrypted file and a PostgreSQL server.
//   club_bench_motores [--servidor CARPETA_O_HOST] [benchmark flags]
// Each engine gets a fresh club database with 20 products (on the server, a
// schema of its own in the database "club" of user "club"; the password, if
// any, from ~/.pgpass). Each operation of the program is measured beside the
// bare statements that give the same result on the same engine.
#include "Module.h"
#include "club_servidor.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "dbVentas.h"
#include "generar_club.h"
#include "medida.h"
#include "venta_de_cinco.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

namespace {

std::unique_ptr<Conexion> g_motores[2];
const char *const kNombres[] = {"archivo", "servidor"};
DatosServidor g_servidor; // the server's schema of the benchmark

void preparar(Conexion &c)
{
    Transaccion t(c);
    for (int p = 1; p <= 20; ++p)
        c.execute("INSERT INTO productos (id, descripcion, precio_venta, existencia) VALUES (?, ?, 1234.5, 1000000)",
                  {QString::asprintf("P%04d", p), QString::asprintf("Producto %d", p)});
    t.commit();
}

// The durable sale of five lines as the sale window writes it.
void venta(benchmark::State &st, Conexion *c)
{
    gConexion = c;
    const dbVentas::Venta v = ventaDeCinco();
    for (auto _ : st) {
        Transaccion t(*c);
        benchmark::DoNotOptimize(dbVentas::grabar(v));
        t.commit();
    }
    gConexion = nullptr;
}

// The same rows in the engine's bare statements (venta_de_cinco.h).
void ventaSentencias(benchmark::State &st, Conexion *c)
{
    SentenciasPlanas sentencias(*c, c->esServidor() ? &g_servidor : nullptr);
    const dbVentas::Venta v = ventaDeCinco();
    for (auto _ : st)
        benchmark::DoNotOptimize(grabarConSentencias(sentencias, v));
}

// A number of the counter of registers, in a transaction of its own.
void numero(benchmark::State &st, Conexion *c)
{
    for (auto _ : st)
        benchmark::DoNotOptimize(ProximoNumero(*c, QStringLiteral("CJA")));
}

// The same number with the engine's bare statements: on a server one
// statement, which advances and reads at once; the file's engine has no
// RETURNING, so the advance and the read share a transaction.
void numeroSentencia(benchmark::State &st, Conexion *c)
{
    SentenciasPlanas s(*c, c->esServidor() ? &g_servidor : nullptr);
    const QString avanzar = QStringLiteral("UPDATE t_numeradores SET numero_siguiente = numero_siguiente + 1 WHERE id "
                                           "= 'CJA'");
    for (auto _ : st) {
        if (s.enServidor()) {
            benchmark::DoNotOptimize(s.valor(avanzar + QStringLiteral(" RETURNING numero_siguiente - 1")));
            continue;
        }
        s.empezar();
        s.ejecutar(avanzar);
        benchmark::DoNotOptimize(
            s.valor(QStringLiteral("SELECT numero_siguiente - 1 FROM t_numeradores WHERE id = 'CJA'")));
        s.confirmar();
    }
}

// The sales of the products over every sale so far, by product.
void ventasPorProducto(benchmark::State &st, Conexion *c)
{
    for (auto _ : st) {
        Recordset rs = c->openRecordset("SELECT i.productos_id, sum(i.cantidad), sum(i.cantidad * i.precio_unitario) "
                                        "FROM ventas v JOIN ventas_items i ON i.ventas_id = v.id "
                                        "GROUP BY i.productos_id ORDER BY i.productos_id");
        if (!hayFilas(st, rs.recordCount() > 0))
            return;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<char *> resto;
    // Only the server is taken from the arguments: the club is a fresh one.
    const TamanioClub club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    const QString ruta = dir.path() + QStringLiteral("/db_main.mdb");
    Esquema::crearBase(ruta);
    g_motores[0].reset(Conexion::abrir(ruta, Esquema::claveBase()));
    if (!club.servidor.isEmpty()) {
        g_servidor = baseDeMedida(club, QStringLiteral("club"));
        g_servidor.esquema = QStringLiteral("bench_%1").arg(QCoreApplication::applicationPid());
        Esquema::crearBaseServidor(g_servidor);
        g_motores[1].reset(Conexion::abrirServidor(g_servidor));
    }
    for (int m = 0; m < 2; ++m) {
        Conexion *c = g_motores[m].get();
        if (!c)
            continue;
        preparar(*c);
        const std::string n = kNombres[m];
        benchmark::RegisterBenchmark((n + "/venta").c_str(), venta, c)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((n + "/ventaSentencias").c_str(), ventaSentencias, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((n + "/numero").c_str(), numero, c)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((n + "/numeroSentencia").c_str(), numeroSentencia, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((n + "/ventasPorProducto").c_str(), ventasPorProducto, c)
            ->Unit(benchmark::kMillisecond);
    }
    correrBenchmarks(resto);
    return 0;
}
