// Grid: data kept per cell, rows inserted, removed and filled, and the
// alignment and number format of columns.
#include "Grid.h"
#include "GridTabla.h"

#include <QLineEdit>

#include <algorithm>

void Grid::setCellData(int col, int row, const QVariant &dato)
{
    if (esCelda(*this, col, row))
        m_tabla->modelo->ponerDato(row - 1, col - 1, dato);
}

QVariant Grid::cellData(int col, int row) const
{
    return esCelda(*this, col, row) ? m_tabla->modelo->dato(row - 1, col - 1) : QVariant();
}

void Grid::insertRows(int row, int count)
{
    if (row < 1 || row > MaxRows() + 1 || count < 1)
        return;
    m_tabla->modelo->insertarFilas(row - 1, count);
}

void Grid::removeRows(int row, int count)
{
    if (row < 1 || row > MaxRows() || count < 1)
        return;
    m_tabla->modelo->quitarFilas(row - 1, count);
}

void Grid::setRowTexts(int row, const QStringList &textos, int primeraCol)
{
    if (row < 0 || row > MaxRows())
        return;
    if (row == 0 || primeraCol < 1) {
        for (int i = 0; i < textos.size(); ++i)
            setText(primeraCol + i, row, textos[i]);
        return;
    }
    // A data row: written at once, with one notice to the view.
    m_tabla->modelo->ponerTextos(row - 1, primeraCol - 1, textos);
}

int Grid::appendRow(const QStringList &textos, int primeraCol)
{
    const int fila = MaxRows() + 1;
    setMaxRows(fila);
    setRowTexts(fila, textos, primeraCol);
    return fila;
}

void Grid::clearRange(int col, int row, int col2, int row2)
{
    col = std::max(col, 1);
    row = std::max(row, 1);
    col2 = std::min(col2, MaxCols());
    row2 = std::min(row2, MaxRows());
    if (col <= col2 && row <= row2)
        m_tabla->modelo->vaciar(row - 1, col - 1, row2 - 1, col2 - 1);
}

void Grid::setColumnAlignment(int col, Qt::Alignment alineacion)
{
    if (col < 1 || col > MaxCols())
        return;
    const int c = col - 1;
    m_tabla->modelo->ponerAlineacion(c, alineacion & Qt::AlignHorizontal_Mask);
}

Qt::Alignment Grid::columnAlignment(int col) const
{
    return m_tabla->modelo->alineacion(col - 1).value_or(Qt::AlignLeft);
}

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

void Grid::setNumber(int col, int row, double valor) { setText(col, row, numberText(col, valor)); }

QString Grid::numberText(int col, double valor) const
{
    Formatos::FormatoNumero f = Formatos::kImporte;
    columnFormat(col, &f);
    return Formatos::texto(valor, f);
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
    return e;
}

void DelegadoNumero::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The cell's number is offered without its thousands separators; a text
    // that is no number (typed before and not taken yet) as it stands.
    const QString texto = index.data(Qt::EditRole).toString();
    bool ok = false;
    const double v = Formatos::leer(texto, m_formato, &ok);
    Formatos::FormatoNumero plano = m_formato;
    plano.miles = false;
    static_cast<QLineEdit *>(editor)->setText(ok ? Formatos::texto(v, plano) : texto);
}

void DelegadoNumero::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // A number is kept as the column shows it. Anything else (no number, or
    // one the format cannot hold: a sign or too many digits) stays as typed,
    // never turned into another number, for the window to refuse.
    const QString tecleado = static_cast<QLineEdit *>(editor)->text().trimmed();
    bool ok = false;
    const double v = Formatos::tecleado(tecleado, &ok, m_formato.decimales);
    const QString texto = ok ? Formatos::texto(v, m_formato) : QString();
    if (ok)
        Formatos::leer(texto, m_formato, &ok);
    model->setData(index, ok ? texto : tecleado, Qt::EditRole);
}
