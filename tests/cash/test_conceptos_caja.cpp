#include "AyudaCaja.h"

#include "Frm_T_MovCaja_Conceptos.h"

#include <QKeyEvent>
#include <QPushButton>

using namespace ayuda;

namespace {

class ConceptosCajaTest : public CajaBase {
protected:
    QPushButton *boton(QWidget *w, int i) { return w->findChild<QPushButton *>(QStringLiteral("cmdButton_%1").arg(i)); }
    void enter(QLineEdit *e) { QTest::keyClick(e, Qt::Key_Return); }
};

TEST_F(ConceptosCajaTest, AltaEdicionBajaOrdenYErrores)
{
    EXPECT_TRUE(Aperturas::abrir("mnu_CajaConceptos"));
    procesarEventos();
    auto *w = Ventanas::existente<Frm_T_MovCaja_Conceptos>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Movimientos de Caja ");
    Grid *g = grilla(w);
    QLineEdit *codigo = caja(w, "mskBox_0"), *descripcion = caja(w, "mskBox_1");
    // Only the users' own concepts, by description; no button without a code.
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "LUZ"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(boton(w, i)->isEnabled());

    // A system code finds no row: add mode, and the save fails on the key.
    escribir(codigo, "INI");
    EXPECT_TRUE(codigo->isEnabled());
    EXPECT_TRUE(boton(w, 1)->isEnabled());
    EXPECT_FALSE(boton(w, 2)->isEnabled());
    escribir(descripcion, "Otro inicio");
    boton(w, 1)->click();
    EXPECT_EQ(msg->textos(), QStringList{"Código de Movimientos de Caja  ya Ingresado "});
    EXPECT_EQ(codigo->text(), "INI"); // the fields stay after a failed save
    EXPECT_EQ(valor("SELECT descripcion FROM caja_conceptos WHERE id = 'INI'"), "Inicio de caja");

    // A user code loads its row: only the description changes.
    boton(w, 0)->click();
    escribir(codigo, "BAR");
    EXPECT_FALSE(codigo->isEnabled());
    EXPECT_EQ(descripcion->text(), "Bar");
    EXPECT_TRUE(boton(w, 2)->isEnabled());
    escribir(descripcion, "Bar y kiosco");
    boton(w, 1)->click();
    EXPECT_EQ(valor("SELECT descripcion FROM caja_conceptos WHERE id = 'BAR'"), "Bar y kiosco");
    EXPECT_TRUE(codigo->isEnabled() && codigo->text().isEmpty());

    // A new code with Enter; codes are exact ("bar" is new); the checks first.
    msg->limpiar();
    escribir(codigo, "GAS");
    enter(descripcion);
    EXPECT_EQ(msg->textos(), QStringList{"Debe Ingresar Descripción"});
    escribir(codigo, "GAS");
    escribir(descripcion, "Gas 'natural'");
    enter(descripcion);
    escribir(codigo, "bar");
    EXPECT_TRUE(codigo->isEnabled());
    escribir(descripcion, "barra");
    boton(w, 1)->click();
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "bar", "GAS", "LUZ"}));
    EXPECT_EQ(columna(g, 2), (QStringList{"Bar y kiosco", "barra", "Gas 'natural'", "Luz"}));

    // Title clicks: left ascending, right descending; a click clears the fields.
    escribir(codigo, "LUZ");
    raton::clic(g, 1, 0, Qt::RightButton);
    EXPECT_TRUE(codigo->text().isEmpty());
    EXPECT_EQ(columna(g, 1), (QStringList{"LUZ", "GAS", "BAR", "bar"}));
    raton::clic(g, 2, 0);
    EXPECT_EQ(columna(g, 2), (QStringList{"Bar y kiosco", "barra", "Gas 'natural'", "Luz"}));

    // A row header loads the concept; "Eliminar" deletes it without a question,
    // and the movements keep what they copied.
    db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, caja_conceptos_id, "
                 "caja_conceptos_descripcion, importe) VALUES (1, 'EGR', 'LUZ', 'Luz', -5)");
    msg->limpiar();
    raton::clic(g, 0, 4);
    EXPECT_EQ(codigo->text(), "LUZ");
    EXPECT_FALSE(codigo->isEnabled());
    boton(w, 2)->click();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "bar", "GAS"}));
    EXPECT_EQ(valor("SELECT caja_conceptos_descripcion FROM caja_movimientos"), "Luz");
}

} // namespace
