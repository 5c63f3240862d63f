#include "support/Entorno.h"

#include "AppUtils.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"

namespace {

class CajaRegistrosTest : public Entorno {
protected:
    db_caja_cabeza abrirCaja(const QString &id, const QString &usuario, double inicial)
    {
        db_caja_cabeza c;
        c.m_id = id;
        c.m_fecha_hora_apertura = QDateTime(QDate(2024, 3, 15), QTime(8, 0, 5));
        c.m_importe_inicial = inicial;
        c.m_comentarios = "Turno mañana de O'Neill";
        c.m_t_usuarios_codigo = usuario;
        EXPECT_TRUE(c.create());
        movimiento(id, "INI", "INI", inicial, usuario);
        return c;
    }
    void movimiento(const QString &caja, const QString &tipo, const QString &concepto, double importe,
                    const QString &usuario = "ana")
    {
        db_caja_movimientos m;
        m.m_caja_cabeza_id = caja;
        m.m_mov_tipo = tipo;
        m.m_fecha_hora = QDateTime(QDate(2024, 3, 15), QTime(9, 0));
        m.m_caja_conceptos_id = concepto;
        m.m_caja_conceptos_descripcion = "desc " + concepto;
        m.m_importe = importe;
        m.m_t_usuarios_codigo = usuario;
        EXPECT_TRUE(m.create());
    }
};

TEST_F(CajaRegistrosTest, CajaAbiertaPorUsuarioYCargaDelRegistro)
{
    db_caja_cabeza c;
    gUsuarioActual = "ana";
    EXPECT_EQ(c.getCajaAbiertaFromUsuario("ana"), "");
    EXPECT_FALSE(gAppUtils.hayCajaIniciada());

    abrirCaja("7", "ana", 1500.25);
    abrirCaja("8", "luis", 10);
    // Stored as the program stores moments: ISO text; Null closing moment.
    EXPECT_EQ(valor("SELECT fecha_hora_apertura FROM caja_cabeza WHERE id = 7"), "2024-03-15 08:00:05");
    EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza WHERE fecha_hora_cierre IS NULL"), 2);
    EXPECT_EQ(c.getCajaAbiertaFromUsuario("ANA"), "7"); // user codes ignore letter case
    EXPECT_EQ(c.getCajaAbiertaId("luis"), "8");
    EXPECT_TRUE(gAppUtils.hayCajaIniciada());

    db_caja_cabeza leida;
    ASSERT_TRUE(leida.load("7"));
    EXPECT_EQ(leida.m_importe_inicial, 1500.25);
    EXPECT_EQ(leida.m_comentarios, "Turno mañana de O'Neill");
    EXPECT_EQ(leida.m_fecha_hora_apertura, QDateTime(QDate(2024, 3, 15), QTime(8, 0, 5)));
    EXPECT_FALSE(leida.m_fecha_hora_cierre.isValid());
    leida.m_comentarios = "sin tocar";
    EXPECT_FALSE(leida.load("99"));
    EXPECT_EQ(leida.m_comentarios, "sin tocar");

    // Closed registers are not open; two open rows give the older one.
    db().execute("UPDATE caja_cabeza SET fecha_hora_cierre = '2024-03-15 20:00:00' WHERE id = 7");
    EXPECT_EQ(c.getCajaAbiertaFromUsuario("ana"), "");
    EXPECT_FALSE(gAppUtils.hayCajaIniciada());
    abrirCaja("9", "ana", 0);
    db().execute("UPDATE caja_cabeza SET fecha_hora_cierre = NULL WHERE id = 7");
    EXPECT_EQ(c.getCajaAbiertaFromUsuario("ana"), "7");

    // A register with a closing moment is written with it.
    db_caja_cabeza cerrada;
    cerrada.m_id = "10";
    cerrada.m_fecha_hora_apertura = QDateTime(QDate(2024, 3, 1), QTime(8, 0));
    cerrada.m_fecha_hora_cierre = QDateTime(QDate(2024, 3, 1), QTime(20, 0));
    cerrada.m_t_usuarios_codigo = "pia";
    cerrada.create();
    EXPECT_EQ(valor("SELECT fecha_hora_cierre FROM caja_cabeza WHERE id = 10"), "2024-03-01 20:00:00");
    EXPECT_EQ(c.getCajaAbiertaFromUsuario("pia"), "");
    // The id is the counter's number: a second row with it is a duplicate key.
    EXPECT_EQ(numeroDeError([&] { cerrada.create(); }), 3022);
}

TEST_F(CajaRegistrosTest, SumasPorConceptoYPorTipo)
{
    abrirCaja("3", "ana", 200);
    db_caja_movimientos m;
    EXPECT_EQ(m.getMovimientoByMovTipo("INI", "3"), 200);
    EXPECT_EQ(m.getMovimientoByMovTipo("ING", "3"), 0);
    EXPECT_EQ(m.getMovimientoByMovTipo("EGR", "3"), 0);

    movimiento("3", "ING", "BAR", 30.5);
    movimiento("3", "ING", "ALQ", 100);
    movimiento("3", "EGR", "BAR", -50);
    abrirCaja("4", "luis", 999);
    movimiento("4", "ING", "BAR", 1000);
    EXPECT_EQ(m.getMovimientoByMovTipo("ING", "3"), 130.5);
    EXPECT_EQ(m.getMovimientoByMovTipo("EGR", "3"), -50);
    EXPECT_EQ(m.getMovimientoByConcepto("BAR", "3"), -19.5);
    EXPECT_EQ(m.getMovimientoByConcepto("INI", "4"), 999);
    EXPECT_EQ(m.getMovimientoByConcepto("XXX", "3"), 0);
    // The only withdrawal is exactly -50, of register 3.
    EXPECT_EQ(contar("SELECT count(*) FROM caja_movimientos WHERE importe < 0"), 1);
    EXPECT_EQ(valor("SELECT mov_tipo || '/' || caja_cabeza_id FROM caja_movimientos WHERE importe = -50"), "EGR/3");
}

} // namespace
