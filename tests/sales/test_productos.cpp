#include "support/Entorno.h"

#include "Frm_T_Productos.h"
#include "Frm_T_ProductosAnexo.h"
#include "RegistroVentas.h"
#include "dbProductos.h"
#include "platform/Aperturas.h"
#include "reservations/AyudaListas.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>

using namespace ayuda;

namespace {

class ProductosTest : public Entorno {
protected:
    Frm_T_Productos *abrirLista()
    {
        registrarVentanasVentas();
        EXPECT_TRUE(Aperturas::abrir("mnu_productos"));
        procesarEventos();
        return Ventanas::existente<Frm_T_Productos>();
    }
    Frm_T_ProductosAnexo *dialogo() { return Ventanas::existente<Frm_T_ProductosAnexo>(); }
    void llenar(QWidget *d, const QString &codigo, const QString &descripcion, const QString &compra,
                const QString &venta)
    {
        escribir(caja(d, "mskCodigo"), codigo);
        escribir(caja(d, "mskDescrip"), descripcion);
        escribir(caja(d, "mskPrecioDC"), compra);
        escribir(caja(d, "mskPrecioDV"), venta);
    }
};

TEST_F(ProductosTest, AltaEnOrdenEspanolYCodigoRepetido)
{
    auto *l = abrirLista();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->windowTitle(), "Productos");
    EXPECT_EQ(caja(l, "txtSearch")->text(), "Ingrese su busqueda");
    // The window opens wide enough for its eight columns.
    auto *tabla = l->findChild<QTableView *>();
    ASSERT_NE(tabla, nullptr);
    EXPECT_EQ(tabla->horizontalScrollBar()->maximum(), 0);
    clic(l, 0);
    auto *d = dialogo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "NEW");
    EXPECT_FALSE(caja(d, "mskExist")->isEnabled());
    EXPECT_TRUE(caja(d, "mskCodigo")->isEnabled());

    // The checks in order, each naming its box.
    clic(d, 0);
    escribir(caja(d, "mskCodigo"), "AG1");
    clic(d, 0);
    escribir(caja(d, "mskDescrip"), "Ñandú de peluche");
    clic(d, 0);
    escribir(caja(d, "mskPrecioDC"), "5");
    clic(d, 0);
    EXPECT_EQ(msg->textos(), (QStringList{"Debe ingresar el Código", "Debe ingresar la Descripción",
                                          "Debe ingresar un precio de compra", "Debe ingresar un precio de venta"}));
    EXPECT_EQ(d->focusWidget(), caja(d, "mskPrecioDV"));

    const QList<QStringList> altas{
        {"AG1", "Ñandú de peluche", "5", "12.5"}, {"ag2", "agua sin gas", "0.8", "1.50"}, {"NA1", "Naranja", "1", "2"}};
    for (const QStringList &a : altas) {
        llenar(d, a[0], a[1], a[2], a[3]);
        clic(d, 0);
        EXPECT_TRUE(caja(d, "mskCodigo")->text().isEmpty());
        EXPECT_TRUE(d->findChild<QCheckBox *>("chkActivo")->isChecked());
        EXPECT_EQ(d->focusWidget(), caja(d, "mskCodigo"));
    }
    // Spanish order: letter case ignored, Ñ after N.
    EXPECT_EQ(columna(grilla(l), 3), (QStringList{"agua sin gas", "Naranja", "Ñandú de peluche"}));
    EXPECT_EQ(columna(grilla(l), 5), (QStringList{"1.50", "2.00", "12.50"}));
    EXPECT_EQ(columna(grilla(l), 6), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(columna(grilla(l), 8), (QStringList{"1", "1", "1"}));

    // The code is a key that ignores letter case.
    msg->limpiar();
    llenar(d, "AG2", "Otra agua", "1", "2");
    clic(d, 0);
    EXPECT_EQ(msg->textos(), QStringList{"Código existente.\nPor favor, ingrese un Código distinto."});
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 3);
}

TEST_F(ProductosTest, PrecioQueNoEsNumeroSeRechazaNombrandoLaCaja)
{
    abrirLista();
    clic(Ventanas::existente<Frm_T_Productos>(), 0);
    auto *d = dialogo();
    // Texts that are no number, "58,99" among them (not 5899).
    for (const QString &malo : {QString("1.2.3"), QString("58,99"), QString("1/2"), QString("."), QString("12a3")}) {
        msg->limpiar();
        llenar(d, "X1", "Producto", "10", malo);
        clic(d, 0);
        ASSERT_EQ(msg->mostrados().size(), 1u) << malo.toStdString();
        EXPECT_TRUE(msg->ultimo().prompt.contains("Precio de Venta")) << malo.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_EQ(d->focusWidget(), caja(d, "mskPrecioDV"));
    }
    msg->limpiar();
    llenar(d, "X1", "Producto", "-", "10");
    clic(d, 0);
    EXPECT_TRUE(msg->ultimo().prompt.contains("Precio de Compra"));
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 0);

    // Every key is typed as it is: nothing is left out of the text.
    QLineEdit *pv = caja(d, "mskPrecioDV");
    pv->clear();
    QTest::keyClicks(pv, "12a3-5,./");
    EXPECT_EQ(pv->text(), "12a3-5,./");

    // A price is kept in cents, as the list shows it.
    llenar(d, "X1", "Producto", "10.005", "1,234.5");
    clic(d, 0);
    EXPECT_EQ(valor("SELECT precio_venta FROM productos WHERE id = 'X1'"), "1234.5");
    EXPECT_EQ(valor("SELECT precio_compra FROM productos WHERE id = 'X1'"), "10.01");
}

TEST_F(ProductosTest, ModificarEliminarYBuscar)
{
    db().execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) VALUES "
                 "('P1', 'Pelota', 10, 20, 7, 1), ('G1', 'Grip', 2, 5, 3, 1), ('T1', 'Toalla ''XL''', 8, 15, 0, 0)");
    db().execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad) VALUES (1, 'P1', 2)");
    auto *l = abrirLista();
    Grid *g = grilla(l);
    ASSERT_EQ(columna(g, 2), (QStringList{"G1", "P1", "T1"}));

    // Modify: the code and the stock stay locked; the stock is never written.
    clicCelda(g, 1, 2);
    auto *d = dialogo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "MOD");
    EXPECT_FALSE(caja(d, "mskCodigo")->isEnabled());
    EXPECT_FALSE(caja(d, "mskExist")->isEnabled());
    EXPECT_EQ(caja(d, "mskExist")->text(), "7");
    d->findChild<QCheckBox *>("chkActivo")->setChecked(false);
    escribir(caja(d, "mskPrecioDV"), "22.75");
    clic(d, 0);
    procesarEventos();
    EXPECT_EQ(Ventanas::existente<Frm_T_ProductosAnexo>(), nullptr);
    EXPECT_EQ(filas("SELECT precio_venta, activo, existencia FROM productos WHERE id = 'P1'", {}, "/"), "22.75/0/7");

    // Search box: Enter with a word lists matches; a quote is a character.
    QLineEdit *s = caja(l, "txtSearch");
    QFocusEvent dentro(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(s, &dentro);
    EXPECT_TRUE(s->text().isEmpty());
    QTest::keyClicks(s, "'XL'");
    QTest::keyClick(s, Qt::Key_Return);
    EXPECT_EQ(columna(g, 2), QStringList{"T1"});
    s->clear();
    QTest::keyClick(s, Qt::Key_Return);
    EXPECT_EQ(g->MaxRows(), 3);
    escribir(s, "ip");
    EXPECT_EQ(s->text(), "ip");
    QTest::mouseClick(l->findChild<QPushButton *>("cmdSearch"), Qt::LeftButton);
    EXPECT_EQ(columna(g, 2), QStringList{"G1"});
    escribir(s, "");
    EXPECT_EQ(s->text(), "Ingrese su busqueda");
    QTest::mouseClick(l->findChild<QPushButton *>("cmdSearch"), Qt::LeftButton);
    EXPECT_EQ(columna(g, 2), QStringList{"G1"});

    // Delete asks nothing and leaves the sale lines naming the product.
    s->clear();
    QTest::keyClick(s, Qt::Key_Return);
    g->setActiveCell(2, 2);
    clic(l, 2);
    d = dialogo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "DEL");
    for (const char *n : {"mskCodigo", "mskDescrip", "mskPrecioDC", "mskPrecioDV"})
        EXPECT_FALSE(caja(d, n)->isEnabled()) << n;
    msg->limpiar();
    clic(d, 0);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(columna(g, 2), (QStringList{"G1", "T1"}));
    EXPECT_EQ(contar("SELECT count(*) FROM ventas_items WHERE productos_id = 'P1'"), 1);

    // Search mode selects the row by code and description prefixes.
    procesarEventos();
    clic(l, 1);
    d = dialogo();
    EXPECT_EQ(d->Tag, "BUS");
    EXPECT_FALSE(caja(d, "mskPrecioDC")->isEnabled());
    escribir(caja(d, "mskDescrip"), "Toa");
    clic(d, 0);
    EXPECT_EQ(g->selectedRow(), 2);
}

// Codes ignore the case of ASCII letters only, on either engine: ÑA and ña,
// ÉB and éb are two products each, A1 and a1 one. A code typed in another
// case of its ASCII letters is found; one differing in another letter is not.
TEST_F(ProductosTest, CodigosQueDifierenEnÑOÉSonDosYEnUnaLetraAsciiUno)
{
    auto *l = abrirLista();
    clic(l, 0);
    auto *d = dialogo();
    ASSERT_NE(d, nullptr);
    const QList<QStringList> altas{{"ÑA", "Ñandú grande", "1", "10"}, {"ña", "ñandú chico", "1", "11"},
                                   {"ÉB", "Émbolo", "1", "12"},       {"éb", "ébano", "1", "13"},
                                   {"A1", "Agua", "1", "14"},         {"b0", "Bebida", "1", "15"},
                                   {"C1", "Caramelo", "1", "16"}};
    for (const QStringList &a : altas) {
        llenar(d, a[0], a[1], a[2], a[3]);
        clic(d, 0);
        EXPECT_TRUE(msg->vacio()) << a[0].toStdString() << ": " << msg->textos().join(' ').toStdString();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 7);
    msg->limpiar();
    llenar(d, "a1", "Otra agua", "1", "2");
    clic(d, 0);
    EXPECT_EQ(msg->textos(), QStringList{"Código existente.\nPor favor, ingrese un Código distinto."});
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 7);
    // Written by hand, the key refuses it as well.
    EXPECT_EQ(numeroDeError([this] { db().execute("INSERT INTO productos (id) VALUES ('c1')"); }), 3022);
    EXPECT_EQ(numeroDeError([this] { db().execute("UPDATE productos SET id = 'a1' WHERE id = 'b0'"); }), 3022);

    auto precio = [](const QString &codigo) {
        const Recordset rs = dbProductos::precios(codigo);
        return rs.eof() ? QStringLiteral("ninguno") : rs.texto(QStringLiteral("precio_venta"));
    };
    EXPECT_EQ(precio("ña"), "11");
    EXPECT_EQ(precio("ÑA"), "10");
    EXPECT_EQ(precio("Ña"), "10");
    EXPECT_EQ(precio("éB"), "13");
    EXPECT_EQ(precio("a1"), "14");
    EXPECT_EQ(precio("ñA"), "11");
    EXPECT_EQ(precio("NA"), "ninguno");
    EXPECT_TRUE(dbProductos::existe("B0"));
    EXPECT_FALSE(dbProductos::existe("Éb0"));
    EXPECT_EQ(filas("SELECT descripcion FROM productos WHERE id IN ('A1', 'C1') ORDER BY id"), "Agua Caramelo");
    EXPECT_EQ(filas("SELECT count(*) FROM productos p JOIN ventas_items v ON v.productos_id = p.id"), "0");
    db().execute("INSERT INTO ventas_items (ventas_id, productos_id, cantidad) VALUES (1, 'ÑA', 1), (1, 'ña', 2), "
                 "(1, 'a1', 3)");
    EXPECT_EQ(filas("SELECT p.id, v.cantidad FROM productos p JOIN ventas_items v ON v.productos_id = p.id "
                    "ORDER BY v.cantidad",
                    {}, "=", " "),
              "ÑA=1 ña=2 A1=3");
    // Codes of ASCII letters sort as the file sorts them, case aside.
    EXPECT_EQ(filas("SELECT id FROM productos WHERE id < 'd' ORDER BY id", {}, "", " "), "A1 b0 C1");
}

} // namespace
