#include "AyudaCaja.h"

#include "Frm_M_CajaArqueDetalle.h"
#include "Frm_M_CajaArqueo.h"
#include "Frm_ViewerReport.h"
#include "dbVentas.h"
#include "db_caja_cabeza.h"
#include "platform/Reloj.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>

using namespace ayuda;

namespace {

class ArqueoCierreTest : public CajaBase {
protected:
    void SetUp() override
    {
        CajaBase::SetUp();
        instalarPlantillas();
        // ana's register 1: opening 100, income 150, withdrawal 50.
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                     "VALUES (1, '2024-03-14 08:00:00', 100, 'ana')");
        db().execute("UPDATE t_numeradores SET numero_siguiente = 2 WHERE id = 'CJA'");
        db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                     "caja_conceptos_descripcion, importe, t_usuarios_codigo) VALUES "
                     "(1, 'INI', '2024-03-14 08:00:00', 'INI', 'Inicio de caja', 100, 'ana'), "
                     "(1, 'ING', '2024-03-14 09:00:00', 'BAR', 'Bar', 150, 'ana'), "
                     "(1, 'EGR', '2024-03-15 09:00:00', 'LUZ', 'Luz', -50, 'ana')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H09', '9:00'), ('H18', '18:00')");
        // Collected (deposit and balance), suspended with no deposit, reserved
        // for later today, another user's.
        db().execute("INSERT INTO reservas (id, clientes_id, canchas_id, fecha, horarios_id, estado, fecha_anticipo, "
                     "importe_anticipo, importe_total, importe_saldo, t_usuarios_codigo) VALUES "
                     "(1, 2, 'C1', '2024-03-14', 'H09', 'COB', '2024-03-10 10:00:00', 30, 100, 70, 'ana'), "
                     "(2, 2, 'C1', '2024-03-14', 'H18', 'SUS', NULL, 0, 40, 40, 'ana'), "
                     "(3, 2, 'C1', '2024-03-15', 'H18', 'RES', '2024-03-15 10:00:00', 20, 100, 80, 'ana'), "
                     "(4, 2, 'C1', '2024-03-15', 'H18', 'RES', '2024-03-15 10:00:00', 5, 100, 95, 'luis')");
        // Sales of earlier days and of today; luis's is not ana's.
        db().execute("INSERT INTO ventas (id, fecha, clientes_id, importe_total, importe_pagado, t_usuarios_codigo) "
                     "VALUES (1, '2024-03-01 12:00:00', 1, 20, 20, 'ana'), (2, '2024-03-15 10:00:00', 1, 5.5, 5.5, "
                     "'ana'), (3, '2024-03-15 10:00:00', 1, 9, 9, 'luis')");
        // Stock: 5 sold and 10 entered by hand in the period, 20 on hand.
        db().execute("INSERT INTO productos (id, descripcion, existencia, activo) VALUES ('P1', 'Pelota', 20, 1), "
                     "('P2', 'Grip', 7, 1), ('X', 'Viejo', 3, 0)");
        db().execute(
            "INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad) VALUES "
            "('Egreso', '2024-03-14 12:00:00', 'P1', 2, -5), ('Ingreso', '2024-03-15 09:00:00', 'p1', NULL, 10), "
            "('Ingreso', '2024-03-13 09:00:00', 'P1', NULL, 99)");
    }
    Frm_M_CajaArqueo *abrirArqueo()
    {
        EXPECT_TRUE(Aperturas::abrir("mnu_CajaArqueo"));
        procesarEventos();
        return Ventanas::existente<Frm_M_CajaArqueo>();
    }
    QString texto(QWidget *w, const char *nombre) { return w->findChild<QLabel *>(nombre)->text(); }
    // "id:deposit closing:balance closing" of each booking, then "id:closing"
    // of each sale; "-" where none.
    QString estampas()
    {
        QString s = filas("SELECT id, arqueo_anticipo_id, arqueo_saldo_id FROM reservas ORDER BY id", {}, ":") + " / " +
                    filas("SELECT id, arqueo_id FROM ventas ORDER BY id", {}, ":");
        return s.replace("null", "-");
    }
};

TEST_F(ArqueoCierreTest, ArqueoDetalleYCierre)
{
    auto *a = abrirArqueo();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->windowTitle(), "Caja - Arqueo y Cierre");
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(texto(a, "labCajaId"), "1");
    EXPECT_FALSE(caja(a, "MaskEd_0")->isEnabled());
    Grid *ops = a->findChild<Grid *>("vaSpread");
    Grid *movs = a->findChild<Grid *>("vasCaja");
    EXPECT_EQ(ops->text(3, 0), "Importe");
    EXPECT_EQ(columna(ops, 1), (QStringList{"RES", "TUR", "VEN"}));
    EXPECT_EQ(columna(ops, 2), (QStringList{"Reservas / anticipos", "Turnos / canchas", "VENTAS"}));
    // Deposits 30 + 20; the collected balance only (not the suspended one);
    // ana's sales of every day.
    EXPECT_EQ(columna(ops, 3), (QStringList{"50.00", "70.00", "25.50"}));
    EXPECT_EQ(columna(movs, 3), (QStringList{"100.00", "150.00", "-50.00"}));
    EXPECT_EQ(texto(a, "labTotalTurnosVentas"), "145.50");
    EXPECT_EQ(texto(a, "labTotalMovCaja"), "200.00");
    EXPECT_EQ(caja(a, "fpImpTeorico")->text(), "345.50");
    EXPECT_EQ(caja(a, "fpImpReal")->text(), "345.50");
    EXPECT_EQ(caja(a, "fpDescuadre")->text(), "0.00");

    // The difference follows the counted amount, red unless 0.
    caja(a, "fpImpReal")->setText("340");
    EXPECT_EQ(caja(a, "fpDescuadre")->text(), "-5.50");
    EXPECT_EQ(caja(a, "fpDescuadre")->palette().color(QPalette::Text), colorVB(255));
    caja(a, "fpImpReal")->setText("345.50");
    EXPECT_EQ(caja(a, "fpDescuadre")->palette().color(QPalette::Text), colorVB(0));

    // Detail of the movements: only income and withdrawals can be deleted.
    modal->guion([&](QDialog *d) {
        Grid *g = grilla(d);
        EXPECT_EQ(columna(g, 6), (QStringList{"INI", "ING", "EGR"}));
        EXPECT_EQ(texto(d, "labTotal"), "200.00");
        // Each moment shows whole at the window's opening size.
        const QFontMetrics fm(g->font());
        for (const QString &momento : columna(g, 2))
            EXPECT_LE(fm.horizontalAdvance(momento) + 8, g->columnWidth(2)) << momento.toStdString();
        auto *borrar = d->findChild<QPushButton *>("cmdDel");
        raton::clic(g, 0, 1);
        EXPECT_FALSE(borrar->isEnabled());
        raton::clic(g, 0, 2);
        ASSERT_TRUE(borrar->isEnabled());
        msg->responder(vb::Yes);
        borrar->click();
        EXPECT_EQ(columna(g, 6), (QStringList{"INI", "EGR"}));
        EXPECT_EQ(texto(d, "labTotal"), "50.00");
    });
    a->findChild<QPushButton *>("cmdDetalleCaja")->click();
    EXPECT_EQ(msg->ultimo().prompt, "¿Elimina registro 2?");
    EXPECT_EQ(caja(a, "fpImpTeorico")->text(), "345.50"); // until "Actualizar"
    clic(a, 7);
    EXPECT_EQ(caja(a, "fpImpTeorico")->text(), "195.50");

    // Detail of the operations: the snapshot the closing will take.
    modal->guion([&](QDialog *d) {
        EXPECT_EQ(columna(grilla(d), 3), (QStringList{"VENTAS(1)", "VENTAS(2)", "Reservas / anticipos(1)",
                                                      "Reservas / anticipos(3)", "Turnos / canchas(1)"}));
        EXPECT_EQ(texto(d, "labTotal"), "145.50");
    });
    a->findChild<QPushButton *>("cmdDetalleTurnosVentas")->click();

    // Closing checks: an amount above 0; reservations of earlier days that
    // are neither collected nor suspended block every user.
    msg->limpiar();
    caja(a, "fpImpReal")->setText("0");
    clic(a, 9);
    db().execute("UPDATE reservas SET fecha = '2024-03-14' WHERE id = 4");
    caja(a, "fpImpReal")->setText("190");
    clic(a, 9);
    EXPECT_EQ(msg->textos(), (QStringList{"Debe ingresar un valor mayor a cero.",
                                          "Existen reservas anteriores a este cierre que no estan COBRADAS, ni "
                                          "SUSPENDIDAS."}));
    EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza WHERE fecha_hora_cierre IS NOT NULL"), 0);

    // A failure anywhere in the closing leaves the register open and nothing stamped.
    db().execute("UPDATE reservas SET estado = 'SUS' WHERE id = 4");
    const QString antes = estampas();
    hacerFallar("caja_resumen_stock", "lleno");
    msg->limpiar();
    clic(a, 9);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(estampas(), antes);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_resumen_operaciones"), 5); // the detail's snapshot only
    EXPECT_EQ(valor("SELECT COALESCE(fecha_hora_cierre, 'abierta') FROM caja_cabeza"), "abierta");
    quitarFalla("caja_resumen_stock");

    // The closing: amounts, moment, remarks, stamps, snapshot and stock
    // summary, then the report in the preview and the window gone.
    msg->limpiar();
    a->findChild<QPlainTextEdit *>("txtComentarios")->setPlainText("faltan 5,50");
    clic(a, 9);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha realizado el cierre de caja nº: 1 correctamente."});
    EXPECT_EQ(filas("SELECT importe_cierre_real, importe_cierre_teorico, fecha_hora_cierre, comentarios "
                    "FROM caja_cabeza"),
              "190|195.5|2024-03-15 10:30:00|faltan 5,50");
    // Deposit 0 gets no stamp; suspended gets its balance stamp; luis's stay.
    EXPECT_EQ(estampas(), "1:1:1 2:-:1 3:1:- 4:-:- / 1:1 2:1 3:-");
    EXPECT_EQ(valor("SELECT group_concat(caja_conceptos_id || operacion_id, ' ') FROM caja_resumen_operaciones"),
              "VEN1 VEN2 RES1 RES3 TUR1");
    EXPECT_EQ(filas("SELECT producto_id, cantidad_vendida, cantidad_movimientos_stk, cantidad_inicial, "
                    "existencia_actual, fecha_desde, fecha_hasta FROM caja_resumen_stock ORDER BY producto_id",
                    {}, ":"),
              "P1:5:10:15:20:2024-03-14 08:00:00:2024-03-15 10:30:00 "
              "P2:0:0:7:7:2024-03-14 08:00:00:2024-03-15 10:30:00");
    EXPECT_EQ(Ventanas::existente<Frm_M_CajaArqueo>(), nullptr);
    EXPECT_NE(Ventanas::existente<Frm_ViewerReport>(), nullptr);

    // Cancelling and closing again gives the same stamps plus the new sale.
    db().execute("INSERT INTO ventas (id, fecha, clientes_id, importe_total, importe_pagado, t_usuarios_codigo) "
                 "VALUES (4, '2024-03-15 10:20:00', 1, 3, 3, 'ana')");
    {
        Transaccion t(db());
        db_caja_cabeza().anulaCierre("1");
        t.commit();
    }
    EXPECT_EQ(estampas(), "1:-:- 2:-:- 3:-:- 4:-:- / 1:- 2:- 3:- 4:-");
    EXPECT_EQ(contar("SELECT count(*) FROM caja_resumen_stock"), 0);
    EXPECT_EQ(filas("SELECT importe_cierre_real, importe_cierre_teorico, COALESCE(fecha_hora_cierre, 'abierta') "
                    "FROM caja_cabeza"),
              "0|195.5|abierta");
    a = abrirArqueo();
    msg->limpiar();
    clic(a, 9);
    EXPECT_EQ(estampas(), "1:1:1 2:-:1 3:1:- 4:-:- / 1:1 2:1 3:- 4:1");
    EXPECT_EQ(contar("SELECT count(*) FROM caja_resumen_operaciones"), 6);
}

TEST_F(ArqueoCierreTest, UnaVentaAnuladaNoCuentaComoVendidaEnElResumenDeStock)
{
    // ana sells 3 balls and 2 grips at 10:00 and cancels the sale at 10:15.
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
    dbVentas::Venta v;
    v.clientes_id = 1;
    v.t_usuarios_codigo = "ana";
    v.importe_total = 40;
    v.lineas = {{"P1", 3, 10, 5}, {"P2", 2, 5, 2}};
    qint64 id = 0;
    {
        Transaccion t(db());
        id = dbVentas::grabar(v);
        t.commit();
    }
    EXPECT_EQ(filas("SELECT existencia FROM productos WHERE id IN ('P1', 'P2') ORDER BY id"), "17 5");
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(10, 15)));
    EXPECT_TRUE(dbVentas::anular(id, "error", "ana", Reloj::ahora()).hecha());
    EXPECT_EQ(filas("SELECT existencia FROM productos WHERE id IN ('P1', 'P2') ORDER BY id"), "20 7");

    // The closing's summary is the one without the sale: the shelf held 15
    // balls and 7 grips at the opening, and only the earlier 5 balls sold.
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
    auto *a = abrirArqueo();
    ASSERT_NE(a, nullptr);
    msg->limpiar();
    clic(a, 9);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha realizado el cierre de caja nº: 1 correctamente."});
    EXPECT_EQ(filas("SELECT producto_id, cantidad_vendida, cantidad_movimientos_stk, cantidad_inicial, "
                    "existencia_actual FROM caja_resumen_stock ORDER BY producto_id",
                    {}, ":"),
              "P1:5:10:15:20 P2:0:0:7:7");
    // The cancelled sale is taken by the closing at 0.
    EXPECT_EQ(filas("SELECT importe, caja_cabeza_id FROM caja_resumen_operaciones WHERE caja_conceptos_id = 'VEN' "
                    "AND operacion_id = ?",
                    {QString::number(id)}),
              "0|1");
}

TEST_F(ArqueoCierreTest, SinCajaAbierta)
{
    // Anyone but admin: told, and the window does not stay.
    gUsuarioActual = "luis";
    EXPECT_TRUE(Aperturas::abrir("mnu_CajaArqueo"));
    procesarEventos();
    EXPECT_EQ(msg->textos(), QStringList{"El usuario: luis no posee una caja abierta."});
    EXPECT_EQ(Ventanas::existente<Frm_M_CajaArqueo>(), nullptr);

    // admin stays, chooses ana and counts her register after "Actualizar".
    gUsuarioActual = "admin";
    msg->limpiar();
    auto *a = abrirArqueo();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(msg->textos(), QStringList{"El usuario: admin no posee una caja abierta."});
    EXPECT_TRUE(caja(a, "MaskEd_0")->isEnabled());
    escribir(caja(a, "MaskEd_0"), "ana");
    clic(a, 7);
    EXPECT_EQ(texto(a, "labCajaId"), "1");
    EXPECT_EQ(caja(a, "fpImpTeorico")->text(), "345.50");

    // "Limpiar" empties everything; "Guardar" then refuses for want of a register.
    msg->limpiar();
    clic(a, 4);
    EXPECT_TRUE(texto(a, "labCajaId").isEmpty());
    EXPECT_EQ(grilla(a)->MaxRows(), 0);
    EXPECT_EQ(caja(a, "fpImpTeorico")->text(), "0.00");
    clic(a, 9);
    EXPECT_EQ(msg->textos(), QStringList{"El usuario:  no posee una caja abierta."});
}

TEST_F(ArqueoCierreTest, CierraSoloLaCajaMostrada)
{
    // luis has register 2 open with a sale of his.
    db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                 "VALUES (2, '2024-03-15 08:00:00', 10, 'luis')");
    const QString antes = estampas();
    auto cajas = [&] {
        return valor("SELECT group_concat(id || ':' || COALESCE(fecha_hora_cierre, 'abierta'), ' ') FROM "
                     "(SELECT * FROM caja_cabeza ORDER BY id) AS c");
    };
    auto nadaEscrito = [&] {
        EXPECT_EQ(estampas(), antes);
        EXPECT_EQ(cajas(), "1:abierta 2:abierta");
        EXPECT_EQ(contar("SELECT count(*) FROM caja_resumen_operaciones"), 0);
        EXPECT_EQ(contar("SELECT count(*) FROM caja_resumen_stock"), 0);
    };

    // admin counts ana's register, then types luis's code (and an unknown
    // one) and presses "Guardar" without "Actualizar": refused.
    gUsuarioActual = "admin";
    auto *a = abrirArqueo();
    escribir(caja(a, "MaskEd_0"), "ana");
    clic(a, 7);
    ASSERT_EQ(texto(a, "labCajaId"), "1");
    for (const QString codigo : {"luis", "nadie"}) {
        msg->limpiar();
        QLineEdit *e = caja(a, "MaskEd_0");
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, codigo);
        QTest::mouseClick(boton(a, 9), Qt::LeftButton);
        ASSERT_EQ(msg->mostrados().size(), 1u) << codigo.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_TRUE(msg->ultimo().prompt.startsWith("La caja nº: 1 no es la caja abierta del usuario: " + e->text()))
            << msg->ultimo().prompt.toStdString();
        nadaEscrito();
        EXPECT_NE(Ventanas::existente<Frm_M_CajaArqueo>(), nullptr);
    }

    // The closing itself refuses another user's register, and a user
    // without an open one; the caller's transaction rolls back.
    auto cerrar = [&](const QString &id, const QString &usuario) {
        return numeroDeError([&] {
            Transaccion t(db());
            db_caja_cabeza c;
            ASSERT_TRUE(c.load(id));
            c.m_importe_cierre_real = 5;
            c.m_t_usuarios_codigo = usuario;
            c.cerrarCaja();
            t.commit();
        });
    };
    EXPECT_NE(cerrar("1", "luis"), 0);
    EXPECT_NE(cerrar("2", "ana"), 0);
    EXPECT_NE(cerrar("1", "nadie"), 0);
    nadaEscrito();

    // luis's own register closes, taking only his rows.
    EXPECT_EQ(cerrar("2", "luis"), 0);
    EXPECT_EQ(cajas(), "1:abierta 2:2024-03-15 10:30:00");
    EXPECT_EQ(estampas(), "1:-:- 2:-:- 3:-:- 4:2:- / 1:- 2:- 3:2");
    // With no open register left, luis cannot close again.
    EXPECT_NE(cerrar("2", "luis"), 0);
}

TEST_F(ArqueoCierreTest, UnSaldoCobradoDespuesDelCierreDelAnticipoLoSellaElCierreSiguiente)
{
    // Register 1 closed: booking 3 (still reserved) gives only its deposit.
    auto *a = abrirArqueo();
    ASSERT_NE(a, nullptr);
    msg->limpiar();
    clic(a, 9);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha realizado el cierre de caja nº: 1 correctamente."});
    EXPECT_EQ(estampas(), "1:1:1 2:-:1 3:1:- 4:-:- / 1:1 2:1 3:-");

    // Booking 3 collected, and a new deposit on booking 2, during ana's
    // register 2: its closing takes both balances and the deposit, and keeps
    // the deposit closing 1 took.
    db().execute("UPDATE reservas SET estado = 'COB' WHERE id = 3");
    db().execute("UPDATE reservas SET importe_anticipo = 15 WHERE id = 2");
    db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                 "VALUES (2, '2024-03-15 10:00:00', 0, 'ana')");
    db().execute("UPDATE t_numeradores SET numero_siguiente = 3 WHERE id = 'CJA'");
    a = abrirArqueo();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(texto(a, "labCajaId"), "2");
    EXPECT_EQ(columna(grilla(a), 1), (QStringList{"RES", "TUR", "VEN"}));
    EXPECT_EQ(columna(grilla(a), 3), (QStringList{"15.00", "80.00", "0.00"}));
    msg->limpiar();
    clic(a, 9);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha realizado el cierre de caja nº: 2 correctamente."});
    EXPECT_EQ(estampas(), "1:1:1 2:2:1 3:1:2 4:-:- / 1:1 2:1 3:-");
    EXPECT_EQ(valor("SELECT group_concat(caja_conceptos_id || operacion_id, ' ') FROM caja_resumen_operaciones "
                    "WHERE caja_cabeza_id = 2"),
              "RES2 TUR3");

    // Undoing closing 2 gives back what it took only.
    {
        Transaccion t(db());
        db_caja_cabeza().anulaCierre("2");
        t.commit();
    }
    EXPECT_EQ(estampas(), "1:1:1 2:-:1 3:1:- 4:-:- / 1:1 2:1 3:-");
}
} // namespace
