#pragma once
// The grid of every list and report window. Its numbering follows the rest
// of the program: row 0 is the column-header row, data rows and columns are
// numbered from 1; column 0 is the row-header column.
#include "platform/Formatos.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QPrinter;

// Windows colour value 0x00BBGGRR (as written in the system's tables) as a
// QColor; a system colour (0x800000nn, e.g. 0x80000011 grey text) gives the
// desktop palette's colour of that role.
QColor colorVB(quint32 bgr);

class Grid : public QWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);

    // Size. Setting MaxRows to 0 removes every data row.
    int MaxRows() const;
    void setMaxRows(int filas);
    int MaxCols() const;
    void setMaxCols(int columnas);
    // Number of data rows up to the last one holding any text (0 when none).
    int DataRowCnt() const;

    // Cell text: row 0 is the header (its text is the column title), column 0
    // the row header. Out-of-range cells read as "" and ignore writes.
    QString text(int col, int row) const;
    void setText(int col, int row, const QString &texto);

    // Data the user never sees, kept per data cell (e.g. the id of the
    // booking a cell shows). It travels with its cell when rows are sorted,
    // inserted or removed, and goes with the row. Invalid when never set or
    // out of range.
    void setCellData(int col, int row, const QVariant &dato);
    QVariant cellData(int col, int row) const;

    // Rows. insertRows puts count empty rows before row (MaxRows() + 1
    // appends); removeRows takes out rows row..row + count - 1 (those in
    // range). The rows below move with their texts, colours and data.
    void insertRows(int row, int count = 1);
    void removeRows(int row, int count = 1);
    // Writes textos into row row (0: the column titles), one per column from
    // primeraCol on;
    // texts beyond the last column are ignored, columns beyond the list keep
    // their text.
    void setRowTexts(int row, const QStringList &textos, int primeraCol = 1);
    // Appends a data row filled like setRowTexts; returns its number.
    int appendRow(const QStringList &textos, int primeraCol = 1);
    // Empties the data cells of columns col..col2 and rows row..row2 (those in
    // range) of their texts, colours and data, as cells never written; the
    // rows stay, so the view needs no new layout as it does for new rows.
    void clearRange(int col, int row, int col2, int row2);

    // Active cell (the one the user clicked last or setActiveCell set).
    int ActiveCol() const;
    int ActiveRow() const;
    void setActiveCell(int col, int row);

    // Block selection: columns col..col2, rows row..row2 (col 0 selects from
    // the row header, i.e. whole rows).
    void selectBlock(int col, int row, int col2, int row2);
    void clearSelection();
    bool isBlockSelected() const;
    // The first selected data row, or 0.
    int selectedRow() const;

    // Sorts the data rows row..row2 (row 0 is never moved) by the keys, most
    // significant first. Cell colours travel with their rows. Numbers
    // ("1,234.50") compare as numbers, day-first dates and moments
    // ("15/03/2024 10:30") as dates, texts in Spanish order ignoring letter
    // case; ascending, empty cells come first, then numbers, dates and texts.
    // Rows with equal keys keep their order.
    struct ClaveOrden {
        int col;
        bool ascendente;
    };
    void sort(int row, int row2, const QList<ClaveOrden> &claves);
    // The same for columns: reorders columns col..col2, moving their cells
    // of rows row..row2 only (row 0 is never moved); the col of each key
    // names a row of that range.
    void sortColumns(int col, int col2, int row, int row2, const QList<ClaveOrden> &claves);
    // Rows row..row2 take the height their texts need.
    void fitRowHeights(int row, int row2);
    // What a click on a column title does: nothing (the default), or sort
    // every data row by that column, ascending (the lists) or descending
    // (the grid reports). Only titles of columns from primeraCol on sort.
    // The click is reported by clicked(col, 0) after the sort.
    enum class OrdenCabecera { Ninguno, Ascendente, Descendente };
    void setHeaderSort(OrdenCabecera orden, int primeraCol = 1);

    // Colours of a cell, of a whole row (columns 1..MaxCols).
    void setCellBackColor(int col, int row, const QColor &c);
    void setCellForeColor(int col, int row, const QColor &c);
    QColor cellBackColor(int col, int row) const;
    QColor cellForeColor(int col, int row) const; // invalid when never set
    void setRowBackColor(int row, const QColor &c);
    void setRowForeColor(int row, const QColor &c);

    // Column layout. Widths are in pixels; column 0 is the row header.
    void setColumnWidth(int col, int ancho);
    int columnWidth(int col) const;
    void setColumnHidden(int col, bool oculta);
    bool isColumnHidden(int col) const;
    // Every data row of col shows a check box standing for its text ("1"
    // ticked, anything else not). A click on it flips the text between "1"
    // and "0" and then emits buttonClicked; so does the space bar on the
    // active cell (defined in GridCasillas.cpp).
    void setColumnCheck(int col);
    // Every data row of col shows a push button; a press emits buttonClicked.
    void setColumnButton(int col, const QString &caption = QStringLiteral("..."));
    // Cells of col may be edited by the user (default: read-only).
    void setColumnEditable(int col, bool editable);
    // Ends the edit of a cell still open, keeping its text, and emits the
    // editado of a finished edit not told yet, so that a key or button acting
    // on the grid's content sees what the user typed, already checked.
    // Nothing when no edit is open or pending.
    void terminarEdicion();
    // Gives the cell of the last editado back the text it had before that
    // edit (for a handler that refuses what was typed).
    void deshacerEdicion();
    // Horizontal alignment of the data cells of col (default left).
    void setColumnAlignment(int col, Qt::Alignment alineacion);
    Qt::Alignment columnAlignment(int col) const;
    // Makes col a number column of format f: its cells are aligned right,
    // setNumber writes numbers in f, and an editable cell's editor takes any
    // key and reads what was typed as the amount boxes do
    // (Formatos::tecleado): a number f can hold is stored rounded and written
    // in f; any other text is stored as typed, for the window to refuse when
    // it reads the cell (number() tells it is none).
    void setColumnFormat(int col, const Formatos::FormatoNumero &f);
    // True when col is a number column; *f (when given) gets its format.
    bool columnFormat(int col, Formatos::FormatoNumero *f = nullptr) const;
    // Writes valor into the cell in the format of its column (kImporte in a
    // text column).
    void setNumber(int col, int row, double valor);
    // The text setNumber would write into a cell of col (for rows written
    // whole with setRowTexts).
    QString numberText(int col, double valor) const;
    // The number the cell's text stands for in the format of its column
    // (kImporte in a text column); *ok false and 0 when it is not one.
    double number(int col, int row, bool *ok = nullptr) const;
    void setRowHeaderVisible(bool visible);

    // Prints the whole grid (titles and data rows) as job nombreTrabajo on
    // printer, or on the default printer when printer is null, telling the
    // user when it was not printed (InterfazImpresion.h). False when it was
    // not printed.
    bool imprimir(const QString &nombreTrabajo, QPrinter *printer = nullptr);
    // True when the print service answers and has a default printer.
    static bool hayImpresora();

    // Scrolls the grid so that data cell (col, row) is in sight.
    void showCell(int col, int row);
    // Where cell (col, row) lies, in this widget's coordinates (row 0 the
    // column titles, column 0 the row headers); empty when it is not in
    // sight.
    // With childAt() it lets a caller point at a cell as the mouse would.
    QRect cellRect(int col, int row) const;
    // True when data cell (col, row) is in the selection.
    bool isCellSelected(int col, int row) const;

signals:
    // (col, row) as numbered above. A header click gives row 0, a row-header
    // click col 0, the top left corner (0, 0).
    void buttonClicked(int col, int row);
    void clicked(int col, int row);
    void doubleClicked(int col, int row);
    // The active cell moved (by the mouse, the keyboard or setActiveCell) to
    // data cell (col, row).
    void activeCellChanged(int col, int row);
    // A press of the right mouse button on a cell or a header, numbered the same.
    void rightClicked(int col, int row);
    // The user finished editing a cell. Emitted once per edit, from the
    // event loop after the cell's editor has closed (or by terminarEdicion).
    void editado(int col, int row);

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    // Lays the grid out on printer's pages; turned first when girarSiNoCabe
    // and the columns are wider than the page.
    bool pintarEn(const QString &nombreTrabajo, QPrinter *printer, bool girarSiNoCabe);
    // True when table column c (0-based) shows buttons.
    bool columnaDeBotones(int c) const;
    // The narrowest table column c (0-based) may be to show its title whole.
    int anchoTitulo(int c) const;
    // Sorts lines desde..hasta (rows when porFilas, else columns), moving
    // their cells at positions otro1..otro2 of the other direction.
    void ordenar(bool porFilas, int desde, int hasta, int otro1, int otro2, const QList<ClaveOrden> &claves);
    // A click on the title of table column c.
    void alClicCabecera(int c);
    // A click on a data cell of a check-box column flips it.
    void alternarCasilla(int col, int row);
    class Tabla;
    friend class Tabla;
    Tabla *m_tabla;
    OrdenCabecera m_ordenCabecera = OrdenCabecera::Ninguno;
    int m_primeraColOrden = 1;
};
