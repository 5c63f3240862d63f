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

} // namespace
