#include "support/Entorno.h"

#include "platform/DataCombo.h"
#include "support/RatonCombo.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

class DataComboTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        for (const auto &[id, desc] : {std::pair{"C1", "Central"}, {"c2", "Lateral"}, {"T3", "Techada"}})
            db().execute("INSERT INTO canchas (id, descripcion) VALUES (?, ?)", {id, desc});
    }
    static Recordset canchas()
    {
        return gConexion->openRecordset("SELECT id, descripcion FROM canchas ORDER BY descripcion");
    }
};

} // namespace

TEST_F(DataComboTest, ElegirPorClaveMuestraLaDescripcion)
{
    DataCombo dc;
    QSignalSpy cambiado(&dc, &DataCombo::cambiado);
    dc.cargar(canchas, "descripcion", "id");
    EXPECT_EQ(dc.count(), 3);
    EXPECT_EQ(dc.currentIndex(), -1);
    EXPECT_EQ(dc.Text(), "");
    EXPECT_EQ(dc.BoundText(), "");

    dc.setBoundText("c2");
    EXPECT_EQ(dc.Text(), "Lateral");
    EXPECT_EQ(dc.BoundText(), "c2");

    // Letter case of the key does not matter.
    dc.setBoundText("t3");
    EXPECT_EQ(dc.Text(), "Techada");
    EXPECT_EQ(dc.BoundText(), "T3");

    // A key no row has leaves nothing chosen.
    dc.setBoundText("X9");
    EXPECT_EQ(dc.currentIndex(), -1);
    EXPECT_EQ(dc.Text(), "");
    EXPECT_EQ(dc.currentText(), "");
    EXPECT_EQ(dc.BoundText(), "");
    dc.setBoundText("C1");
    dc.setBoundText("");
    EXPECT_EQ(dc.Text(), "");

    EXPECT_TRUE(cambiado.isEmpty()); // code choosing is not the user choosing
}

TEST_F(DataComboTest, ElUsuarioEligeYAvisa)
{
    DataCombo dc;
    dc.cargar(canchas, "descripcion", "id");
    dc.setBoundText("C1");
    QSignalSpy cambiado(&dc, &DataCombo::cambiado);
    QTest::keyClick(&dc, Qt::Key_Down);
    EXPECT_EQ(cambiado.count(), 1);
    EXPECT_EQ(dc.BoundText(), "c2");
    EXPECT_EQ(dc.Text(), "Lateral");

    QSignalSpy foco(&dc, &DataCombo::perdioFoco);
    QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&dc, &fuera);
    EXPECT_EQ(foco.count(), 1);
}

TEST_F(DataComboTest, CargarConCamposDePropiedadesYValores)
{
    DataCombo dc;
    dc.setListField("descripcion");
    dc.setBoundColumn("id");
    dc.cargar([] {
        return gConexion->openRecordset(
            "SELECT id, descripcion FROM canchas WHERE descripcion <> ? ORDER BY descripcion", {"Central"});
    });
    ASSERT_EQ(dc.count(), 2);
    EXPECT_EQ(dc.itemText(0), "Lateral");
    dc.setBoundText("C1");
    EXPECT_EQ(dc.Text(), "");
    dc.setBoundText("T3");
    EXPECT_EQ(dc.Text(), "Techada");

    // The three-argument form sets the same fields.
    DataCombo otro;
    otro.cargar(canchas, "descripcion", "id");
    EXPECT_EQ(otro.ListField(), "descripcion");
    EXPECT_EQ(otro.BoundColumn(), "id");
}

TEST_F(DataComboTest, RefrescarReleeYConservaLaClave)
{
    DataCombo dc;
    dc.cargar(canchas, "descripcion", "id");
    dc.setBoundText("c2");
    db().execute("UPDATE canchas SET descripcion = ? WHERE id = ?", {"Anexa", "c2"});
    db().execute("INSERT INTO canchas (id, descripcion) VALUES (?, ?)", {"N4", "Nueva"});
    dc.refrescar();
    EXPECT_EQ(dc.count(), 4);
    EXPECT_EQ(dc.itemText(0), "Anexa");
    EXPECT_EQ(dc.BoundText(), "c2");
    EXPECT_EQ(dc.Text(), "Anexa");

    db().execute("DELETE FROM canchas WHERE id = ?", {"c2"});
    dc.refrescar();
    EXPECT_EQ(dc.count(), 3);
    EXPECT_EQ(dc.currentIndex(), -1);
    EXPECT_EQ(dc.Text(), "");

    // Nothing chosen stays nothing chosen.
    dc.refrescar();
    EXPECT_EQ(dc.currentIndex(), -1);
}

TEST_F(DataComboTest, ElegirEnLaListaConElRatonEscribeElCodigoYAvisa)
{
    QWidget ventana;
    auto *dc = new DataCombo(&ventana);
    auto *caja = new QLineEdit(&ventana);
    dc->move(0, 30);
    dc->cargar(canchas, "descripcion", "id");
    dc->enlazarCaja(caja);
    ventana.resize(300, 120);
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));
    caja->setFocus();
    QSignalSpy cambiado(dc, &DataCombo::cambiado);
    raton::elegir(dc, "Lateral");
    EXPECT_EQ(cambiado.count(), 1);
    EXPECT_EQ(dc->BoundText(), "c2");
    EXPECT_EQ(caja->text(), "c2");
    dc->setBoundText("");
    raton::elegir(dc, "Central");
    EXPECT_EQ(caja->text(), "C1");
}
