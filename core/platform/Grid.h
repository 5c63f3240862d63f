#pragma once
// The grid of every list and report window. Its numbering follows the rest
// of the program: row 0 is the column-header row, data rows and columns are
// numbered from 1; column 0 is the row-header column.
#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QTableWidget;
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
    // and "0" and then emits buttonClicked (defined in GridCasillas.cpp).
    void setColumnCheck(int col);
    // Every data row of col shows a push button; a press emits buttonClicked.
    void setColumnButton(int col, const QString &caption = QStringLiteral("..."));
    // Cells of col may be edited by the user (default: read-only).
    void setColumnEditable(int col, bool editable);
    void setRowHeaderVisible(bool visible);

    // Prints the whole grid (titles and data rows) as job nombreTrabajo on
    // printer, or on the default printer when printer is null. False when
    // there is no printer to print on.
    bool imprimir(const QString &nombreTrabajo, QPrinter *printer = nullptr);
    // True when the machine has a default printer.
    static bool hayImpresora();

    QTableWidget *tabla() const;

signals:
    // (col, row) as numbered above. A header click gives row 0, a row-header
    // click col 0, the top left corner (0, 0).
    void buttonClicked(int col, int row);
    void clicked(int col, int row);
    void doubleClicked(int col, int row);
    // A press of the right mouse button on a cell or a header, numbered the same.
    void rightClicked(int col, int row);
    // The user finished editing a cell.
    void editado(int col, int row);

protected:
    bool eventFilter(QObject *obj, QEvent *e) override;

private:
    // True when table column c (0-based) shows buttons.
    bool columnaDeBotones(int c) const;
    class Tabla;
    friend class Tabla;
    Tabla *m_tabla;
};
