#pragma once
// Small behaviours of boxes: what happens when one loses the focus, which
// keys one lets through.
#include <QWidget>

class QLineEdit;
#include <functional>

// Runs f each time w loses the keyboard focus (the LostFocus of a box).
void alPerderFoco(QWidget *w, std::function<void()> f);

// Makes e a whole-number box: only digits may be typed or pasted, and no
// text whose value is above maximo (the box keeps its text instead).
void soloEntero(QLineEdit *e, int maximo);

// Makes e an amount or quantity box. Any key may be typed: no character is
// left out, so a text is never turned into another number ("1,5" is not
// 15). Once the user leaves the box or presses Enter, a number
// (Formatos::tecleado) is shown in the amount format, rounded to cents as it
// is kept ("0.125" -> "0.13"); a text that is no number stays as typed for
// the window's check, which reads the box with Formatos::tecleado, to refuse.
void cajaImporte(QLineEdit *e);
