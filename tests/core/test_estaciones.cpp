// Two stations on one database: each its own connection, as two copies of
// the program on two machines.
#include "ConfigPrograma.h"
#include "Respaldo.h"
#include "RespaldoServidor.h"
#include "dbVentas.h"
#include "support/Entorno.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

namespace {

class EstacionesTest : public Entorno {
protected:
    // A second station's connection to the same database.
    static std::unique_ptr<Conexion> otraEstacion()
    {
        DatosServidor d;
        if (ConfigPrograma::baseEnServidor(d))
            return std::unique_ptr<Conexion>(Conexion::abrirServidor(d));
        return std::unique_ptr<Conexion>(Conexion::abrir(gRutaBase, gClaveBase));
    }
};

TEST_F(EstacionesTest, DosEstacionesNumerandoALaVezNuncaRecibenElMismoNumero)
{
    constexpr int kPorEstacion = 25;
    std::vector<qint64> numeros[2];
    QString errores[2];
    {
        std::unique_ptr<Conexion> a = otraEstacion();
        std::unique_ptr<Conexion> b = otraEstacion();
        auto numerar = [&](Conexion *c, int i) {
            try {
                for (int n = 0; n < kPorEstacion; ++n)
                    numeros[i].push_back(ProximoNumero(*c, QStringLiteral("CJA")));
            } catch (const DbError &e) {
                errores[i] = e.mensaje();
            }
        };
        std::thread ta(numerar, a.get(), 0);
        std::thread tb(numerar, b.get(), 1);
        ta.join();
        tb.join();
    }
    EXPECT_EQ(errores[0], QString());
    EXPECT_EQ(errores[1], QString());
    QSet<qint64> todos;
    for (const auto &l : numeros)
        for (qint64 n : l)
            todos.insert(n);
    EXPECT_EQ(todos.size(), 2 * kPorEstacion);
    for (qint64 n = 1; n <= 2 * kPorEstacion; ++n)
        EXPECT_TRUE(todos.contains(n)) << n;
    EXPECT_EQ(contar("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), 2 * kPorEstacion + 1);
    // A number taken in a transaction that is undone is handed out again.
    {
        Transaccion t(db());
        EXPECT_EQ(ProximoNumero(QStringLiteral("CJA")), 2 * kPorEstacion + 1);
    }
    EXPECT_EQ(ProximoNumero(QStringLiteral("CJA")), 2 * kPorEstacion + 1);
}

TEST_F(EstacionesTest, DosEstacionesNoReservanElMismoTurnoLibreALaVez)
{
    if (!enServidor())
        GTEST_SKIP() << "en el archivo una sola estación escribe a la vez";
    const QString alta = QStringLiteral(
        "INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) VALUES (1, ?, '2024-03-20', ?, ?)");
    std::unique_ptr<Conexion> otra = otraEstacion();
    {
        // The first station books and has not committed yet: the second
        // waits for it and is told the turn is locked.
        Transaccion t(db());
        db().execute(alta, {QStringLiteral("C1"), QStringLiteral("H1"), QStringLiteral("RES")});
        EXPECT_EQ(numeroDeError([&] {
                      otra->execute(alta, {QStringLiteral("c1"), QStringLiteral("H1"), "RES"});
                  }),
                  3260);
        t.commit();
    }
    // Once it is committed, the turn is taken: a duplicate, in any letter case.
    EXPECT_EQ(numeroDeError([&] { otra->execute(alta, {QStringLiteral("c1"), QStringLiteral("h1"), "COB"}); }), 3022);
    // A suspended reservation holds no turn; another slot is free.
    otra->execute(alta, {QStringLiteral("C1"), QStringLiteral("H1"), QStringLiteral("SUS")});
    otra->execute(alta, {QStringLiteral("C1"), QStringLiteral("H2"), QStringLiteral("RES")});
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 3);
    // A failed statement inside a transaction leaves it usable, as on the file.
    Transaccion t(*otra);
    EXPECT_EQ(numeroDeError([&] { otra->execute(alta, {QStringLiteral("C1"), QStringLiteral("H2"), "RES"}); }), 3022);
    otra->execute(alta, {QStringLiteral("C1"), QStringLiteral("H3"), QStringLiteral("RES")});
    t.commit();
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 4);
}

TEST_F(EstacionesTest, UnaVentaAnuladaMientrasOtraEstacionCierraLaCajaSeAvisa)
{
    if (!enServidor())
        GTEST_SKIP() << "en el archivo una sola estación escribe a la vez";
    db().execute("INSERT INTO ventas (id, fecha, importe_total, t_usuarios_codigo) "
                 "VALUES (7, '2024-03-15 10:00:00', 100, 'admin')");
    std::unique_ptr<Conexion> cierre = otraEstacion();
    std::unique_ptr<Conexion> mirador = otraEstacion();
    // The closing at the other station has taken the sale, not committed yet.
    Transaccion tc(*cierre);
    cierre->execute("UPDATE ventas SET arqueo_id = 3 WHERE arqueo_id IS NULL");
    std::atomic<qint64> visto{-1};
    QString error;
    std::thread anulacion([&] {
        try {
            Transaccion t(*gConexion);
            visto = dbVentas::arqueoDe(7);
        } catch (const DbError &e) {
            error = e.mensaje();
        }
    });
    // The cancellation waits for the closing's lock before the closing commits.
    const QDeadlineTimer limite(5000);
    while (mirador->openRecordset("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock'")
                   .campo(0)
                   .entero() == 0 &&
           !limite.hasExpired())
        QThread::yieldCurrentThread();
    tc.commit();
    anulacion.join();
    EXPECT_EQ(error, QString());
    EXPECT_EQ(visto, 3);
}

TEST_F(EstacionesTest, ElResetVaciaLasOperacionesYLosRecuentosSiguen)
{
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) "
                 "VALUES (1, 'C1', '2024-03-20', 'H1', 'RES')");
    db().execute("INSERT INTO ventas (importe_total) VALUES (20)");
    ASSERT_EQ(contar("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 1"), 1);
    {
        Transaccion t(db());
        Respaldo::borrarOperaciones();
        t.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas_por_cliente"), 0);
    // The counts go on with the next reservations.
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) "
                 "VALUES (1, 'C2', '2024-03-21', 'H1', 'RES')");
    EXPECT_EQ(contar("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 1"), 1);
    EXPECT_EQ(valor("SELECT cancha_frecuente_id FROM reservas_por_cliente WHERE clientes_id = 1"), "C2");
}

} // namespace

namespace {

class CopiasEnServidorTest : public EstacionesTest {};

TEST_F(CopiasEnServidorTest, LaCopiaSeRestauraYUnArchivoQueNoEsCopiaNoCambiaNada)
{
    if (!enServidor())
        GTEST_SKIP() << "las copias del archivo se prueban con el archivo";
    DatosServidor d;
    ASSERT_TRUE(ConfigPrograma::baseEnServidor(d));
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
    const QString copia = carpeta() + "/club.copia";
    RespaldoServidor::copiar(d, copia);
    ASSERT_TRUE(QFileInfo::exists(copia));
    EXPECT_FALSE(QFileInfo::exists(copia + ".copiando"));
    db().execute("UPDATE canchas SET descripcion = 'Cambiada'");
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C2', 'Nueva')");

    // A file that is not a copy is refused and the data stays as it is.
    const QString ajeno = carpeta() + "/ajeno.copia";
    QFile f(ajeno);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no es una copia");
    f.close();
    EXPECT_NE(numeroDeError([&] { RespaldoServidor::restaurar(d, ajeno); }), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM canchas"), 2);

    // The copy puts back the data it holds, with the counts' triggers.
    cerrarConexion();
    RespaldoServidor::restaurar(d, copia);
    abrirConexion();
    EXPECT_EQ(valor("SELECT descripcion FROM canchas"), "Central");
    EXPECT_EQ(contar("SELECT count(*) FROM canchas"), 1);
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) "
                 "VALUES (1, 'C1', '2024-03-20', 'H1', 'RES')");
    EXPECT_EQ(contar("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 1"), 1);
}

} // namespace
