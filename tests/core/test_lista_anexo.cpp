#include "support/Entorno.h"

#include "platform/Grid.h"
#include "platform/ListaAnexo.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

namespace {

// A list with the users' arrangement: four buttons, printing without asking.
class ListaCuatro : public FrmLista {
public:
    ListaCuatro()
    {
        construir("Prueba", {"Código", "Descripción"}, "Prueba", {Agregar, Eliminar, Imprimir, Buscar});
        setPreguntarImpresion(false);
        Usr_LlenarDatos();
    }
    void Usr_LlenarDatos() override
    {
        grilla()->setMaxRows(0);
        agregarFila({"A1", "Uno"});
    }

protected:
    FrmAnexo *anexo() override { return nullptr; }
};

using ListaAnexoTest = Entorno;

TEST_F(ListaAnexoTest, ConjuntoDeBotonesConfigurableEImpresionSinPregunta)
{
    ListaCuatro l;
    QStringList captions;
    for (int i = 0; l.Command(i); ++i)
        captions << l.Command(i)->text();
    EXPECT_EQ(captions, (QStringList{"Agregar", "Eliminar", "Imprimir", "Buscar"}));
    EXPECT_EQ(l.findChild<QPushButton *>("Command_1"), l.Command(1));
    EXPECT_EQ(l.grilla()->text(3, 0), "Descripción");
    EXPECT_EQ(l.grilla()->text(2, 1), "A1");

    if (Grid::hayImpresora())
        GTEST_SKIP() << "esta máquina tiene impresora";
    l.Command(2)->click();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
}

TEST_F(ListaAnexoTest, BusquedaEnOtrasColumnas)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    const QStringList cod{"P10", "p1", "P1"}, desc{"Agua", "Gaseosa", "Galletas"};
    for (int r = 1; r <= 3; ++r) {
        g.setText(1, r, cod[r - 1]);
        g.setText(2, r, desc[r - 1]);
    }
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "P1", "Ga"), 3);
    EXPECT_EQ(g.selectedRow(), 3);
    EXPECT_EQ(g.ActiveRow(), 3);
    // The whole row is selected, from column 1 to the last one, and nothing else.
    QList<int> columnas;
    for (const QModelIndex &i : g.tabla()->selectionModel()->selectedIndexes()) {
        EXPECT_EQ(i.row() + 1, 3);
        columnas << i.column() + 1;
    }
    std::sort(columnas.begin(), columnas.end());
    EXPECT_EQ(columnas, (QList<int>{1, 2, 3}));
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "", " Ga "), 2); // the typed text is trimmed
    g.setText(2, 1, " Agua");                            // the cell is not
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "", "Agua"), 0);
    EXPECT_EQ(g.selectedRow(), 2);
}

} // namespace
