// The grid paints its cells with texts it keeps laid out; what the user sees
// must be what Qt's own delegate paints, pixel for pixel.
#include "platform/Formatos.h"
#include "platform/Grid.h"

#include <QApplication>
#include <QImage>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The grid's table painted as it is on screen.
QImage pintura(Grid &g)
{
    QCoreApplication::processEvents(); // pending model notices and layouts first
    return g.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The grid painted again with Qt's own delegate in every text column and
// the view's own solid grid lines, as a plain table paints it.
QImage pinturaDeQt(Grid &g, const QList<int> &columnasDeTexto)
{
    QTableView *t = g.findChild<QTableView *>();
    t->setGridStyle(Qt::SolidLine);
    auto *qt = new QStyledItemDelegate(t);
    t->setItemDelegate(qt);
    for (int c : columnasDeTexto)
        t->setItemDelegateForColumn(c - 1, qt);
    return pintura(g);
}

// The cells where two paintings differ, as "col,row" of the grid's pixels.
int pixelesDistintos(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST(GridPinturaTest, LasCeldasSeVenComoConElDelegadoDeQtEnCadaCaso)
{
    Grid g;
    g.resize(760, 420);
    g.setMaxCols(6);
    g.setMaxRows(14);
    g.setText(1, 0, "Texto");
    g.setText(2, 0, "Importe");
    g.setText(3, 0, "Centro");
    g.setText(4, 0, "Marca");
    g.setText(5, 0, "Ver");
    g.setText(6, 0, "Última");
    g.setColumnWidth(1, 90);
    g.setColumnWidth(3, 80);
    g.setColumnFormat(2, Formatos::kImporte);
    g.setColumnAlignment(3, Qt::AlignHCenter);
    g.setColumnCheck(4);
    g.setColumnButton(5, "...");
    const QStringList textos = {
        "Reservada", "SEÑADA (C02)", "Un texto demasiado largo para la columna", "ñandú árbol", "", "  espacios  ",
        "W",         "Cobrada"};
    for (int r = 1; r <= g.MaxRows(); ++r) {
        g.setText(1, r, textos.at(r % textos.size()));
        g.setNumber(2, r, r * 1234.5 - (r % 3 == 0 ? 1e7 : 0));
        g.setText(3, r, textos.at((r + 3) % textos.size()));
        g.setText(4, r, r % 2 ? "1" : "0");
        g.setText(6, r, textos.at((r + 5) % textos.size()));
    }
    // Colours of the agenda and the reports: backgrounds, inks, a system colour.
    g.setCellBackColor(1, 2, colorVB(0x00FFFF));
    g.setCellBackColor(3, 2, colorVB(0xFF00FF));
    g.setCellForeColor(1, 3, colorVB(0x0000FF));
    g.setRowBackColor(4, colorVB(0xC0C000));
    g.setRowForeColor(5, colorVB(0x80000011));
    g.setCellBackColor(2, 6, colorVB(0x00FF00));
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));

    auto comparar = [&](const char *caso) {
        const QImage propia = pintura(g);
        QTableView *t = g.findChild<QTableView *>();
        QAbstractItemDelegate *general = t->itemDelegate();
        QAbstractItemDelegate *numeros = t->itemDelegateForColumn(1);
        const QImage deQt = pinturaDeQt(g, {2});
        t->setItemDelegate(general);
        t->setGridStyle(Qt::NoPen);
        t->setItemDelegateForColumn(1, numeros);
        EXPECT_EQ(pixelesDistintos(propia, deQt), 0) << caso;
        EXPECT_NE(pixelesDistintos(propia, QImage(propia.size(), propia.format())), 0) << caso;
    };
    comparar("sin selección");

    // A selected block, the active cell with the focus, and the rows below.
    g.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.setFocus();
    ASSERT_TRUE(g.findChild<QTableView *>()->hasFocus());
    g.selectBlock(1, 3, 3, 5);
    g.setActiveCell(2, 4);
    comparar("con selección y foco");

    // A bold, larger font and taller rows move the texts.
    QFont f = g.font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 3);
    g.setFont(f);
    g.fitRowHeights(1, g.MaxRows());
    comparar("letra mayor");

    // Columns narrowed: more texts are cut with an ellipsis.
    g.setColumnWidth(1, 45);
    g.setColumnWidth(6, 50);
    comparar("columnas angostas");

    // A hidden column and no row headers, as the agenda; more rows than fit,
    // scrolled down and to the right.
    g.setColumnHidden(3, true);
    g.setRowHeaderVisible(false);
    g.setMaxRows(40);
    for (int r = 15; r <= 40; ++r)
        g.setText(1, r, textos.at(r % textos.size()));
    g.setColumnWidth(1, 500);
    QCoreApplication::processEvents(); // the new rows laid out before the scroll
    g.showCell(6, 33);
    ASSERT_TRUE(g.cellRect(1, 1).isEmpty());
    comparar("desplazada");
}
