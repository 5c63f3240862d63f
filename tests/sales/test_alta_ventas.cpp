#include "AyudaVentas.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace ayuda;

namespace {

class AltaVentasTest : public VentasBase {
protected:
    // Types teclas into the quantity cell of row fila through the editor the
    // grid opens and, when enter, presses Enter and waits for the edit to be
    // checked. The editor, or nullptr when none opened.
    QLineEdit *teclearCantidad(Grid *g, int fila, const QString &teclas, bool enter = true)
    {
        g->setActiveCell(3, fila);
        raton::tecla(g, Qt::Key_F2);
        QLineEdit *ed = raton::editor(g);
        if (!ed)
            return nullptr;
        ed->selectAll();
        QTest::keyClicks(ed, teclas);
        if (enter) {
            QSignalSpy editado(g, &Grid::editado);
            QTest::keyClick(ed, Qt::Key_Return);
            EXPECT_TRUE(editado.wait(2000));
            procesarEventos();
        }
        return ed;
    }
};

TEST_F(AltaVentasTest, SinCajaNoSeGuardaPeroSeArmanLineas)
{
    auto *v = abrirVenta();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Venta / Alta");
    EXPECT_EQ(msg->textos(), QStringList{"Deberá iniciar una caja con su usuario para poder registrar ventas."});
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    auto *guardar = v->findChild<QPushButton *>("cmdGuarda");
    EXPECT_FALSE(guardar->isEnabled());

    // Lines can be added (F7) and removed (F8); F6 saves nothing.
    QTest::keyClick(caja(v, "txtCom"), Qt::Key_F7);
    auto *d = Ventanas::existente<Frm_T_AltaVentasAnexo>();
    ASSERT_NE(d, nullptr);
    linea(d, "A5", "2");
    linea(d, "G1", "1");
    d->descargar();
    procesarEventos();
    EXPECT_EQ(grilla(v)->MaxRows(), 2);
    grilla(v)->setActiveCell(1, 1);
    QTest::keyClick(caja(v, "txtCom"), Qt::Key_F8);
    EXPECT_EQ(columna(grilla(v), 1), QStringList{"G1"});
    EXPECT_EQ(caja(v, "txtTotal")->text(), "2.00");
    // Without CAN_MOD_PRECIO_VENTAS the line's price is not edited in the
    // grid either; its quantity is.
    grilla(v)->setActiveCell(4, 1);
    raton::tecla(grilla(v), Qt::Key_F2);
    EXPECT_EQ(raton::editor(grilla(v)), nullptr);
    grilla(v)->setActiveCell(3, 1);
    raton::tecla(grilla(v), Qt::Key_F2);
    ASSERT_NE(raton::editor(grilla(v)), nullptr);
    QTest::keyClick(raton::editor(grilla(v)), Qt::Key_Escape);
    msg->limpiar();
    QTest::keyClick(caja(v, "txtCom"), Qt::Key_F6);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 0);

    // F5 clears; deleting from an empty grid says so.
    QTest::keyClick(caja(v, "txtCom"), Qt::Key_F5);
    EXPECT_EQ(grilla(v)->MaxRows(), 0);
    clic(v, 1);
    EXPECT_EQ(msg->textos(), QStringList{"No hay productos cargados en la grilla."});

    // A register of another user does not count.
    descargarTodo();
    abrirCaja("luis");
    msg->limpiar();
    v = abrirVenta();
    EXPECT_FALSE(v->findChild<QPushButton *>("cmdGuarda")->isEnabled());
    EXPECT_EQ(msg->mostrados().size(), 1u);
}

TEST_F(AltaVentasTest, VentaDeDosLineasDelMismoProductoStockNegativoYPago)
{
    abrirCaja();
    auto *v = abrirVenta();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(caja(v, "txtCliente")->text(), "1"); // the default client
    auto *d = dialogoLineas(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Ventas - Anexo");
    linea(d, "P1", "2");
    // After each line: empty dialog, the total and the payment updated.
    EXPECT_TRUE(caja(d, "txtProducto")->text().isEmpty());
    EXPECT_TRUE(caja(d, "mskCantidad")->text().isEmpty());
    EXPECT_EQ(caja(v, "fpPago")->text(), "40.00");
    linea(d, "p1", "1"); // the code ignores letter case like the key
    linea(d, "A5", "2.5");
    d->descargar();
    procesarEventos();
    Grid *g = grilla(v);
    EXPECT_EQ(columna(g, 1), (QStringList{"P1", "P1", "A5"}));
    EXPECT_EQ(columna(g, 2), (QStringList{"Pelota Tenis", "Pelota Tenis", "Agua mineral 500"}));
    EXPECT_EQ(columna(g, 3), (QStringList{"2.00", "1.00", "2.50"}));
    EXPECT_EQ(columna(g, 5), (QStringList{"40.00", "20.00", "3.13"}));
    EXPECT_EQ(columna(g, 6), (QStringList{"10.00", "10.00", "0.50"}));
    EXPECT_EQ(caja(v, "txtTotal")->text(), "63.13");

    // The change follows the payment; 0.01 less than the total is refused.
    msg->limpiar();
    escribir(caja(v, "fpPago"), "63.12");
    EXPECT_EQ(caja(v, "txtVuelto")->text(), "-0.01");
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"El pago no puede ser menor al total."});
    EXPECT_EQ(v->focusWidget(), caja(v, "fpPago"));
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 0);

    // Payment equal to the total saves: one header, three lines, three
    // movements, three decrements (the stock of P1 goes below zero).
    msg->limpiar();
    escribir(caja(v, "txtCom"), "mesa 'B'");
    escribir(caja(v, "fpPago"), "63.13");
    EXPECT_EQ(caja(v, "txtVuelto")->text(), "0.00");
    escribir(caja(v, "fpPago"), "1000");
    EXPECT_EQ(caja(v, "fpPago")->text(), "1,000.00");
    EXPECT_EQ(caja(v, "txtVuelto")->text(), "936.87");
    escribir(caja(v, "fpPago"), "63.13");
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha almacenado la venta correctamente."});
    EXPECT_EQ(filas("SELECT id, fecha, clientes_id, importe_total, importe_pagado, comentarios, t_usuarios_codigo, "
                    "arqueo_id FROM ventas"),
              "1|2024-03-15 10:30:00|1|63.13|63.13|mesa 'B'|ana|null");
    EXPECT_EQ(
        filas("SELECT productos_id, cantidad, precio_unitario, precio_compra FROM ventas_items WHERE ventas_id = 1", {},
              ":"),
        "P1:2:20:10 P1:1:20:10 A5:2.5:1.25:0.5");
    EXPECT_EQ(
        filas("SELECT tipo, productos_id, cantidad, ventas_id, fecha, comentarios FROM movimientos_stock ORDER BY id",
              {}, ":"),
        "Egreso:P1:-2:1:2024-03-15 10:30:00:mesa 'B' Egreso:P1:-1:1:2024-03-15 10:30:00:mesa 'B' "
        "Egreso:A5:-2.5:1:2024-03-15 10:30:00:mesa 'B'");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'P1'"), "-2");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'A5'"), "47.5");

    // The window is ready for the next sale.
    EXPECT_EQ(caja(v, "txtCliente")->text(), "1");
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_EQ(caja(v, "txtTotal")->text(), "0.00");
    EXPECT_EQ(caja(v, "txtVuelto")->text(), "0.00");
    EXPECT_TRUE(caja(v, "txtCom")->text().isEmpty());

    // The checks before the payment: client, then lines.
    msg->limpiar();
    escribir(caja(v, "txtCliente"), "99"); // no such client: the box is emptied
    EXPECT_TRUE(caja(v, "txtCliente")->text().isEmpty());
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    escribir(caja(v, "txtCliente"), "2");
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(msg->textos(), (QStringList{"Debe ingresar Cliente.", "No hay productos cargados."}));
    EXPECT_EQ(msg->mostrados()[0].icono(), vb::Exclamation);
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    escribir(caja(v, "txtCliente"), "");
    caja(v, "txtCom")->setFocus();
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(v->focusWidget(), caja(v, "txtCliente"));
}

TEST_F(AltaVentasTest, CantidadYPrecioConMilesSeGuardanExactos)
{
    abrirCaja();
    db().execute(
        "INSERT INTO t_configuraciones (codigo, descripcion, valor) VALUES ('CAN_MOD_PRECIO_VENTAS', '', '1')");
    auto *v = abrirVenta();
    auto *d = dialogoLineas(v);
    EXPECT_TRUE(caja(d, "mskPVP")->isEnabled());
    escribir(caja(d, "txtProducto"), "K1");
    EXPECT_EQ(caja(d, "mskPVP")->text(), "1,234.50");
    EXPECT_EQ(caja(d, "mskExist")->text(), "2.00");
    EXPECT_EQ(caja(d, "mskPVC")->text(), "900.00");
    escribir(caja(d, "mskCantidad"), "1,500");
    clic(d, 0);
    d->descargar();
    procesarEventos();
    EXPECT_EQ(columna(grilla(v), 5), QStringList{"1,851,750.00"});
    EXPECT_EQ(caja(v, "txtTotal")->text(), "1,851,750.00");
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(msg->ultimo().prompt, "Se ha almacenado la venta correctamente.");
    Recordset rs = db().openRecordset("SELECT cantidad, precio_unitario, precio_compra FROM ventas_items");
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.campo(0).numero(), 1500.0);
    EXPECT_EQ(rs.campo(1).numero(), 1234.5);
    EXPECT_EQ(rs.campo(2).numero(), 900.0);
    EXPECT_EQ(db().openRecordset("SELECT importe_total FROM ventas").campo(0).numero(), 1851750.0);
    EXPECT_EQ(db().openRecordset("SELECT existencia FROM productos WHERE id = 'K1'").campo(0).numero(), -1498.0);

    // A quantity corrected in the grid recomputes the line; a text that is
    // no number is refused and gives the cell back its value.
    d = dialogoLineas(v);
    linea(d, "A5", "2");
    d->descargar();
    procesarEventos();
    Grid *g = grilla(v);
    msg->limpiar();
    teclearCantidad(g, 1, "4");
    EXPECT_EQ(g->text(3, 1), "4.00");
    EXPECT_EQ(g->text(5, 1), "5.00");
    EXPECT_EQ(caja(v, "txtTotal")->text(), "5.00");
    teclearCantidad(g, 1, "-");
    EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número válido"});
    EXPECT_EQ(g->text(3, 1), "4.00");
    msg->limpiar();

    // F6 pressed while a quantity is still being typed in its cell saves
    // that quantity, not the one the cell held before.
    g->setActiveCell(3, 1);
    raton::tecla(g, Qt::Key_F2);
    QLineEdit *ed = raton::editor(g);
    ASSERT_NE(ed, nullptr);
    ed->setText("6");
    msg->limpiar();
    QTest::keyClick(ed, Qt::Key_F6);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha almacenado la venta correctamente."});
    EXPECT_EQ(filas("SELECT importe_total, cantidad FROM ventas JOIN ventas_items ON ventas_id = ventas.id "
                    "WHERE ventas.id = 2"),
              "7.5|6");
}

TEST_F(AltaVentasTest, CantidadDeCeroOMenosEnLaGrillaSeRechazaUnaVezYNoSeGuarda)
{
    abrirCaja();
    db().execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) VALUES "
                 "('R0', 'Regalo', 0, 0, 10, 1)");
    auto *v = abrirVenta();
    auto *d = dialogoLineas(v);
    linea(d, "A5", "2");
    linea(d, "R0", "3");
    d->descargar();
    procesarEventos();
    Grid *g = grilla(v);
    ASSERT_EQ(g->MaxRows(), 2);
    EXPECT_EQ(g->text(4, 2), "0.00");
    auto *guardar = v->findChild<QPushButton *>("cmdGuarda");

    // Each box takes the focus while it is shown, as a real one does; none
    // may find the cell's editor still open.
    int conEditorAbierto = 0;
    msg->alMostrar([&](const MensajeMostrado &) {
        if (raton::editor(g))
            ++conEditorAbierto;
        QWidget caja;
        caja.show();
        caja.activateWindow();
        caja.setFocus();
        QApplication::processEvents();
    });

    // Zero or less, on a line with a price and on one whose price is 0: one
    // message, and the cell gets back the quantity it had.
    const struct {
        int fila;
        QString teclas;
        QString antes;
    } casos[] = {{1, "0", "2.00"}, {1, "-2", "2.00"}, {2, "-5", "3.00"}, {2, "0", "3.00"}};
    for (const auto &c : casos) {
        msg->limpiar();
        ASSERT_NE(teclearCantidad(g, c.fila, c.teclas), nullptr);
        EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número mayor a 0"}) << c.teclas.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_EQ(g->text(3, c.fila), c.antes) << c.teclas.toStdString();
        EXPECT_EQ(raton::editor(g), nullptr);
    }
    EXPECT_EQ(conEditorAbierto, 0);
    EXPECT_EQ(g->text(5, 1), "2.50");
    EXPECT_EQ(g->text(5, 2), "0.00");
    EXPECT_EQ(caja(v, "txtTotal")->text(), "2.50");

    // Typed and not confirmed, then "Guardar" or F6: the quantity is checked
    // first, refused, and nothing is saved.
    msg->limpiar();
    ASSERT_NE(teclearCantidad(g, 2, "-1", false), nullptr);
    QTest::mouseClick(guardar, Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número mayor a 0"});
    EXPECT_EQ(g->text(3, 2), "3.00");
    msg->limpiar();
    QLineEdit *ed = teclearCantidad(g, 1, "0", false);
    ASSERT_NE(ed, nullptr);
    QTest::keyClick(ed, Qt::Key_F6);
    procesarEventos();
    EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número mayor a 0"});
    EXPECT_EQ(g->text(3, 1), "2.00");
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 0);
    EXPECT_EQ(conEditorAbierto, 0);

    // The sale as it stands is saved with the quantities it had.
    msg->limpiar();
    QTest::mouseClick(guardar, Qt::LeftButton);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha almacenado la venta correctamente."});
    EXPECT_EQ(filas("SELECT productos_id, cantidad FROM ventas_items ORDER BY productos_id", {}, "=", ","),
              "A5=2,R0=3");
    EXPECT_EQ(contar("SELECT count(*) FROM ventas_items WHERE cantidad <= 0"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM productos WHERE id = 'R0' AND existencia = 7"), 1);
}

TEST_F(AltaVentasTest, FalloEnElStockDeLaTerceraLineaNoDejaRastro)
{
    abrirCaja();
    auto *v = abrirVenta();
    auto *d = dialogoLineas(v);
    linea(d, "A5", "1");
    linea(d, "G1", "1");
    linea(d, "A15", "1");
    d->descargar();
    procesarEventos();
    const QString antes = huella();
    hacerFallar("productos", "disco lleno", "OLD.id = 'A15'", {}, "UPDATE");
    msg->limpiar();
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(msg->ultimo().prompt.contains("disco lleno"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(huella(), antes);
    EXPECT_FALSE(db().enTransaccion());
    // The window keeps the sale so that it can be saved again.
    EXPECT_EQ(grilla(v)->MaxRows(), 3);
    quitarFalla("productos");
    QTest::mouseClick(v->findChild<QPushButton *>("cmdGuarda"), Qt::LeftButton);
    EXPECT_EQ(msg->ultimo().prompt, "Se ha almacenado la venta correctamente.");
    EXPECT_EQ(contar("SELECT count(*) FROM movimientos_stock"), 3);
}

TEST_F(AltaVentasTest, DialogoDeLineasBusquedaYControles)
{
    auto *v = abrirVenta();
    auto *d = dialogoLineas(v);
    auto *combo = d->findChild<DataCombo *>("dc_producto");
    auto lista = [combo] {
        QStringList l;
        for (int i = 0; i < combo->count(); ++i)
            l << combo->itemText(i);
        return l;
    };
    // Active products only, in the order of their description.
    EXPECT_EQ(lista(),
              (QStringList{"Agua mineral 1500", "Agua mineral 500", "Gaseosa 500", "Kit raqueta", "Pelota Tenis"}));
    EXPECT_FALSE(caja(d, "mskPVP")->isEnabled());

    // Two words: every word in the description (or every word in the code).
    QLineEdit *busca = caja(d, "txtBusca");
    EXPECT_EQ(busca->text(), "Ingrese su búsqueda por código o descripción");
    QFocusEvent dentro(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(busca, &dentro);
    EXPECT_TRUE(busca->text().isEmpty());
    QTest::keyClicks(busca, "agua 1500");
    QTest::keyClick(busca, Qt::Key_Return);
    EXPECT_EQ(lista(), QStringList{"Agua mineral 1500"});
    busca->setText("K1");
    QTest::keyClick(busca, Qt::Key_Return);
    EXPECT_EQ(lista(), QStringList{"Kit raqueta"});
    // One word in the description and the other in the code is no match.
    busca->setText("kit k1");
    QTest::keyClick(busca, Qt::Key_Return);
    EXPECT_TRUE(lista().isEmpty());
    busca->clear();
    QTest::keyClick(busca, Qt::Key_Return);
    EXPECT_EQ(lista().size(), 5);

    // An inactive product's code is not kept.
    escribir(caja(d, "txtProducto"), "X1");
    EXPECT_TRUE(caja(d, "txtProducto")->text().isEmpty());

    // The checks: product, quantity (zero once), and the price whatever the rest.
    msg->limpiar();
    clic(d, 0);
    EXPECT_EQ(msg->textos(), (QStringList{"Debe ingresar el Producto", "Debe ingresar un numero válido"}));
    msg->limpiar();
    linea(d, "G1", "0");
    EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número mayor a 0"});
    msg->limpiar();
    linea(d, "G1", "dos");
    EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número válido"});
    EXPECT_EQ(grilla(v)->MaxRows(), 0);
    // Enter in the quantity accepts the line.
    escribir(caja(d, "mskCantidad"), "3");
    QTest::keyClick(caja(d, "mskCantidad"), Qt::Key_Return);
    EXPECT_EQ(columna(grilla(v), 4), QStringList{"2.00"});
    EXPECT_EQ(caja(v, "txtTotal")->text(), "6.00");
}

} // namespace
