#pragma once
// A picker used with the mouse as a person does: its list opened by a click
// on its arrow, the pointer moved onto a row of the list and that row
// clicked.
#include "platform/DataCombo.h"

#include <QAbstractItemView>
#include <QTest>
#include <gtest/gtest.h>

namespace raton {

// Opens the list of c, moves onto the row shown as texto and clicks it; the
// list is closed again afterwards. The pointer comes from a corner of the
// list, so the list sees it move (a release where the opening press was, with
// no move between, is not a choice).
inline void elegir(DataCombo *c, const QString &texto)
{
    const int fila = c->findText(texto);
    ASSERT_GE(fila, 0) << texto.toStdString();
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(c->width() - 6, c->height() / 2));
    QAbstractItemView *lista = c->view();
    ASSERT_TRUE(QTest::qWaitFor([lista] { return lista->isVisible(); }, 5000));
    QWidget *area = lista->viewport();
    const QPoint p = lista->visualRect(c->model()->index(fila, c->modelColumn())).center();
    const QPoint esquina = p.y() > area->height() / 2 ? QPoint(1, 1) : QPoint(area->width() - 2, area->height() - 2);
    QTest::mouseMove(area, esquina);
    QTest::mouseMove(area, p);
    QTest::mouseClick(area, Qt::LeftButton, {}, p);
    ASSERT_TRUE(QTest::qWaitFor([lista] { return !lista->isVisible(); }, 5000));
}

} // namespace raton
