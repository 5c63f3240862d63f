// Grid: data kept per cell, rows inserted, removed and filled, and the
// alignment and number format of columns.
#include "Grid.h"
#include "GridTabla.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {
// The role that holds the data the user never sees.
constexpr int kRolDato = Qt::UserRole + 1;
} // namespace

void Grid::setCellData(int col, int row, const QVariant &dato)
{
    if (QTableWidgetItem *it = m_tabla->celda(row - 1, col - 1))
        it->setData(kRolDato, dato);
}

QVariant Grid::cellData(int col, int row) const
{
    if (col < 1 || row < 1 || col > MaxCols() || row > MaxRows())
        return {};
    const QTableWidgetItem *it = m_tabla->item(row - 1, col - 1);
    return it ? it->data(kRolDato) : QVariant();
}

void Grid::insertRows(int row, int count)
{
    if (row < 1 || row > MaxRows() + 1 || count < 1)
        return;
    for (int i = 0; i < count; ++i)
        m_tabla->insertRow(row - 1);
}

void Grid::removeRows(int row, int count)
{
    if (row < 1 || row > MaxRows() || count < 1)
        return;
    const int ultima = std::min(MaxRows(), row + count - 1);
    // From the bottom up, so the numbers still to remove do not move.
    for (int r = ultima; r >= row; --r)
        m_tabla->removeRow(r - 1);
}

void Grid::setRowTexts(int row, const QStringList &textos, int primeraCol)
{
    if (row < 0 || row > MaxRows())
        return;
    for (int i = 0; i < textos.size(); ++i)
        setText(primeraCol + i, row, textos[i]);
}

int Grid::appendRow(const QStringList &textos, int primeraCol)
{
    const int fila = MaxRows() + 1;
    setMaxRows(fila);
    setRowTexts(fila, textos, primeraCol);
    return fila;
}

void Grid::setColumnAlignment(int col, Qt::Alignment alineacion)
{
    if (col < 1 || col > MaxCols())
        return;
    const int c = col - 1;
    alineacion &= Qt::AlignHorizontal_Mask;
    m_tabla->alineaciones.insert(c, alineacion);
    for (int r = 0; r < m_tabla->rowCount(); ++r)
        if (QTableWidgetItem *it = m_tabla->item(r, c))
            it->setTextAlignment(alineacion | Qt::AlignVCenter);
}

Qt::Alignment Grid::columnAlignment(int col) const { return m_tabla->alineaciones.value(col - 1, Qt::AlignLeft); }

void Grid::setColumnFormat(int col, const Formatos::FormatoNumero &f)
{
    if (col < 1 || col > MaxCols())
        return;
    const int c = col - 1;
    m_tabla->quitarDelegado(c);
    auto *d = new DelegadoNumero(f, m_tabla);
    m_tabla->numeros.insert(c, d);
    m_tabla->setItemDelegateForColumn(c, d);
    setColumnAlignment(col, Qt::AlignRight);
}

bool Grid::columnFormat(int col, Formatos::FormatoNumero *f) const
{
    const DelegadoNumero *d = m_tabla->numeros.value(col - 1);
    if (d && f)
        *f = d->formato();
    return d != nullptr;
}

void Grid::setNumber(int col, int row, double valor)
{
    Formatos::FormatoNumero f = Formatos::kImporte;
    columnFormat(col, &f);
    setText(col, row, Formatos::texto(valor, f));
}

double Grid::number(int col, int row, bool *ok) const
{
    Formatos::FormatoNumero f = Formatos::kImporte;
    columnFormat(col, &f);
    return Formatos::leer(text(col, row), f, ok);
}

QWidget *DelegadoNumero::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("editorNumero"));
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(Formatos::patronEdicion(m_formato)), e));
    return e;
}

void DelegadoNumero::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The editor takes plain digits: the cell's number is offered without
    // its thousands separators, and a text that is no number as nothing.
    bool ok = false;
    const double v = Formatos::leer(index.data(Qt::EditRole).toString(), m_formato, &ok);
    Formatos::FormatoNumero plano = m_formato;
    plano.miles = false;
    static_cast<QLineEdit *>(editor)->setText(ok ? Formatos::texto(v, plano) : QString());
}

void DelegadoNumero::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    bool ok = false;
    const double v = Formatos::leer(static_cast<QLineEdit *>(editor)->text(), m_formato, &ok);
    if (ok)
        model->setData(index, Formatos::texto(v, m_formato), Qt::EditRole);
}
