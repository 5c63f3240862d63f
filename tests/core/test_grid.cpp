#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A grid of 3 columns filled from rows of texts.
void llenar(Grid &g, const QList<QStringList> &filas)
{
    g.setMaxCols(3);
    g.setMaxRows(int(filas.size()));
    g.setText(1, 0, "Grupo");
    g.setText(2, 0, "Número");
    g.setText(3, 0, "Nombre");
    for (int r = 0; r < filas.size(); ++r)
        for (int c = 0; c < filas[r].size(); ++c)
            g.setText(c + 1, r + 1, filas[r][c]);
}

QStringList columna(const Grid &g, int col)
{
    QStringList l;
    for (int r = 1; r <= g.MaxRows(); ++r)
        l << g.text(col, r);
    return l;
}

} // namespace

TEST(GridTest, NumeracionConCabeceraEnFilaCeroYDatosDesdeUno)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(4);
    EXPECT_EQ(g.MaxCols(), 3);
    EXPECT_EQ(g.MaxRows(), 4);
    g.setText(1, 0, "Código");
    g.setText(2, 3, "x");
    g.setText(3, 4, "última");
    EXPECT_EQ(g.text(1, 0), "Código");
    EXPECT_EQ(g.text(2, 3), "x");
    EXPECT_EQ(g.text(3, 4), "última");
    EXPECT_EQ(g.text(2, 0), "");

    // Out of range: reads are empty, writes change nothing.
    EXPECT_EQ(g.text(4, 1), "");
    EXPECT_EQ(g.text(1, 5), "");
    EXPECT_EQ(g.text(-1, 1), "");
    g.setText(4, 1, "z");
    g.setText(1, 5, "z");
    EXPECT_EQ(g.MaxCols(), 3);
    EXPECT_EQ(g.MaxRows(), 4);

    // MaxRows 0 removes the rows; new rows come back empty, titles stay.
    g.setMaxRows(0);
    EXPECT_EQ(g.MaxRows(), 0);
    EXPECT_EQ(g.text(2, 3), "");
    g.setMaxRows(4);
    EXPECT_EQ(g.text(2, 3), "");
    EXPECT_EQ(g.text(1, 0), "Código");
}

TEST(GridTest, DataRowCntCuentaHastaLaUltimaFilaConTexto)
{
    Grid g;
    g.setMaxCols(2);
    g.setMaxRows(10);
    EXPECT_EQ(g.DataRowCnt(), 0);
    g.setText(1, 3, "a");
    g.setText(2, 5, "b");
    g.setCellBackColor(1, 8, Qt::red); // colour only: not data
    EXPECT_EQ(g.DataRowCnt(), 5);
    g.setText(2, 5, "");
    EXPECT_EQ(g.DataRowCnt(), 3);
}

TEST(GridTest, OrdenaPorVariasClavesNumerosComoNumeros)
{
    Grid g;
    llenar(g,
           {{"B", "10", "uno"}, {"A", "9", "dos"}, {"B", "9", "tres"}, {"A", "100", "cuatro"}, {"B", "10", "cinco"}});
    g.sort(1, g.MaxRows(), {{1, true}, {2, true}});
    EXPECT_EQ(columna(g, 3), (QStringList{"dos", "cuatro", "tres", "uno", "cinco"})); // stable for equal keys
    EXPECT_EQ(g.text(1, 0), "Grupo");

    g.sort(1, g.MaxRows(), {{1, false}, {2, false}});
    EXPECT_EQ(columna(g, 3), (QStringList{"uno", "cinco", "tres", "cuatro", "dos"}));
}

TEST(GridTest, OrdenaTextosSinDistinguirMayusculasYMezclasComoTexto)
{
    Grid g;
    llenar(g, {{"x", "abc", "bruno"}, {"x", "9", "Ana"}, {"x", "10", "carla"}, {"x", "", "Ángel"}});
    g.sort(1, g.MaxRows(), {{3, true}});
    EXPECT_EQ(columna(g, 3), (QStringList{"Ana", "Ángel", "bruno", "carla"}));
    // "9" and "10" are numbers against each other, "abc" is text.
    g.sort(1, g.MaxRows(), {{2, true}});
    EXPECT_EQ(columna(g, 2), (QStringList{"", "9", "10", "abc"}));

    // A column mixing numbers and texts still has one order, whatever the
    // rows' order before: empty, numbers, then texts.
    Grid m;
    llenar(m, {{"1x"}, {"10"}, {"2"}, {""}, {"b"}, {"3"}, {"1x"}, {"20"}});
    QStringList esperado{"", "2", "3", "10", "20", "1x", "1x", "b"};
    m.sort(1, m.MaxRows(), {{1, true}});
    EXPECT_EQ(columna(m, 1), esperado);
    std::reverse(esperado.begin(), esperado.end());
    m.sort(1, m.MaxRows(), {{1, false}});
    EXPECT_EQ(columna(m, 1), esperado);
}

TEST(GridTest, OrdenaImportesConMilesYFechasPorDiaMesAnio)
{
    // Amounts as the program writes them sort by value also on a machine
    // whose own locale uses "," as decimal separator.
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    Grid g;
    llenar(g, {{"1,234.50", "15/03/2024", "a"},
               {"999.00", "01/01/2025", "b"},
               {"10,000.00", "02/04/2024", "c"},
               {"-5.00", "15/03/2024 09:00:00", "d"},
               {"1,234.49", "9/3/2024", "e"}});
    g.sort(1, g.MaxRows(), {{1, true}});
    EXPECT_EQ(columna(g, 3), (QStringList{"d", "b", "e", "a", "c"}));
    g.sort(1, g.MaxRows(), {{1, false}});
    EXPECT_EQ(columna(g, 3), (QStringList{"c", "a", "e", "b", "d"}));
    QLocale::setDefault(antes);

    // Dates by time, not by their day.
    g.sort(1, g.MaxRows(), {{2, true}});
    EXPECT_EQ(columna(g, 3), (QStringList{"e", "a", "d", "c", "b"}));
}

TEST(GridTest, OrdenarLlevaLosColoresConSuFilaYRespetaElTramo)
{
    Grid g;
    llenar(g, {{"z", "1", "fija"}, {"c", "1", "tres"}, {"a", "1", "uno"}, {"b", "1", "dos"}});
    g.setRowBackColor(3, colorVB(0x00FFFF));
    g.setCellForeColor(2, 2, Qt::blue);
    g.sort(2, 4, {{1, true}});
    EXPECT_EQ(columna(g, 3), (QStringList{"fija", "uno", "dos", "tres"}));
    // "uno" was row 3, painted yellow; "tres" carried its blue text.
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(g.cellBackColor(c, 2), QColor(Qt::yellow));
    EXPECT_FALSE(g.cellBackColor(1, 4).isValid());
    EXPECT_EQ(g.cellForeColor(2, 4), QColor(Qt::blue));
    EXPECT_FALSE(g.cellForeColor(2, 2).isValid());

    // No keys: nothing moves.
    g.sort(1, 4, {});
    EXPECT_EQ(columna(g, 3), (QStringList{"fija", "uno", "dos", "tres"}));
}

TEST(GridTest, ColoresVBSonAzulVerdeRojo)
{
    EXPECT_EQ(colorVB(0x00FFFF), QColor(Qt::yellow));
    EXPECT_EQ(colorVB(0xFFFF00), QColor(Qt::cyan));
    EXPECT_EQ(colorVB(255), QColor(Qt::red));
    EXPECT_EQ(colorVB(0xE0E0E0), QColor(0xE0, 0xE0, 0xE0));
    // System colours come from the desktop's palette.
    const QPalette p = QGuiApplication::palette();
    EXPECT_EQ(colorVB(0x80000011), p.color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(colorVB(0x80000005), p.color(QPalette::Base));
    EXPECT_EQ(colorVB(0x8000000F), p.color(QPalette::Button));
}

TEST(GridTest, SeleccionDeBloque)
{
    Grid g;
    llenar(g, {{"a"}, {"b"}, {"c"}, {"d"}});
    EXPECT_FALSE(g.isBlockSelected());
    EXPECT_EQ(g.selectedRow(), 0);
    g.selectBlock(0, 3, g.MaxCols(), 3);
    EXPECT_TRUE(g.isBlockSelected());
    EXPECT_EQ(g.selectedRow(), 3);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_TRUE(g.isCellSelected(c, 3));
        EXPECT_FALSE(g.isCellSelected(c, 2));
    }
    g.clearSelection();
    EXPECT_FALSE(g.isBlockSelected());
    EXPECT_EQ(g.selectedRow(), 0);

    g.setActiveCell(2, 4);
    EXPECT_EQ(g.ActiveCol(), 2);
    EXPECT_EQ(g.ActiveRow(), 4);
    g.setMaxRows(0);
    EXPECT_EQ(g.ActiveRow(), 0);
    g.selectBlock(0, 1, 3, 1); // empty grid: nothing to select
    EXPECT_FALSE(g.isBlockSelected());
}

TEST(GridTest, BotonDeColumnaYClicsDanColumnaYFila)
{
    Grid g;
    llenar(g, {{"", "1", "uno"}, {"", "2", "dos"}, {"", "3", "tres"}});
    g.setColumnButton(1);
    g.resize(500, 300);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy boton(&g, &Grid::buttonClicked);
    QSignalSpy clic(&g, &Grid::clicked);
    QSignalSpy doble(&g, &Grid::doubleClicked);

    raton::clic(&g, 1, 2);
    ASSERT_EQ(boton.count(), 1);
    EXPECT_EQ(boton.at(0), (QList<QVariant>{1, 2}));
    EXPECT_EQ(g.ActiveRow(), 2);

    // A data cell outside the button column: a click, no button.
    raton::clic(&g, 3, 3);
    EXPECT_EQ(boton.count(), 1);
    ASSERT_FALSE(clic.isEmpty());
    EXPECT_EQ(clic.last(), (QList<QVariant>{3, 3}));

    // Column header: row 0. A header click selects nothing.
    g.clearSelection();
    raton::clic(&g, 2, 0);
    EXPECT_EQ(clic.last(), (QList<QVariant>{2, 0}));
    EXPECT_FALSE(g.isBlockSelected());

    // Row header: column 0.
    raton::clic(&g, 0, 3);
    EXPECT_EQ(clic.last(), (QList<QVariant>{0, 3}));

    // Top left corner: (0, 0).
    ASSERT_FALSE(g.cellRect(0, 0).isEmpty());
    raton::clic(&g, 0, 0);
    EXPECT_EQ(clic.last(), (QList<QVariant>{0, 0}));

    // Right button on a column header, a row header and a cell.
    QSignalSpy derecho(&g, &Grid::rightClicked);
    raton::clic(&g, 2, 0, Qt::RightButton);
    raton::clic(&g, 0, 3, Qt::RightButton);
    raton::clic(&g, 3, 1, Qt::RightButton);
    ASSERT_EQ(derecho.count(), 3);
    EXPECT_EQ(derecho.at(0), (QList<QVariant>{2, 0}));
    EXPECT_EQ(derecho.at(1), (QList<QVariant>{0, 3}));
    EXPECT_EQ(derecho.at(2), (QList<QVariant>{3, 1}));
    EXPECT_EQ(boton.count(), 1);

    raton::dobleClic(&g, 2, 3);
    ASSERT_FALSE(doble.isEmpty());
    EXPECT_EQ(doble.last(), (QList<QVariant>{2, 3}));
    EXPECT_EQ(g.text(2, 3), "3"); // read-only column: no editor opened by the double click
    EXPECT_EQ(raton::editor(&g), nullptr);
}

TEST(GridTest, ColumnaEditableAvisaAlTerminarLaEdicion)
{
    Grid g;
    llenar(g, {{"a", "1", "uno"}, {"b", "2", "dos"}});
    g.setColumnEditable(2, true);
    g.resize(500, 300);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy editado(&g, &Grid::editado);

    // Read-only column: typing changes nothing.
    g.setActiveCell(3, 1);
    raton::teclas(&g, "zz");
    EXPECT_EQ(g.text(3, 1), "uno");
    EXPECT_TRUE(editado.isEmpty());

    // Told once, after the editor has closed: a handler may show a message
    // or give the cell back its text without the editor in the way.
    int editoresAbiertos = 0;
    QObject::connect(&g, &Grid::editado, &g, [&] {
        if (raton::editor(&g))
            ++editoresAbiertos;
        g.deshacerEdicion();
    });
    g.setActiveCell(2, 2);
    raton::tecla(&g, Qt::Key_F2);
    auto *ed = raton::editor(&g);
    ASSERT_NE(ed, nullptr);
    ed->setText("150.5");
    QTest::keyClick(ed, Qt::Key_Return);
    ASSERT_TRUE(editado.wait(2000));
    QCoreApplication::processEvents();
    ASSERT_EQ(editado.count(), 1);
    EXPECT_EQ(editado.at(0), (QList<QVariant>{2, 2}));
    EXPECT_EQ(editoresAbiertos, 0);
    // The handler refused it: the cell holds what it had before the edit.
    EXPECT_EQ(g.text(2, 2), "2");
}

TEST(GridTest, ImprimeTodasLasFilasEnUnPdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(150);
    g.setText(1, 0, "Código");
    g.setText(2, 0, "Nombre");
    g.setText(3, 0, "Teléfono");
    for (int r = 1; r <= 150; ++r) {
        g.setText(1, r, QString::number(r));
        g.setText(2, r, QStringLiteral("Cliente %1").arg(r));
    }
    g.setRowBackColor(5, colorVB(0x00FFFF));

    const QString ruta = dir.filePath("clientes.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ruta);
    ASSERT_TRUE(g.imprimir("Clientes", &printer));
    EXPECT_EQ(printer.docName(), "Clientes");

    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // 150 rows do not fit on one page.
    const QRegularExpression paginas(QStringLiteral("/Type\\s*/Page[^s]"));
    EXPECT_GE(QString::fromLatin1(pdf).count(paginas), 2);
}

TEST(GridTest, SinImpresoraNoImprime)
{
    if (Grid::hayImpresora())
        GTEST_SKIP() << "this machine has a printer";
    Grid g;
    g.setMaxCols(1);
    g.setMaxRows(1);
    EXPECT_FALSE(g.imprimir("Clientes"));
}

TEST(GridTest, LaCeldaActivaAvisaCuandoCambiaPorCodigoOPorTeclado)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    g.resize(400, 200);
    g.show();
    QSignalSpy spy(&g, &Grid::activeCellChanged);
    g.setActiveCell(2, 3);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.last(), (QVariantList{2, 3}));
    raton::tecla(&g, Qt::Key_Up);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.last(), (QVariantList{2, 2}));
    g.setActiveCell(2, 2); // no move, no notice
    EXPECT_EQ(spy.size(), 2);
}
