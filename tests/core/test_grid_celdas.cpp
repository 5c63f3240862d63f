#include "platform/Formatos.h"
#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList columna(const Grid &g, int col)
{
    QStringList l;
    for (int r = 1; r <= g.MaxRows(); ++r)
        l << g.text(col, r);
    return l;
}

TEST(FormatoNumeroTest, CadaFormatoAceptaLoQueEscribeYNadaMas)
{
    using namespace Formatos;
    EXPECT_EQ(texto(1234567.5, kImporte), "1,234,567.50");
    EXPECT_EQ(texto(-0.004, kImporte), "0.00");
    EXPECT_EQ(texto(1234.5, kPrecio), "1,234.50");
    EXPECT_EQ(texto(2.675, kPrecio), "2.68");
    EXPECT_EQ(texto(1234.5, kEntero), "1235");

    bool ok = false;
    EXPECT_DOUBLE_EQ(leer("1,234.5", kImporte, &ok), 1234.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(leer(" -1234.50 ", kImporte, &ok), -1234.5);
    EXPECT_TRUE(ok);
    // Misplaced groups, too many decimals, signs where none are allowed,
    // exponents and lone points are not numbers of the format.
    for (const char *t : {"1,23.50", "12,5", "1.234", "", ".", "-", "1e3", "5.", ".5", "1.2.3"}) {
        leer(t, kImporte, &ok);
        EXPECT_FALSE(ok) << t;
    }
    for (const char *t : {"-3", "1234567890", "3.555"}) {
        leer(t, kPrecio, &ok);
        EXPECT_FALSE(ok) << t;
    }
    EXPECT_DOUBLE_EQ(leer("123456789.99", kPrecio, &ok), 123456789.99);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(leer("-12", kEntero, &ok), -12);
    EXPECT_TRUE(ok);
    leer("12.0", kEntero, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(importe(-1234.5), "-1,234.50");
}

TEST(GridCeldasTest, DatoOcultoViajaConSuCeldaAlOrdenarInsertarYQuitar)
{
    Grid g;
    g.setMaxCols(2);
    g.setMaxRows(3);
    const QStringList nombres{"Carla", "Ana", "Berta"};
    for (int r = 1; r <= 3; ++r) {
        g.setRowTexts(r, {nombres[r - 1], QString::number(r)});
        g.setCellData(1, r, 100 + r);
    }
    EXPECT_EQ(g.text(1, 1), "Carla"); // the data is not shown
    EXPECT_FALSE(g.cellData(2, 1).isValid());
    EXPECT_FALSE(g.cellData(1, 4).isValid());

    g.sort(1, 3, {{1, true}});
    EXPECT_EQ(columna(g, 1), (QStringList{"Ana", "Berta", "Carla"}));
    EXPECT_EQ(g.cellData(1, 1).toInt(), 102);
    EXPECT_EQ(g.cellData(1, 3).toInt(), 101);

    g.insertRows(2, 2);
    EXPECT_EQ(g.MaxRows(), 5);
    EXPECT_EQ(columna(g, 1), (QStringList{"Ana", "", "", "Berta", "Carla"}));
    EXPECT_FALSE(g.cellData(1, 2).isValid());
    EXPECT_EQ(g.cellData(1, 4).toInt(), 103);

    g.removeRows(1, 3);
    EXPECT_EQ(columna(g, 1), (QStringList{"Berta", "Carla"}));
    EXPECT_EQ(g.cellData(1, 1).toInt(), 103);
    g.removeRows(2, 10); // only the rows in range go
    EXPECT_EQ(g.MaxRows(), 1);
    g.insertRows(3); // past the end + 1: nothing
    g.insertRows(2); // appends
    EXPECT_EQ(g.MaxRows(), 2);

    // Filling a row: texts beyond the last column are ignored, columns
    // beyond the list keep their text.
    g.setRowTexts(1, {"x"}, 2);
    EXPECT_EQ(g.text(1, 1), "Berta");
    EXPECT_EQ(g.text(2, 1), "x");
    EXPECT_EQ(g.appendRow({"a", "b", "c"}), 3);
    EXPECT_EQ(g.text(1, 3), "a");
    EXPECT_EQ(g.text(2, 3), "b");
    EXPECT_EQ(g.MaxCols(), 2);
}

TEST(GridCeldasTest, ColumnaDeImportesAlineaEscribeYLee)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(2);
    g.setColumnAlignment(1, Qt::AlignCenter);
    EXPECT_EQ(g.columnAlignment(1), Qt::AlignHCenter);
    EXPECT_EQ(g.columnAlignment(2), Qt::AlignLeft);
    g.setColumnFormat(2, Formatos::kImporte);
    g.setColumnFormat(3, Formatos::kEntero);
    EXPECT_EQ(g.columnAlignment(2), Qt::AlignRight);
    Formatos::FormatoNumero f;
    ASSERT_TRUE(g.columnFormat(3, &f));
    EXPECT_EQ(f.decimales, 0);
    EXPECT_FALSE(g.columnFormat(1));

    g.setNumber(2, 1, 1234.5);
    g.setNumber(3, 1, 7);
    EXPECT_EQ(g.text(2, 1), "1,234.50");
    EXPECT_EQ(g.text(3, 1), "7");
    bool ok = false;
    EXPECT_DOUBLE_EQ(g.number(2, 1, &ok), 1234.5);
    EXPECT_TRUE(ok);
    g.setText(3, 2, "7.5");
    g.number(3, 2, &ok);
    EXPECT_FALSE(ok);
    // Columns past a narrowing lose their format.
    g.setMaxCols(2);
    g.setMaxCols(3);
    EXPECT_FALSE(g.columnFormat(3));
}

TEST(GridCeldasTest, EditorDeImportesGuardaNumerosDelFormatoYDejaLoDemasComoSeEscribio)
{
    Grid g;
    g.setMaxCols(2);
    g.setMaxRows(2);
    g.setColumnFormat(1, Formatos::kImporte);
    g.setColumnFormat(2, Formatos::kEntero);
    g.setColumnEditable(1, true);
    g.setColumnEditable(2, true);
    g.setNumber(1, 1, 1234.5);
    g.setNumber(2, 1, 3);
    g.resize(400, 200);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy editado(&g, &Grid::editado);

    auto teclear = [&](int col, int fila, const QString &teclas, QString *ofrecido = nullptr) {
        g.setActiveCell(col, fila);
        raton::tecla(&g, Qt::Key_F2);
        QLineEdit *e = raton::editor(&g);
        ASSERT_NE(e, nullptr);
        if (ofrecido)
            *ofrecido = e->text();
        e->selectAll();
        QTest::keyClicks(e, teclas);
        const int antes = editado.count();
        QTest::keyClick(e, Qt::Key_Return);
        // The view commits through a queued call, and the edit is told after.
        EXPECT_TRUE(editado.count() > antes || editado.wait(2000));
    };
    QString ofrecido;
    teclear(1, 1, "-2,500.755", &ofrecido);
    EXPECT_EQ(ofrecido, "1234.50");       // no thousands separators in the editor
    EXPECT_EQ(g.text(1, 1), "-2,500.76"); // any typed number, rounded to the column's format
    bool ok = true;
    teclear(1, 1, "abc");
    EXPECT_EQ(g.text(1, 1), "abc"); // no number: kept as typed, for the window to refuse
    g.number(1, 1, &ok);
    EXPECT_FALSE(ok);
    teclear(1, 1, "1,23", &ofrecido);
    EXPECT_EQ(ofrecido, "abc");      // offered as it stands, to be corrected
    EXPECT_EQ(g.text(1, 1), "1,23"); // a misplaced separator is no number, and not 123
    teclear(1, 2, "1234567.8");
    EXPECT_EQ(g.text(1, 2), "1,234,567.80");
    teclear(1, 2, "1e3");
    EXPECT_EQ(g.text(1, 2), "1e3");
    teclear(2, 1, "12.5");
    EXPECT_EQ(g.text(2, 1), "13"); // rounded to the column's decimals, half away from zero
    teclear(2, 1, "1234567890");
    EXPECT_EQ(g.text(2, 1), "1234567890"); // more digits than the column holds
    g.number(2, 1, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(editado.count(), 7);
}

TEST(GridCeldasTest, OrdenPorCabeceraDescendenteYAscendente)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    g.setRowTexts(1, {"1", "Ana", "10.00"});
    g.setRowTexts(2, {"2", "Berta", "1,000.00"});
    g.setRowTexts(3, {"3", "Carla", "200.00"});
    g.resize(400, 200);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clic(&g, &Grid::clicked);

    raton::clic(&g, 3, 0); // no header sort set: nothing moves
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "2", "3"}));

    g.setHeaderSort(Grid::OrdenCabecera::Descendente, 2);
    raton::clic(&g, 3, 0);
    EXPECT_EQ(columna(g, 3), (QStringList{"1,000.00", "200.00", "10.00"}));
    raton::clic(&g, 3, 0); // a second click sorts the same way again
    EXPECT_EQ(columna(g, 3), (QStringList{"1,000.00", "200.00", "10.00"}));
    raton::clic(&g, 2, 0);
    EXPECT_EQ(columna(g, 2), (QStringList{"Carla", "Berta", "Ana"}));
    raton::clic(&g, 1, 0); // before the first sorting column
    EXPECT_EQ(columna(g, 2), (QStringList{"Carla", "Berta", "Ana"}));
    raton::clic(&g, 2, 2); // a data cell
    EXPECT_EQ(columna(g, 2), (QStringList{"Carla", "Berta", "Ana"}));
    EXPECT_EQ(clic.last(), (QList<QVariant>{2, 2}));

    g.setHeaderSort(Grid::OrdenCabecera::Ascendente, 1);
    raton::clic(&g, 1, 0);
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(clic.last(), (QList<QVariant>{1, 0})); // the click is still reported
}

} // namespace

TEST(GridCeldasTest, ClearRangeVaciaTextosColoresYDatosDelBloqueYNadaMas)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(4);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c) {
            g.setText(c, r, QString("%1.%2").arg(c).arg(r));
            g.setCellBackColor(c, r, Qt::yellow);
            g.setCellForeColor(c, r, Qt::red);
            g.setCellData(c, r, r * 10 + c);
        }
    g.setText(1, 0, "Título");
    // Columns 2 to 3 of rows 2 to 3, and a block partly out of range.
    g.clearRange(2, 2, 3, 3);
    g.clearRange(3, 4, 9, 9);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c) {
            const bool vacia = (c >= 2 && r >= 2 && r <= 3) || (c == 3 && r == 4);
            EXPECT_EQ(g.text(c, r), vacia ? QString() : QString("%1.%2").arg(c).arg(r)) << c << r;
            EXPECT_EQ(g.cellBackColor(c, r).isValid(), !vacia) << c << r;
            EXPECT_EQ(g.cellForeColor(c, r).isValid(), !vacia) << c << r;
            EXPECT_EQ(g.cellData(c, r).isValid(), !vacia) << c << r;
        }
    EXPECT_EQ(g.text(1, 0), "Título");
    EXPECT_EQ(g.MaxRows(), 4);
    g.clearRange(1, 1, 3, 4);
    EXPECT_EQ(g.DataRowCnt(), 0);
}
