#include "AyudaVentas.h"

#include "Frm_T_BuscaVentas.h"
#include "platform/Reloj.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>

using namespace ayuda;

namespace {

class BuscaVentasTest : public VentasBase {
protected:
    // A sale written as the sale window writes it, at the clock's now.
    qint64 vender(qint64 cliente, const QList<dbVentas::Linea> &lineas, const QString &usuario = "ana")
    {
        dbVentas::Venta v;
        v.clientes_id = cliente;
        v.t_usuarios_codigo = usuario;
        v.lineas = lineas;
        for (const auto &l : lineas)
            v.importe_total += l.cantidad * l.precio_unitario;
        Transaccion t(db());
        const qint64 id = dbVentas::grabar(v);
        t.commit();
        return id;
    }
    Frm_T_BuscaVentas *abrirListado(const char *menu = "mnu_VentaAnulación")
    {
        EXPECT_TRUE(Aperturas::abrir(menu));
        procesarEventos();
        return Ventanas::existente<Frm_T_BuscaVentas>();
    }
    void boton(QWidget *w, const char *nombre)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(nombre), Qt::LeftButton);
    }
    // Each product's stock less the sum of its movements: its stock before
    // any movement, as long as every change of the stock left a movement.
    QString libro()
    {
        return filas("SELECT id, existencia - COALESCE((SELECT SUM(cantidad) FROM movimientos_stock m "
                     "WHERE m.productos_id = p.id), 0) FROM productos p ORDER BY id",
                     {}, "=");
    }
    static constexpr const char *kInicial = "A15=30 A5=50 G1=10 K1=2 P1=1 X1=5";
};

TEST_F(BuscaVentasTest, ListadoPorDiasYCliente)
{
    Reloj::fijar(QDateTime(QDate(2024, 3, 14), QTime(18, 0)));
    vender(2, {{"G1", 1, 2, 1}});
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(9, 15)));
    vender(1, {{"A5", 2, 1.25, 0.5}});
    vender(2, {{"K1", 1, 1234.5, 900}, {"G1", 3, 2, 1}});
    vender(77, {{"G1", 1, 2, 1}}); // a client that no longer exists

    auto *w = abrirListado();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Listado de Facturas");
    Grid *g = w->grilla();
    EXPECT_EQ(columna(g, 1), (QStringList{"2", "3", "4"}));
    EXPECT_EQ(columna(g, 2), (QStringList{"1", "2", "77"}));
    EXPECT_EQ(columna(g, 3), (QStringList{"CONSUMIDOR FINAL", "Ana Pérez", ""}));
    EXPECT_EQ(columna(g, 4).first(), "15/03/2024 09:15:00");
    EXPECT_EQ(columna(g, 5), (QStringList{"2.50", "1,240.50", "2.00"}));
    EXPECT_EQ(caja(w, "txtTotal")->text(), "1,245.00");

    // Yesterday's sale appears after moving "Desde" back.
    w->findChild<QDateEdit *>("dtpDesde")->setDate(QDate(2024, 3, 14));
    boton(w, "cmdActualizar");
    EXPECT_EQ(g->MaxRows(), 4);

    // One client only.
    w->findChild<QCheckBox *>("chkTodas")->setChecked(false);
    escribir(caja(w, "txtCliente"), "2");
    boton(w, "cmdActualizar");
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "3"}));

    // Without a client: the message, and filters and grid cleared.
    escribir(caja(w, "txtCliente"), "");
    boton(w, "cmdActualizar");
    EXPECT_EQ(msg->textos(), QStringList{"Debe seleccionar el Cliente."});
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpDesde")->date(), QDate(2024, 3, 15));
    EXPECT_EQ(caja(w, "txtTotal")->text(), "0.00");
    // Reprinting or cancelling from the empty list is told, nothing asked.
    msg->limpiar();
    boton(w, "cmdImprimir");
    boton(w, "btnAnular");
    EXPECT_EQ(msg->textos(),
              (QStringList{"No hay una venta elegida en la lista.", "No hay una venta elegida en la lista."}));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);

    // "Buscar" hides the cancel button; "Anulación" leaves it as it is.
    descargarTodo();
    w = abrirListado("mnu_VentasBuscar");
    EXPECT_TRUE(w->btnAnular()->isHidden());
    abrirListado("mnu_VentaAnulación");
    EXPECT_TRUE(w->btnAnular()->isHidden());
    descargarTodo();
    EXPECT_FALSE(abrirListado()->btnAnular()->isHidden());
}

TEST_F(BuscaVentasTest, AnulacionDevuelveStockPintaDeRojoYBajaElTotal)
{
    vender(1, {{"A5", 2, 1.25, 0.5}});
    const qint64 id = vender(2, {{"P1", 3, 20, 10}, {"A5", 2.5, 1.25, 0.5}});
    ASSERT_EQ(valor("SELECT existencia FROM productos WHERE id = 'P1'"), "-2");
    auto *w = abrirListado();
    Grid *g = w->grilla();
    EXPECT_EQ(caja(w, "txtTotal")->text(), "65.63");

    // No reason: nothing is written.
    g->setActiveCell(1, 2);
    boton(w, "btnAnular");
    EXPECT_EQ(msg->textos(),
              (QStringList{"Describa el motivo de anulación de la factura", "Debe ingresar un motivo de anulación"}));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(contar("SELECT count(*) FROM ventas_items"), 3);

    msg->limpiar();
    msg->responderTexto("cliente devolvió 'todo'");
    gUsuarioActual = "luis";
    boton(w, "btnAnular");
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].titulo, "Anular Factura");
    EXPECT_EQ(msg->mostrados()[0].prompt, "Describa el motivo de anulación de la factura");
    EXPECT_EQ(msg->ultimo().prompt, "Se ha anulado la factura");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'P1'"), "1");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'A5'"), "48"); // the 2.5 sold go back whole
    EXPECT_EQ(filas("SELECT importe_total, importe_pagado, fecha_anulacion, comentarios "
                    "FROM ventas WHERE id = ?",
                    {id}),
              "0|0|2024-03-15 10:30:00|cliente devolvió 'todo'");
    EXPECT_EQ(contar("SELECT count(*) FROM ventas_items WHERE ventas_id = ?", {id}), 0);
    // The sale's "Egreso" rows stay; an "Ingreso" tied to the sale returns
    // each line, with the reason and the user who cancelled.
    EXPECT_EQ(filas("SELECT tipo, productos_id, cantidad, fecha, comentarios, t_usuarios_codigo "
                    "FROM movimientos_stock WHERE ventas_id = ? ORDER BY id",
                    {id}, "|", " / "),
              "Egreso|P1|-3|2024-03-15 10:30:00||ana / Egreso|A5|-2.5|2024-03-15 10:30:00||ana / "
              "Ingreso|P1|3|2024-03-15 10:30:00|cliente devolvió 'todo'|luis / "
              "Ingreso|A5|2.5|2024-03-15 10:30:00|cliente devolvió 'todo'|luis");
    EXPECT_EQ(libro(), kInicial);
    EXPECT_EQ(g->text(5, 2), "0.00");
    EXPECT_EQ(g->text(6, 2), "15/03/2024");
    EXPECT_EQ(g->cellBackColor(3, 2), colorVB(255));
    EXPECT_NE(g->cellBackColor(3, 1), colorVB(255));
    EXPECT_EQ(caja(w, "txtTotal")->text(), "2.50");

    // A second cancellation reports the first and changes nothing.
    Reloj::fijar(QDateTime(QDate(2024, 3, 16), QTime(9, 0)));
    msg->limpiar();
    msg->responderTexto("otra vez");
    g->setActiveCell(1, 2);
    boton(w, "btnAnular");
    EXPECT_EQ(msg->ultimo().prompt, "La factura fue anulada el día 15/03/2024");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'P1'"), "1");
    EXPECT_EQ(valor("SELECT comentarios FROM ventas WHERE id = ?", {id}), "cliente devolvió 'todo'");
    EXPECT_EQ(contar("SELECT count(*) FROM movimientos_stock WHERE ventas_id = ?", {id}), 4);
    EXPECT_EQ(libro(), kInicial);
}

TEST_F(BuscaVentasTest, VentaEnUnCierreNoSeAnulaYUnFalloNoDejaNadaAMedias)
{
    const qint64 cerrada = vender(1, {{"G1", 1, 2, 1}});
    const qint64 id = vender(2, {{"P1", 1, 20, 10}, {"A5", 1, 1.25, 0.5}, {"G1", 1, 2, 1}});
    db().execute("UPDATE ventas SET arqueo_id = 4 WHERE id = ?", {cerrada});
    auto *w = abrirListado();
    Grid *g = w->grilla();
    g->setActiveCell(1, 1);
    msg->responderTexto("no debería preguntarse");
    boton(w, "btnAnular");
    EXPECT_EQ(msg->textos(), QStringList{"No es posible anular una venta incluida en un cierre de caja."});
    EXPECT_EQ(valor("SELECT importe_total FROM ventas WHERE id = ?", {cerrada}), "2");

    // A closing at another station takes the sale while its reason is typed:
    // nothing is cancelled and the user is told why.
    const QString intacta = huella();
    msg->alMostrar([this, id](const MensajeMostrado &m) {
        if (m.titulo == "Anular Factura")
            db().execute("UPDATE ventas SET arqueo_id = 5 WHERE id = ?", {id});
    });
    msg->limpiar();
    msg->responderTexto("tarde");
    g->setActiveCell(1, 2);
    boton(w, "btnAnular");
    msg->alMostrar({});
    EXPECT_EQ(msg->ultimo().prompt, "No es posible anular una venta incluida en un cierre de caja.");
    EXPECT_EQ(huella(), intacta);
    EXPECT_EQ(valor("SELECT importe_total || '|' || comentarios FROM ventas WHERE id = ?", {id}), "23.25|");
    EXPECT_FALSE(db().enTransaccion());
    db().execute("UPDATE ventas SET arqueo_id = NULL WHERE id = ?", {id});

    // The stock return of the third line fails: the sale stays as it was.
    const QString antes = huella();
    hacerFallar("productos", "archivo bloqueado", "OLD.id = 'G1'", {}, "UPDATE");
    msg->limpiar();
    msg->responderTexto("error de carga");
    g->setActiveCell(1, 2);
    boton(w, "btnAnular");
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_TRUE(msg->ultimo().prompt.contains("archivo bloqueado"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(huella(), antes);
    EXPECT_EQ(valor("SELECT importe_total || '|' || COALESCE(fecha_anulacion, '') FROM ventas WHERE id = ?", {id}),
              "23.25|");
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(g->text(5, 2), "23.25");

    // After the closing is cancelled (its stamp cleared) the sale can be cancelled.
    quitarFalla("productos");
    db().execute("UPDATE ventas SET arqueo_id = NULL WHERE id = ?", {cerrada});
    msg->limpiar();
    msg->responderTexto("devuelta");
    g->setActiveCell(1, 1);
    boton(w, "btnAnular");
    EXPECT_EQ(msg->ultimo().prompt, "Se ha anulado la factura");
}

} // namespace
