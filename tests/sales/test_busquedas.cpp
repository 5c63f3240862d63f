#include "AyudaVentas.h"

#include "Frm_T_Productos.h"

using namespace ayuda;

namespace {

class BusquedasTest : public VentasBase {};

// Types texto key by key; QTest::keyClicks takes ASCII only.
void teclear(QWidget *w, const QString &texto)
{
    for (const QChar c : texto) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Every search box of the products, typed in any case, accented capitals and
// Ñ included, finds the same rows.
TEST_F(BusquedasTest, CadaBusquedaIgnoraMayusculasDeTodaLetra)
{
    db().execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) VALUES "
                 "('ÑJ1', 'JABÓN Ñandú', 1, 3, 4, 1), ('ñj2', 'Jabón ÉPICO ñandú', 1, 7, 4, 1), "
                 "('ÜV1', 'Vincha ÚNICA pingüino', 1, 9, 4, 1), ('ÑJ9', 'JABÓN Ñandú viejo', 1, 1, 4, 0)");
    EXPECT_TRUE(Aperturas::abrir("mnu_productos"));
    procesarEventos();
    auto *productos = Ventanas::existente<Frm_T_Productos>();
    ASSERT_NE(productos, nullptr);
    auto *d = dialogoLineas(abrirVenta());
    ASSERT_NE(d, nullptr);
    auto *combo = d->findChild<DataCombo *>("dc_producto");

    // The products list: one text, in the code or the description.
    auto lista = [&](const QString &texto) {
        QLineEdit *s = caja(productos, "txtSearch");
        s->clear();
        teclear(s, texto);
        QTest::keyClick(s, Qt::Key_Return);
        return columna(grilla(productos), 2);
    };
    // The sale-line dialog: every word in the description, or in the code.
    auto palabras = [&](const QString &texto) {
        QLineEdit *s = caja(d, "txtBusca");
        s->clear();
        teclear(s, texto);
        QTest::keyClick(s, Qt::Key_Return);
        QStringList codigos;
        for (int i = 0; i < combo->count(); ++i)
            codigos << combo->itemData(i).toString();
        return codigos;
    };
    const QStringList jabones{"ñj2", "ÑJ1"};
    const QStringList jabonesLista{"ñj2", "ÑJ1", "ÑJ9"};
    EXPECT_EQ(lista("jabón ñandú"), (QStringList{"ÑJ1", "ÑJ9"}));
    EXPECT_EQ(lista("JABÓN"), jabonesLista);
    EXPECT_EQ(lista("Jabón"), jabonesLista);
    EXPECT_EQ(lista("éPiCo"), QStringList{"ñj2"});
    EXPECT_EQ(lista("ñj"), jabonesLista);
    EXPECT_EQ(lista("ÑJ"), jabonesLista);
    EXPECT_EQ(lista("PINGÜINO"), QStringList{"ÜV1"});
    EXPECT_EQ(lista("üv"), QStringList{"ÜV1"});
    EXPECT_EQ(lista("únicA"), QStringList{"ÜV1"});

    EXPECT_EQ(palabras("ÑANDÚ jabón"), jabones);
    EXPECT_EQ(palabras("jabón ñandú"), jabones);
    EXPECT_EQ(palabras("ÉPICO Ñandú"), QStringList{"ñj2"});
    EXPECT_EQ(palabras("ñj"), jabones);
    EXPECT_EQ(palabras("ÑJ 1"), QStringList{"ÑJ1"});
    EXPECT_EQ(palabras("PINGÜINO única"), QStringList{"ÜV1"});
    EXPECT_EQ(palabras("üv1"), QStringList{"ÜV1"});
    EXPECT_TRUE(palabras("ñandú üv1").isEmpty());

    // The code box picks the product whatever the case typed, and loads it.
    palabras("");
    escribir(caja(d, "txtProducto"), "üv1");
    EXPECT_EQ(combo->BoundText(), "ÜV1");
    EXPECT_EQ(caja(d, "mskPVP")->text(), "9.00");
    escribir(caja(d, "txtProducto"), "ÑJ2");
    EXPECT_EQ(combo->BoundText(), "ñj2");
    EXPECT_EQ(caja(d, "mskPVP")->text(), "7.00");
}

} // namespace
