#pragma once
// Pointing at grid cells as the mouse does: a press on cell (col, row) goes
// to whatever part of the grid shows it (a cell, a column title, a row
// header or the top left corner).
#include "platform/Grid.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

namespace raton {

// The part of the grid under the centre of (col, row) and that point in its
// coordinates; nullptr when the cell is not shown.
// A data cell out of sight is scrolled into it first, as the user would.
inline QWidget *bajo(Grid *g, int col, int row, QPoint *punto)
{
    QCoreApplication::processEvents(); // pending layouts first, so the scroll sees the real viewport
    g->showCell(col, row);
    const QPoint p = g->cellRect(col, row).center();
    QWidget *w = g->cellRect(col, row).isEmpty() ? nullptr : g->childAt(p);
    if (w)
        *punto = w->mapFrom(g, p);
    return w;
}

inline void clic(Grid *g, int col, int row, Qt::MouseButton boton = Qt::LeftButton)
{
    QPoint p;
    if (QWidget *w = bajo(g, col, row, &p))
        QTest::mouseClick(w, boton, {}, p);
}

inline void dobleClic(Grid *g, int col, int row)
{
    QPoint p;
    if (QWidget *w = bajo(g, col, row, &p))
        QTest::mouseDClick(w, Qt::LeftButton, {}, p);
}

// Keys typed into the grid (F2 opens an editable cell), delivered to the
// part of it that takes the focus, whether or not its window is active.
inline QWidget *foco(Grid *g) { return g->focusProxy() ? g->focusProxy() : g; }
inline void teclas(Grid *g, const QString &texto) { QTest::keyClicks(foco(g), texto); }
inline void tecla(Grid *g, Qt::Key k) { QTest::keyClick(foco(g), k); }

// The cell editor the grid shows, or nullptr (a closed editor is hidden
// until it is deleted).
inline QLineEdit *editor(Grid *g)
{
    for (QLineEdit *e : g->findChildren<QLineEdit *>())
        if (e->isVisible())
            return e;
    return nullptr;
}

} // namespace raton
