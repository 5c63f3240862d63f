// The cells the grid keeps row by row: rows written whole, moved by sorts,
// inserts and removals with everything their cells carry, and what the view
// is told and shown.
#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QBrush>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Each data row as "text/data/back colour" of its cells, joined by "|".
QStringList filas(const Grid &g)
{
    QStringList l;
    for (int r = 1; r <= g.MaxRows(); ++r) {
        QStringList celdas;
        for (int c = 1; c <= g.MaxCols(); ++c) {
            const QColor fondo = g.cellBackColor(c, r);
            celdas << g.text(c, r) + "/" + g.cellData(c, r).toString() + "/" + (fondo.isValid() ? fondo.name() : "");
        }
        l << celdas.join("|");
    }
    return l;
}

TEST(GridModeloTest, FilasLlenadasEnteraOrdenadasInsertadasYQuitadasLlevanTodoLoDeSusCeldas)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(4);
    // Rows 1 and 3 get the same list: changing a cell of one leaves the other.
    const QStringList comun{"b", "20", "común"};
    g.setRowTexts(1, comun);
    g.setRowTexts(2, {"c", "3"});
    g.setRowTexts(3, comun);
    g.setRowTexts(4, {"a", "100", "x", "sobra"}); // the fourth text has no column
    g.setText(3, 3, "otra");
    g.setCellData(1, 1, 11);
    g.setCellData(3, 3, 33);
    g.setRowBackColor(2, Qt::yellow);
    g.setCellBackColor(2, 4, Qt::red);
    g.setText(0, 3, "T3"); // a row header
    EXPECT_EQ(filas(g), (QStringList{"b/11/|20//|común//", "c//#ffff00|3//#ffff00|//#ffff00", "b//|20//|otra/33/",
                                     "a//|100//#ff0000|x//"}));
    EXPECT_EQ(comun, (QStringList{"b", "20", "común"}));

    // Numbers as numbers; the rows take their data and colours along, the
    // row headers stay in place.
    g.sort(1, 4, {{2, true}});
    EXPECT_EQ(filas(g), (QStringList{"c//#ffff00|3//#ffff00|//#ffff00", "b/11/|20//|común//", "b//|20//|otra/33/",
                                     "a//|100//#ff0000|x//"}));
    EXPECT_EQ(g.text(0, 3), "T3");
    EXPECT_EQ(g.text(0, 2), "2");

    // Two rows in the middle: those below move down with their row headers.
    g.insertRows(2, 2);
    ASSERT_EQ(g.MaxRows(), 6);
    EXPECT_EQ(filas(g), (QStringList{"c//#ffff00|3//#ffff00|//#ffff00", "//|//|//", "//|//|//", "b/11/|20//|común//",
                                     "b//|20//|otra/33/", "a//|100//#ff0000|x//"}));
    EXPECT_EQ(g.text(0, 5), "T3");
    EXPECT_EQ(g.text(0, 3), "3");
    EXPECT_EQ(g.DataRowCnt(), 6);

    g.removeRows(4, 2);
    EXPECT_EQ(filas(g),
              (QStringList{"c//#ffff00|3//#ffff00|//#ffff00", "//|//|//", "//|//|//", "a//|100//#ff0000|x//"}));
    EXPECT_EQ(g.text(0, 3), "3");

    // A column taken away takes its cells; brought back it is empty.
    g.setMaxCols(1);
    g.setMaxCols(3);
    EXPECT_EQ(filas(g), (QStringList{"c//#ffff00|//|//", "//|//|//", "//|//|//", "a//|//|//"}));
    // Written again whole after the columns changed.
    g.setRowTexts(2, {"d", "e", "f"});
    g.setText(1, 2, "g");
    EXPECT_EQ(filas(g)[1], "g//|e//|f//");

    // Columns sorted over some rows only move those rows' cells.
    g.setRowTexts(1, {"30", "10", "20"});
    g.setCellData(1, 1, 1);
    g.sortColumns(1, 3, 1, 2, {{1, true}});
    EXPECT_EQ(filas(g)[0], "10//|20//|30/1/#ffff00");
    EXPECT_EQ(filas(g)[1], "e//|f//|g//");
    EXPECT_EQ(filas(g)[3], "a//|//|//");
}

TEST(GridModeloTest, LaVistaVeLoEscritoConUnAvisoPorTandaYElEditorAbiertoConservaLoTecleado)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(40);
    g.setColumnFormat(3, Formatos::kImporte);
    g.setColumnEditable(2, true);
    g.resize(500, 300);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    auto *vista = g.findChild<QTableView *>();
    ASSERT_NE(vista, nullptr);
    const QAbstractItemModel *m = vista->model();
    QSignalSpy avisos(m, &QAbstractItemModel::dataChanged);

    // A fill cell by cell is told to the view once, covering every cell.
    for (int r = 1; r <= 40; ++r) {
        g.setText(1, r, QString::number(r));
        g.setNumber(3, r, r * 1000.5);
    }
    g.setCellBackColor(2, 7, Qt::cyan);
    g.setCellForeColor(1, 9, Qt::blue);
    QCoreApplication::processEvents();
    ASSERT_EQ(avisos.count(), 1);
    const auto desde = avisos.at(0).at(0).value<QModelIndex>();
    const auto hasta = avisos.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(QPoint(desde.column(), desde.row()), QPoint(0, 0));
    EXPECT_EQ(QPoint(hasta.column(), hasta.row()), QPoint(2, 39));

    // What the view paints: texts, the number column on the right, colours.
    EXPECT_EQ(m->index(39, 2).data().toString(), "40,020.00");
    EXPECT_EQ(m->index(0, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_FALSE(m->index(0, 0).data(Qt::TextAlignmentRole).isValid());
    EXPECT_EQ(m->index(6, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::cyan));
    EXPECT_EQ(m->index(8, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
    EXPECT_FALSE(m->index(6, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(m->headerData(4, Qt::Vertical).toString(), "5");

    // Writes around an open editor, told in one block that covers its cell,
    // leave what the user typed; it is kept when the edit ends.
    QSignalSpy editado(&g, &Grid::editado);
    g.setActiveCell(2, 2);
    raton::tecla(&g, Qt::Key_F2);
    QLineEdit *e = raton::editor(&g);
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, "tecleado");
    g.setText(1, 1, "x");
    g.setText(3, 3, "y");
    QCoreApplication::processEvents();
    EXPECT_EQ(e->text(), "tecleado");
    g.terminarEdicion();
    EXPECT_EQ(g.text(2, 2), "tecleado");
    ASSERT_EQ(editado.count(), 1);
    EXPECT_EQ(editado.at(0), (QList<QVariant>{2, 2}));

    // A write into the edited cell itself shows in its editor.
    g.setActiveCell(2, 3);
    raton::tecla(&g, Qt::Key_F2);
    e = raton::editor(&g);
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, "a medias");
    g.setText(2, 3, "del programa");
    QCoreApplication::processEvents();
    EXPECT_EQ(e->text(), "del programa");
}

} // namespace
