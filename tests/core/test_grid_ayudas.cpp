#include "platform/Grid.h"
#include "platform/GridAyudas.h"

#include <gtest/gtest.h>

namespace {

// Data cells of grid that are selected, as "col,row".
QStringList seleccion(const Grid &g)
{
    QStringList l;
    for (int r = 1; r <= g.MaxRows(); ++r)
        for (int c = 1; c <= g.MaxCols(); ++c)
            if (g.isCellSelected(c, r))
                l << QStringLiteral("%1,%2").arg(c).arg(r);
    return l;
}

TEST(GridAyudasTest, BusquedaPorCodigoYDescripcion)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    const QStringList cod{"P10", "p1", "P1"}, desc{"Agua", "Gaseosa", "Galletas"};
    for (int r = 1; r <= 3; ++r)
        g.setRowTexts(r, {cod[r - 1], desc[r - 1]});
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "P1", "Ga"), 3);
    EXPECT_EQ(g.selectedRow(), 3);
    EXPECT_EQ(g.ActiveRow(), 3);
    // The whole row is selected, from column 1 to the last one, and nothing else.
    EXPECT_EQ(seleccion(g), (QStringList{"1,3", "2,3", "3,3"}));
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "", " Ga "), 2); // the typed text is trimmed
    g.setText(2, 1, " Agua");                            // the cell is not
    EXPECT_EQ(Usr_BuscaEnGrid(&g, 1, 2, "", "Agua"), 0);
    EXPECT_EQ(g.selectedRow(), 2);
}

QStringList columna(const Grid &g, int col)
{
    QStringList l;
    for (int r = 1; r <= g.MaxRows(); ++r)
        l << g.text(col, r);
    return l;
}

void claves(const QList<qint16> &cols, const QList<bool> &asc, qint16 ultima, bool filas = true)
{
    SS_Claves = cols;
    SS_Ascendente = asc;
    SS_UltimaClave = ultima;
    SS_OrdenarFilas = filas;
}

TEST(GridAyudasTest, OrdenarPorLasClavesDeLasGlobales)
{
    Grid g;
    g.setMaxCols(5);
    g.setMaxRows(4);
    g.setRowTexts(1, {"d", "", "B", "", "2"});
    g.setRowTexts(2, {"c", "", "A", "", "9"});
    g.setRowTexts(3, {"b", "", "B", "", "10"});
    g.setRowTexts(4, {"a", "", "A", "", "1"});
    g.setRowBackColor(2, Qt::yellow);

    // No key: the block selection is cleared and nothing moves.
    g.selectBlock(1, 1, 5, 2);
    claves({0, 3}, {true, true}, 1);
    SS_Ordenar(&g);
    EXPECT_FALSE(g.isBlockSelected());
    EXPECT_EQ(columna(g, 1), (QStringList{"d", "c", "b", "a"}));

    // Keys 3 then 5 (descending); the third entry lies past SS_UltimaClave.
    claves({3, 5, 1}, {true, false, true}, 1);
    SS_Ordenar(&g);
    EXPECT_EQ(columna(g, 1), (QStringList{"c", "a", "b", "d"}));
    EXPECT_EQ(g.cellBackColor(4, 1), QColor(Qt::yellow)); // colours go with their row
    // A 0 ends the list even before SS_UltimaClave.
    claves({1, 0, 3}, {true, true, true}, 2);
    SS_Ordenar(&g, 2); // rows 2.. only
    EXPECT_EQ(columna(g, 1), (QStringList{"c", "a", "b", "d"}));
    claves({1}, {false}, 0);
    SS_Ordenar(&g, 2);
    EXPECT_EQ(columna(g, 1), (QStringList{"c", "d", "b", "a"}));

    // Columns: row 1 is the key; the titles stay where they were.
    Grid h;
    h.setMaxCols(3);
    h.setMaxRows(2);
    h.setRowTexts(1, {"30", "10", "20"});
    h.setRowTexts(2, {"c", "a", "b"});
    h.setText(1, 0, "Uno");
    claves({1}, {true}, 0, false);
    SS_Ordenar(&h, 1, 0);
    EXPECT_EQ(h.text(1, 2) + h.text(2, 2) + h.text(3, 2), "abc");
    EXPECT_EQ(h.text(1, 0), "Uno");
    SS_OrdenarFilas = true;
}

TEST(GridAyudasTest, BuscarFilaUneLasColumnasYSeleccionaLaFila)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    g.setRowTexts(1, {"A", "BC", "x"});
    g.setRowTexts(2, {"AB", "C", "y"});
    g.setRowTexts(3, {"ab", "c", "z"});
    EXPECT_EQ(SS_BuscarFila(&g, {1, 2}, "ABC"), 1); // the first joined match
    EXPECT_FALSE(g.isBlockSelected());
    EXPECT_EQ(SS_BuscarFila(&g, {2, 1}, "CAB", true), 2);
    EXPECT_EQ(seleccion(g), (QStringList{"1,2", "2,2", "3,2"}));
    EXPECT_EQ(SS_BuscarFila(&g, 3, "z"), 3);
    EXPECT_EQ(SS_BuscarFila(&g, 3, "Z"), 0);  // case counts
    EXPECT_EQ(SS_BuscarFila(&g, 3, "z "), 0); // so do blanks
    EXPECT_EQ(SS_BuscarFila(&g, QList<int>{}, ""), 0);

    Grid vacia;
    vacia.setMaxCols(2);
    EXPECT_EQ(SS_BuscarFila(&vacia, 1, "", true), 0);
    EXPECT_FALSE(vacia.isBlockSelected());
}

TEST(GridAyudasTest, ColoresDeCeldaYDeFila)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(2);
    SS_ColorCelda(&g, 2, 1, colorVB(0x00FFFF));
    EXPECT_EQ(g.cellBackColor(2, 1), QColor(Qt::yellow));
    EXPECT_FALSE(g.cellBackColor(1, 1).isValid());

    PintarFilaSpread(&g, 2, QColor(Qt::red), false);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(g.cellForeColor(c, 2), QColor(Qt::red));
        EXPECT_FALSE(g.cellBackColor(c, 2).isValid());
    }
    PintarFilaSpread(&g, 2, QColor(Qt::cyan), true);
    EXPECT_EQ(g.cellBackColor(3, 2), QColor(Qt::cyan));
    PintarFilaSpread(&g, 1);
    EXPECT_EQ(g.cellForeColor(1, 1), colorVB(0x80000011));
}

} // namespace
