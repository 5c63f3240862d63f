// Check-box columns of the grid.
#include "Grid.h"
#include "GridTabla.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Paints a centred check box from the cell's text over the cell's background.
class DelegadoCasilla : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem fondo = option;
        initStyleOption(&fondo, index);
        fondo.text.clear();
        const QWidget *w = option.widget;
        QStyle *st = w ? w->style() : QApplication::style();
        st->drawControl(QStyle::CE_ItemViewItem, &fondo, p, w);

        QStyleOptionButton caja;
        const QSize t(st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w),
                      st->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
        caja.rect = QRect(option.rect.center() - QPoint(t.width() / 2, t.height() / 2), t);
        caja.state = QStyle::State_Enabled;
        caja.state |= index.data().toString() == QLatin1String("1") ? QStyle::State_On : QStyle::State_Off;
        caja.palette = option.palette;
        st->drawPrimitive(QStyle::PE_IndicatorCheckBox, &caja, p, w);
    }
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
};

// The space bar flips the check box of the active cell, as a click does.
class TeclaEspacio : public QObject {
public:
    TeclaEspacio(Grid *g, int col) : QObject(g), m_grid(g), m_col(col) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(e)->key() != Qt::Key_Space ||
            m_grid->ActiveCol() != m_col || m_grid->ActiveRow() < 1)
            return false;
        emit m_grid->clicked(m_col, m_grid->ActiveRow());
        return true;
    }

private:
    Grid *m_grid;
    int m_col;
};

} // namespace

void Grid::setColumnCheck(int col)
{
    if (col < 1 || col > MaxCols())
        return;
    const int c = col - 1;
    m_tabla->quitarDelegado(c);
    m_tabla->setItemDelegateForColumn(c, new DelegadoCasilla(m_tabla));
    m_tabla->casillas.insert(c);
    setColumnEditable(col, false);
    m_tabla->installEventFilter(new TeclaEspacio(this, col));
}

void Grid::alternarCasilla(int col, int row)
{
    if (row < 1 || !m_tabla->casillas.contains(col - 1))
        return;
    setText(col, row, text(col, row) == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1"));
    emit buttonClicked(col, row);
}
