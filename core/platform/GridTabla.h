#pragma once
// Inside of Grid, shared by its source files only: the table widget with the
// column settings (buttons, editable columns, alignment, number formats).
#include "Grid.h"

#include <QHash>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableWidget>

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

// Editor of a number column: only what may become a number of the format
// can be typed; a text that is not one leaves the cell as it was, one that
// is is stored written in the format.
class DelegadoNumero : public QStyledItemDelegate {
public:
    DelegadoNumero(const Formatos::FormatoNumero &f, QObject *parent) : QStyledItemDelegate(parent), m_formato(f) {}

    const Formatos::FormatoNumero &formato() const { return m_formato; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    Formatos::FormatoNumero m_formato;
};

// The table itself: knows which columns hold buttons, numbers or may be
// edited, and turns presses on button cells into Grid::buttonClicked.
class Grid::Tabla : public QTableWidget {
public:
    explicit Tabla(Grid *g) : QTableWidget(g), m_grid(g) {}

    // Closes the open cell editor keeping what it holds, as Enter does.
    void terminarEdicion();

    QHash<int, DelegadoBoton *> botones;    // by table column
    QHash<int, DelegadoNumero *> numeros;   // by table column
    QSet<int> casillas;                     // table columns of check boxes
    QHash<int, Qt::Alignment> alineaciones; // by table column; left when absent
    QSet<int> editables;                    // table columns the user may edit

    // The item of a data cell (0-based), created with its column's
    // alignment when missing; nullptr out of range.
    QTableWidgetItem *celda(int r, int c);
    // A new item for table column c.
    QTableWidgetItem *nuevaCelda(int c, const QString &texto = QString()) const;
    // Removes the delegate of table column c (button, number or check box).
    void quitarDelegado(int c);
    // Forgets the settings of the table columns from desde on.
    void olvidarColumnasDesde(int desde);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void mousePressEvent(QMouseEvent *e) override;
    // Raised here rather than by the view, which drops a double click whose
    // first press it did not see on the same cell.
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    Grid *m_grid;
    QPersistentModelIndex m_editando;
    bool m_tragarSoltar = false;
};
