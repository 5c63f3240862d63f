// Two stations on one database: each its own connection, as two copies of
// the program on two machines.
#include "ConfigPrograma.h"
#include "ReglasReserva.h"
#include "Respaldo.h"
#include "RespaldoServidor.h"
#include "db/Esquema.h"
#include "dbVentas.h"
#include "platform/Formatos.h"
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

using EstacionesTest = Entorno;

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
    using ReglasReserva::Reserva;
    auto reserva = [](const QString &cancha, const QString &horario, const QDate &fecha, int semanas = 0) {
        Reserva r;
        r.clientes_id = "1";
        r.canchas_id = cancha;
        r.horarios_id = horario;
        r.estado = "RES";
        r.fecha = fecha;
        r.total = 100;
        r.permanente = semanas > 0;
        r.semanas = semanas;
        return r;
    };
    const QDateTime ahora(QDate(2024, 3, 15), QTime(10, 0));
    std::unique_ptr<Conexion> primera = otraEstacion();
    std::unique_ptr<Conexion> mirador = otraEstacion();
    const qint64 pid = db().openRecordset("SELECT pg_backend_pid()").campo(0).entero();
    // The first station has saved r and not committed yet when this one
    // saves otra on its own connection: it must wait for the first to end.
    auto aLaVez = [&](const Reserva &r, const Reserva &otra) {
        ReglasReserva::Resultado rechazo;
        QString error;
        Transaccion t(*primera);
        ReglasReserva::guardar(*primera, r, "ana", ahora);
        std::atomic<bool> terminada{false};
        std::thread segunda([&] {
            try {
                ReglasReserva::guardar(otra, "luis", ahora);
            } catch (const ReglasReserva::Rechazada &e) {
                rechazo = e.resultado;
            } catch (const DbError &e) {
                error = e.mensaje();
            }
            terminada = true;
        });
        const QDeadlineTimer limite(5000);
        bool espera = false;
        while (!espera && !terminada && !limite.hasExpired())
            espera = mirador
                         ->openRecordset("SELECT count(*) FROM pg_locks WHERE pid = ? AND locktype = 'advisory' "
                                         "AND NOT granted",
                                         {pid})
                         .campo(0)
                         .entero() > 0;
        EXPECT_TRUE(espera) << "la segunda estación no esperó a la primera";
        t.commit();
        segunda.join();
        EXPECT_EQ(error, QString());
        return rechazo;
    };
    const QString serie = valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'");

    // The same turn, in other letters: refused as the check refuses it.
    ReglasReserva::Resultado r =
        aLaVez(reserva("C1", "H1", QDate(2024, 3, 20)), reserva("c1", "h1", QDate(2024, 3, 20)));
    EXPECT_EQ(r.control, 7);
    EXPECT_EQ(r.mensaje, "Existe una reserva para esta cancha, día y horario.\r\n"
                         "Para poder pisarla es necesario marcar la existente como SUSPENDIDA.");
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 1);
    // A series whose third week the first station took meanwhile: told the
    // date, refused, nothing written and no series number spent.
    r = aLaVez(reserva("C1", "H2", QDate(2024, 4, 3)), reserva("C1", "H2", QDate(2024, 3, 20), 3));
    EXPECT_EQ(r.control, 8);
    EXPECT_EQ(r.aviso, "Cancha / horario reservado: " + Formatos::fecha(QDate(2024, 4, 3)));
    EXPECT_EQ(r.mensaje, "La registración de esta reserva permanente pisaría otra reserva existente.");
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 2);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), serie);
    EXPECT_FALSE(db().enTransaccion());
    // Two other slots of the court, both free: both saved, one after the other.
    EXPECT_EQ(aLaVez(reserva("C1", "H3", QDate(2024, 3, 20)), reserva("C1", "H4", QDate(2024, 3, 20), 2)).control, 0);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas"), 6);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"),
              QString::number(serie.toInt() + 1));

    // A server made by an earlier version kept one live booking per turn:
    // opened again, it lets an edited booking move onto a taken slot.
    db().execute("CREATE UNIQUE INDEX ux_reservas_turno_vivo ON reservas (canchas_id, fecha, horarios_id) "
                 "WHERE estado IN ('RES', 'COB')");
    cerrarConexion();
    abrirConexion();
    Reserva movida = reserva("C1", "H1", QDate(2024, 3, 20));
    movida.id = valor("SELECT id FROM reservas WHERE horarios_id = 'H3'");
    ReglasReserva::guardar(movida, "ana", ahora);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas WHERE canchas_id = 'C1' AND horarios_id = 'H1' "
                     "AND estado = 'RES'"),
              2);
    EXPECT_EQ(contar("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() "
                     "AND indexname = 'ux_reservas_turno_vivo'"),
              0);
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

TEST_F(EstacionesTest, UnServidorAnteriorSePoneAlDiaAlAbrirseYUnoAlDiaSoloSeLee)
{
    if (!enServidor())
        GTEST_SKIP() << "el archivo anterior se pone al día en ConexionTest";
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) VALUES (5, 'C1', '2024-03-20', "
                 "'H1'), (5, 'C1', '2024-03-21', 'H1'), (5, 'C2', '2024-03-22', 'H1'), (6, 'C2', '2024-03-20', 'H2')");
    // A schema as earlier versions left it: no numbering triggers nor their
    // function (a client written with its own number left the numbering
    // behind), a count trigger, the view of steps and an index missing,
    // the function of steps written otherwise and unmarked, one table of
    // counts emptied and the other missing, and the retired index.
    for (const QString &t : filas("SELECT t.tgname || ' ON ' || c.relname FROM pg_trigger t JOIN pg_class c ON "
                                  "c.oid = t.tgrelid JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                                  "n.nspname = current_schema() AND t.tgname LIKE '%numeracion'",
                                  {}, "", "\n")
                                .split('\n'))
        db().execute("DROP TRIGGER " + t);
    db().execute("DROP FUNCTION numeracion_sigue");
    db().execute("INSERT INTO clientes (id, nombre) VALUES (50, 'Dado a mano')");
    db().execute("DROP TRIGGER tr_reservas_cuenta_baja ON reservas");
    db().execute("DROP VIEW reservas_cuenta_paso");
    db().execute("DROP INDEX ix_reservas_cliente_fecha");
    db().execute("CREATE OR REPLACE FUNCTION reservas_cuenta_paso(cliente BIGINT, cancha CITEXT, paso BIGINT) "
                 "RETURNS void LANGUAGE plpgsql AS $$ BEGIN END $$");
    db().execute("COMMENT ON FUNCTION reservas_cuenta_paso IS NULL");
    db().execute("DELETE FROM reservas_por_cliente");
    db().execute("DROP TABLE reservas_por_cliente_cancha");
    db().execute("CREATE UNIQUE INDEX ux_reservas_turno_vivo ON reservas (canchas_id, fecha, horarios_id)");
    db().execute("DROP INDEX ix_reservas_arqueo_saldo_tomado");
    db().execute("CREATE INDEX ix_reservas_arqueo_saldo ON reservas (arqueo_saldo_id)");

    // This station opens it as another does: both open, one after the other.
    cerrarConexion();
    std::unique_ptr<Conexion> otra = otraEstacion();
    QString error;
    std::thread segunda([&] {
        try {
            Esquema::actualizar(*otra);
        } catch (const DbError &e) {
            error = e.mensaje();
        }
    });
    abrirConexion();
    segunda.join();
    EXPECT_EQ(error, QString());
    const QString cuentas = "SELECT string_agg(f, ' ' ORDER BY f) FROM (SELECT clientes_id || ':' || cantidad || ':' "
                            "|| cancha_frecuente_id AS f FROM reservas_por_cliente UNION ALL SELECT clientes_id || "
                            "'/' || canchas_id || ':' || cantidad FROM reservas_por_cliente_cancha) AS t";
    EXPECT_EQ(valor(cuentas), "5/C1:2 5/C2:1 5:3:C1 6/C2:1 6:1:C2");
    EXPECT_EQ(contar("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN "
                     "('ix_reservas_cliente_fecha', 'ix_reservas_por_cliente_cancha_cantidad')"),
              2);
    EXPECT_EQ(contar("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() "
                     "AND indexname = 'ux_reservas_turno_vivo'"),
              0);
    // The stamps of the closings indexed only where stamped, under the new name.
    EXPECT_EQ(valor("SELECT string_agg(indexname, ' ' ORDER BY indexname) FROM pg_indexes WHERE schemaname = "
                    "current_schema() AND indexname LIKE 'ix_reservas_arqueo_saldo%' AND indexdef LIKE "
                    "'%IS NOT NULL%'"),
              "ix_reservas_arqueo_saldo_tomado");
    EXPECT_EQ(contar("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() "
                     "AND indexname = 'ix_reservas_arqueo_saldo'"),
              0);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas_cuenta_paso"), 0);
    // The triggers and their function work again: a court taken, another added.
    db().execute("DELETE FROM reservas WHERE canchas_id = 'C1' AND fecha = '2024-03-21'");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) VALUES (6, 'C3', '2024-03-23', "
                 "'H1'), (6, 'C3', '2024-03-24', 'H1')");
    EXPECT_EQ(valor(cuentas), "5/C1:1 5/C2:1 5:2:C1 6/C2:1 6/C3:2 6:3:C3");
    // New numbers go on after the one given by hand, and after a later one.
    db().execute("INSERT INTO clientes (nombre) VALUES ('Nuevo')");
    EXPECT_EQ(contar("SELECT id FROM clientes WHERE nombre = 'Nuevo'"), 51);
    db().execute("INSERT INTO clientes (id, nombre) VALUES (70, 'Otro a mano')");
    db().execute("INSERT INTO clientes (nombre) VALUES ('Siguiente')");
    EXPECT_EQ(contar("SELECT id FROM clientes WHERE nombre = 'Siguiente'"), 71);

    // Opened again, up to date: no object of the schema, print or count is
    // written anew.
    const QString escrito =
        "WITH e AS (SELECT oid FROM pg_namespace WHERE nspname = current_schema()), o AS ("
        "SELECT oid, xmin FROM pg_class WHERE relnamespace = (SELECT oid FROM e) UNION ALL "
        "SELECT oid, xmin FROM pg_proc WHERE pronamespace = (SELECT oid FROM e) UNION ALL "
        "SELECT t.oid, t.xmin FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid "
        "WHERE c.relnamespace = (SELECT oid FROM e)) "
        "SELECT (SELECT count(*) FROM o) || ' ' || (SELECT string_agg(o.oid || ':' || o.xmin || ':' || "
        "COALESCE(d.xmin::text, ''), ' ' ORDER BY o.oid) FROM o LEFT JOIN pg_description d ON d.objoid = o.oid) "
        "|| ' ' || (SELECT string_agg(xmin::text, ' ') FROM reservas_por_cliente)";
    const QString antes = valor(escrito);
    abrirConexion();
    EXPECT_EQ(valor(escrito), antes);
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
