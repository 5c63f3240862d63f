// A register closed at one station while another writes what the closing
// sums: a sale of the register cancelled, a cash movement, a balance
// collected. Each round one of them holds its transaction open while the
// other starts, so on a server the second waits for the first; the closing's
// snapshot must be what it stamped, whichever came first.
#include "ReglasReserva.h"
#include "dbVentas.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"
#include "platform/Reloj.h"
#include "support/Entorno.h"

#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

enum class Escritura { Anulacion, Movimiento, Cobro };

class CierreEstacionesTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        db().execute("INSERT INTO productos (id, descripcion, existencia, activo) VALUES ('P1', 'Pelota', 10, 1)");
    }

    // On the server: true once the backend pid waits for a lock, looked at
    // until the side that may wait has ended or five seconds have passed.
    // On the file the second transaction cannot begin before the first ends,
    // which nothing outside the engine can see: false.
    static bool esperaUnBloqueo(Conexion &mirador, qint64 pid, const std::atomic<bool> &terminado)
    {
        if (!enServidor())
            return false;
        const QDeadlineTimer limite(5000);
        while (!terminado && !limite.hasExpired()) {
            if (mirador.openRecordset("SELECT count(*) FROM pg_locks WHERE pid = ? AND NOT granted", {pid})
                    .campo(0)
                    .entero() > 0)
                return true;
            QThread::yieldCurrentThread();
        }
        return false;
    }
    static qint64 pid(Conexion &c)
    {
        return enServidor() ? c.openRecordset("SELECT pg_backend_pid()").campo(0).entero() : 0;
    }

    // ana's register `caja` with its opening of 100, her sales of 60 and of 30
    // (one line of P1), and a booking of hers to be collected (balance 100).
    void prepararRonda(qint64 caja)
    {
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                     "VALUES (?, '2024-03-15 08:00:00', 100, 'ana')",
                     {caja});
        db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                     "importe, t_usuarios_codigo) VALUES (?, 'INI', '2024-03-15 08:00:00', 'INI', 100, 'ana')",
                     {caja});
        db().execute("INSERT INTO ventas (id, fecha, importe_total, importe_pagado, t_usuarios_codigo) VALUES "
                     "(?, '2024-03-15 09:00:00', 60, 60, 'ana'), (?, '2024-03-15 09:30:00', 30, 30, 'ana')",
                     {caja * 10 + 1, venta(caja)});
        db().execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario) "
                     "VALUES (?, 'P1', 1, 30)",
                     {venta(caja)});
        db().execute("INSERT INTO reservas (id, clientes_id, canchas_id, fecha, horarios_id, estado, "
                     "importe_anticipo, importe_total, importe_saldo, t_usuarios_codigo) "
                     "VALUES (?, 1, 'C1', '2024-03-15', 'H1', 'RES', 0, 100, 100, 'ana')",
                     {caja});
    }
    static qint64 venta(qint64 caja) { return caja * 10 + 2; }

    // The write at the other station; true when it was done, false when
    // refused.
    static bool escribir(Conexion &c, Escritura e, qint64 caja)
    {
        const QDateTime ahora = Reloj::ahora();
        switch (e) {
        case Escritura::Anulacion: return dbVentas::anular(c, venta(caja), "devuelta", "luis", ahora).hecha();
        case Escritura::Movimiento: {
            db_caja_movimientos m;
            m.m_mov_tipo = "ING";
            m.m_caja_conceptos_id = "BAR";
            m.m_fecha_hora = ahora;
            m.m_importe = 50;
            m.m_t_usuarios_codigo = "ana";
            return m.registrar(c);
        }
        case Escritura::Cobro: {
            ReglasReserva::Reserva r;
            r.id = QString::number(caja);
            r.clientes_id = "1";
            r.canchas_id = "C1";
            r.horarios_id = "H1";
            r.estado = "COB";
            r.fecha = QDate(2024, 3, 15);
            r.total = 100;
            ReglasReserva::guardar(c, r, "ana", ahora);
            return true;
        }
        }
        return false;
    }
    static void cerrar(qint64 caja)
    {
        Transaccion t(*gConexion);
        db_caja_cabeza c;
        ASSERT_TRUE(c.load(QString::number(caja)));
        c.m_importe_cierre_real = 1;
        c.m_t_usuarios_codigo = "ana";
        c.cerrarCaja();
        t.commit();
    }

    // What the closing of caja snapshot, and the rows it stamped, each as
    // "concept:operation:amount" in one order.
    QString resumen(qint64 caja)
    {
        return filas("SELECT caja_conceptos_id, operacion_id, importe FROM caja_resumen_operaciones "
                     "WHERE caja_cabeza_id = ? ORDER BY caja_conceptos_id, operacion_id",
                     {caja}, ":");
    }
    QString sellados(qint64 caja)
    {
        return filas("SELECT c, o, i FROM (SELECT 'RES' AS c, CAST(id AS TEXT) AS o, importe_anticipo AS i "
                     "FROM reservas WHERE arqueo_anticipo_id = ?1 AND importe_anticipo > 0 UNION ALL "
                     "SELECT 'TUR', CAST(id AS TEXT), importe_saldo FROM reservas WHERE arqueo_saldo_id = ?1 "
                     "AND estado = 'COB' UNION ALL SELECT 'VEN', CAST(id AS TEXT), importe_pagado FROM ventas "
                     "WHERE arqueo_id = ?1) AS s ORDER BY c, o",
                     {caja}, ":");
    }
};

TEST_F(CierreEstacionesTest, ElCierreSumaLoQueSellaAunqueOtraEstacionEscribaALaVez)
{
    std::unique_ptr<Conexion> otra = otraEstacion();
    std::unique_ptr<Conexion> mirador = otraEstacion();
    const qint64 pidCierre = pid(db());
    const qint64 pidOtra = pid(*otra);
    constexpr int kRondas = 48;
    int coherentes = 0;
    for (int ronda = 0; ronda < kRondas; ++ronda) {
        const qint64 caja = ronda + 1;
        const Escritura e = static_cast<Escritura>(ronda % 3);
        const bool escrituraPrimero = ronda / 3 % 2 == 0;
        SCOPED_TRACE(testing::Message() << "ronda " << ronda << (escrituraPrimero ? " escritura" : " cierre")
                                        << " primero, escritura " << static_cast<int>(e));
        prepararRonda(caja);
        const double existencia = valor("SELECT existencia FROM productos").toDouble();

        std::atomic<bool> terminado{false};
        bool hecha = false;
        bool espero = false;
        QString error;
        auto atrapar = [&](const std::function<void()> &f) {
            try {
                f();
            } catch (const DbError &ex) {
                error = ex.mensaje();
            }
            terminado = true;
        };
        if (escrituraPrimero) {
            // The other station has written and not committed yet when
            // this one starts closing.
            Transaccion t(*otra);
            hecha = escribir(*otra, e, caja);
            std::thread cierre([&] { atrapar([&] { cerrar(caja); }); });
            espero = esperaUnBloqueo(*mirador, pidCierre, terminado);
            t.commit();
            cierre.join();
        } else {
            Transaccion t(db());
            cerrar(caja);
            std::thread escritura([&] { atrapar([&] { hecha = escribir(*otra, e, caja); }); });
            espero = esperaUnBloqueo(*mirador, pidOtra, terminado);
            t.commit();
            escritura.join();
        }
        EXPECT_EQ(error, QString());
        // On the server the second always waited for the first.
        EXPECT_EQ(espero, enServidor());
        EXPECT_FALSE(valor("SELECT fecha_hora_cierre FROM caja_cabeza WHERE id = ?", {caja}).isEmpty());

        // What each write came to: before the closing it is summed; after it
        // a cancellation or movement is refused and a collected balance
        // waits for the next closing.
        const QString porVenta = filas("SELECT importe_pagado, arqueo_id FROM ventas WHERE id = ?", {venta(caja)});
        const QString cobro = filas("SELECT estado, arqueo_saldo_id FROM reservas WHERE id = ?", {caja});
        bool esperado = true;
        switch (e) {
        case Escritura::Anulacion:
            esperado = hecha == escrituraPrimero &&
                       porVenta == (escrituraPrimero ? "0|" : "30|") + QString::number(caja) &&
                       valor("SELECT existencia FROM productos").toDouble() == existencia + (hecha ? 1 : 0);
            break;
        case Escritura::Movimiento:
            esperado = hecha == escrituraPrimero &&
                       contar("SELECT count(*) FROM caja_movimientos WHERE caja_cabeza_id = ? AND importe = 50",
                              {caja}) == (escrituraPrimero ? 1 : 0);
            break;
        case Escritura::Cobro:
            esperado = hecha && cobro == (escrituraPrimero ? "COB|" + QString::number(caja) : QString("COB|null"));
            break;
        }
        EXPECT_TRUE(esperado) << porVenta.toStdString() << " " << cobro.toStdString();
        // The snapshot is what was stamped, and the expected amount its sum
        // plus the register's own movements.
        const QString r = resumen(caja);
        EXPECT_EQ(r.toStdString(), sellados(caja).toStdString());
        const double teorico = valor("SELECT importe_cierre_teorico FROM caja_cabeza WHERE id = ?", {caja}).toDouble();
        const double suma = valor("SELECT (SELECT COALESCE(SUM(importe), 0) FROM caja_movimientos WHERE "
                                  "caja_cabeza_id = ?1) + (SELECT COALESCE(SUM(importe), 0) FROM "
                                  "caja_resumen_operaciones WHERE caja_cabeza_id = ?1)",
                                  {caja})
                                .toDouble();
        EXPECT_DOUBLE_EQ(teorico, suma);
        if (error.isEmpty() && esperado && r == sellados(caja) && teorico == suma)
            ++coherentes;
    }
    std::printf("rondas: %d, coherentes: %d\n", kRondas, coherentes);
    EXPECT_EQ(coherentes, kRondas);
}

// Opening a register and reopening one (cancelling its closing) for the same
// user at two stations at once: whichever comes first, the user is left with
// one open register and the second is refused.
TEST_F(CierreEstacionesTest, DosEstacionesNoDejanAlUsuarioConDosCajasAbiertas)
{
    db().execute("INSERT OR IGNORE INTO t_usuarios (Codigo, Descripcion) VALUES ('ana', 'Ana')");
    std::unique_ptr<Conexion> otra = otraEstacion();
    std::unique_ptr<Conexion> mirador = otraEstacion();
    enum class Paso { Abrir, Anular };
    const std::pair<Paso, Paso> casos[] = {
        {Paso::Abrir, Paso::Abrir}, {Paso::Abrir, Paso::Anular}, {Paso::Anular, Paso::Abrir}};
    qint64 nueva = 100;
    // A reopening runs on this station's connection, an opening on either.
    auto dar = [&](Conexion &c, Paso p) {
        if (p == Paso::Anular) {
            try {
                return db_caja_cabeza().anulaCierre("1");
            } catch (const DbError &e) {
                EXPECT_TRUE(e.mensaje().contains("posee la caja")) << e.mensaje().toStdString();
                return false;
            }
        }
        db_caja_cabeza cab;
        cab.m_id = QString::number(++nueva);
        cab.m_fecha_hora_apertura = QDateTime(QDate(2024, 3, 15), QTime(8, 0));
        cab.m_t_usuarios_codigo = "ana";
        return cab.abrir(c);
    };
    for (const auto &[primero, segundo] : casos) {
        SCOPED_TRACE(testing::Message() << "primero " << static_cast<int>(primero) << ", segundo "
                                        << static_cast<int>(segundo));
        // ana's register of the day before, closed; none open.
        db().execute("DELETE FROM caja_cabeza");
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, fecha_hora_cierre, t_usuarios_codigo) "
                     "VALUES (1, '2024-03-14 08:00:00', '2024-03-14 20:00:00', 'ana')");
        Conexion &retenida = primero == Paso::Abrir ? *otra : db();
        Conexion &siguiente = primero == Paso::Abrir ? db() : *otra;
        const qint64 pidSiguiente = pid(siguiente);
        std::atomic<bool> terminado{false};
        bool hechoPrimero = false;
        bool hechoSegundo = true;
        QString error;
        bool espero = false;
        {
            Transaccion t(retenida);
            hechoPrimero = dar(retenida, primero);
            std::thread otraVez([&] {
                try {
                    hechoSegundo = dar(siguiente, segundo);
                } catch (const DbError &e) {
                    error = e.mensaje();
                }
                terminado = true;
            });
            espero = esperaUnBloqueo(*mirador, pidSiguiente, terminado);
            t.commit();
            otraVez.join();
        }
        EXPECT_EQ(error, QString());
        EXPECT_TRUE(hechoPrimero);
        EXPECT_FALSE(hechoSegundo);
        EXPECT_EQ(espero, enServidor());
        EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza WHERE t_usuarios_codigo = 'ana' AND fecha_hora_cierre IS "
                         "NULL"),
                  1);
    }
}

} // namespace
