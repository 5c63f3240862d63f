#pragma once
// Driving list-and-dialog windows in tests as a user would: clicks on grid
// cells, headers and buttons, typing into boxes.
#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace ayuda {

inline Grid *grilla(QWidget *w) { return w->findChild<Grid *>(QStringLiteral("vaSpread")); }

inline QPushButton *boton(QWidget *w, int i)
{
    return w->findChild<QPushButton *>(QStringLiteral("Command_%1").arg(i));
}

inline void clic(QWidget *w, int i) { QTest::mouseClick(boton(w, i), Qt::LeftButton); }

inline QLineEdit *caja(QWidget *w, const QString &nombre) { return w->findChild<QLineEdit *>(nombre); }
inline QLineEdit *mask(QWidget *w, int i) { return caja(w, QStringLiteral("MaskEd_%1").arg(i)); }

// The user types into a box (replacing its text) and leaves it.
inline void escribir(QLineEdit *e, const QString &texto)
{
    e->clear();
    e->insert(texto);
    QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &fuera);
}

inline QStringList columna(Grid *g, int col)
{
    QStringList l;
    for (int r = 1; r <= g->MaxRows(); ++r)
        l << g->text(col, r);
    return l;
}

// A click on a data cell (on the button in column 1).
inline void clicCelda(Grid *g, int col, int row) { raton::clic(g, col, row); }

// A click on the title of column col (row 0).
inline void clicCabecera(Grid *g, int col) { raton::clic(g, col, 0); }

} // namespace ayuda
