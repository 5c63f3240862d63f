#pragma once
// Inside of Grid, shared by its source files only: the model that holds the
// cells, and the table view with the column settings (buttons, editable
// columns, number formats).
#include "Grid.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QHash>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QSet>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableView>

#include <optional>
#include <vector>

// True when (col, row) is a data cell of g (numbered as Grid numbers them).
inline bool esCelda(const Grid &g, int col, int row)
{
    return col >= 1 && row >= 1 && col <= g.MaxCols() && row <= g.MaxRows();
}

// Runs f from the event loop, once however many times it is asked before
// then: pedido is true while the call is pending.
template <class F> void pedirUnaVez(QObject *contexto, bool &pedido, F f)
{
    if (pedido)
        return;
    pedido = true;
    QMetaObject::invokeMethod(
        contexto,
        [&pedido, f] {
            pedido = false;
            f();
        },
        Qt::QueuedConnection);
}

// The cells of the grid (0-based positions), kept row by row in plain
// arrays: a row holds its texts, and the data and colours of its cells only
// once one of them is set, so a sort, insert or removal moves whole rows.
// Writes are announced to the view once per burst, not once per cell: the
// written block is gathered and its dataChanged emitted when control goes
// back to the event loop, or before the rows or columns change.
class ModeloGrid : public QAbstractTableModel {
public:
    // The role that holds the data the user never sees.
    static constexpr int kRolDato = Qt::UserRole + 1;

    explicit ModeloGrid(QObject *parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The editors write the text (edit or display role).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Size; new rows and columns come empty, removed ones take their cells.
    void ponerFilas(int n);
    void ponerColumnas(int n);
    void insertarFilas(int r, int n);
    void quitarFilas(int r, int n);

    // Cells. Positions are checked by the caller, except that a cell never
    // written reads as empty.
    const QString &texto(int r, int c) const;
    void ponerTexto(int r, int c, const QString &t);
    // textos into row r from column c on, those beyond the last column left out.
    void ponerTextos(int r, int c, const QStringList &textos);
    // Cells r1..r2 x c1..c2 as never written.
    void vaciar(int r1, int c1, int r2, int c2);
    QVariant dato(int r, int c) const;
    void ponerDato(int r, int c, const QVariant &d);
    // Colours; invalid when never set.
    QColor fondo(int r, int c) const;
    QColor tinta(int r, int c) const;
    void ponerFondo(int r, int c, const QColor &color);
    void ponerTinta(int r, int c, const QColor &color);
    // One past the last row holding any text (0 when none).
    int filasConTexto() const;

    // Column titles and row headers (a row header never set shows its number).
    const QString &titulo(int c) const;
    void ponerTitulo(int c, const QString &t);
    QString cabeceraFila(int r) const;
    void ponerCabeceraFila(int r, const QString &t);

    // Horizontal alignment of the cells of column c; none set means left.
    std::optional<Qt::Alignment> alineacion(int c) const;
    void ponerAlineacion(int c, Qt::Alignment a);

    // Reorders rows desde..desde + orden.size() - 1: row desde + i takes
    // what row desde + orden[i] held. The row headers stay.
    void permutarFilas(int desde, const std::vector<int> &orden);
    // The same for columns, moving only their cells of rows fila1..fila2.
    void permutarColumnas(int desde, const std::vector<int> &orden, int fila1, int fila2);

    // Emits the pending dataChanged now.
    void avisar();

private:
    // What a cell has besides its text.
    struct Adorno {
        QVariant dato;
        QColor fondo;
        QColor tinta;
    };
    struct Fila {
        // Empty until a cell is written; then one per column. A list written
        // whole into a fresh row is shared, not copied text by text.
        QStringList textos;
        std::vector<Adorno> adornos; // empty until a cell gets data or a colour
    };
    QString &textoDe(int r, int c);
    Adorno &adornoDe(int r, int c);
    const Adorno *adornoLeido(int r, int c) const;
    // Adds block r1..r2 x c1..c2 to the pending dataChanged.
    void marcar(int r1, int c1, int r2, int c2);

    std::vector<Fila> m_filas;
    int m_columnas = 0;
    std::vector<QString> m_titulos;                  // one per column
    std::vector<std::optional<QString>> m_cabeceras; // empty until a row header is set
    QHash<int, Qt::Alignment> m_alineaciones;
    // The block written since the last dataChanged; m_r1 < 0 when none.
    int m_r1 = -1, m_c1 = 0, m_r2 = 0, m_c2 = 0;
    bool m_avisoPedido = false;
};

// Paints the text cells (every column but those of buttons and check boxes)
// as Qt's own delegate does, keeping each text laid out for the next paint
// (GridTexto.cpp).
class DelegadoTexto : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // A text laid out for a room of width ancho and a horizontal alignment.
    struct Clave {
        QString texto;
        int ancho;
        int alineacion;
        bool operator==(const Clave &o) const = default;
    };

private:
    // The text laid out in fuente, made the first time; alto gets the
    // height of its line.
    const QStaticText &textoPreparado(const QString &texto, int ancho, Qt::Alignment alineacion, const QFont &fuente,
                                      int &alto) const;
    // The texts laid out in m_fuente, whose lines are m_alto high (-1 before
    // the first); the least used go first when it is full.
    mutable QCache<Clave, QStaticText> m_textos;
    mutable QFont m_fuente;
    mutable int m_alto = -1;
};
size_t qHash(const DelegadoTexto::Clave &c, size_t semilla = 0) noexcept;

// Paints a push button over every cell of a button column.
class DelegadoBoton : public QStyledItemDelegate {
public:
    DelegadoBoton(QString texto, QObject *parent) : QStyledItemDelegate(parent), m_texto(std::move(texto)) {}

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }

private:
    QString m_texto;
};

// Editor of a number column: any key may be typed; a number is stored
// written in the format, any other text as typed (see Grid::setColumnFormat).
class DelegadoNumero : public DelegadoTexto {
public:
    DelegadoNumero(const Formatos::FormatoNumero &f, QObject *parent) : DelegadoTexto(parent), m_formato(f) {}

    const Formatos::FormatoNumero &formato() const { return m_formato; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    Formatos::FormatoNumero m_formato;
};

// The table itself: shows the model, knows which columns hold buttons,
// numbers or may be edited, and turns presses on button cells into
// Grid::buttonClicked.
class Grid::Tabla : public QTableView {
public:
    explicit Tabla(Grid *g);

    // Closes the open cell editor keeping what it holds, as Enter does, and
    // tells the edit at once (editado) rather than after the event loop.
    void terminarEdicion();
    // Gives the cell of the last editado the text it had before that edit.
    void deshacerEdicion();

    ModeloGrid *modelo;
    QHash<int, DelegadoBoton *> botones;  // by table column
    QHash<int, DelegadoNumero *> numeros; // by table column
    QSet<int> casillas;                   // table columns of check boxes
    QSet<int> editables;                  // table columns the user may edit

    // Removes the delegate of table column c (button, number or check box).
    void quitarDelegado(int c);
    // Forgets the settings of the table columns from desde on.
    void olvidarColumnasDesde(int desde);

protected:
    // The view strokes its grid lines one pixel at a time, a fifth of the
    // cost of painting a full grid: its pen is none, and the same solid
    // lines are filled here after the cells (GridTexto.cpp). A table given
    // another grid style paints its own.
    void paintEvent(QPaintEvent *e) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    // The model announces a burst of writes as one block, which may cover
    // the cell being edited without writing it: its editor then keeps what
    // the user typed, and is reloaded only when the cell's text changed.
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void commitData(QWidget *editor) override;
    void mousePressEvent(QMouseEvent *e) override;
    // Raised here rather than by the view, which drops a double click whose
    // first press it did not see on the same cell.
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    // Emits the pending editado, if any (once per finished edit).
    void avisarEdicion();
    Grid *m_grid;
    QPersistentModelIndex m_editando;
    QString m_textoEditado; // the text of the cell its open editor was loaded with
    QString m_textoAntes;   // the text the cell had when its editor opened
    // The finished edit waiting to be told, and the last one told, each with
    // the text its cell had before the edit.
    QPersistentModelIndex m_porAvisar;
    QString m_antesPorAvisar;
    QPersistentModelIndex m_avisado;
    QString m_antesAvisado;
    bool m_avisoPedido = false;
    bool m_tragarSoltar = false;
};
