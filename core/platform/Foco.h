#pragma once
// Small behaviours of boxes: what happens when one loses the focus, which
// keys one lets through.
#include <QWidget>

class QLineEdit;
#include <functional>

// Runs f each time w loses the keyboard focus (the LostFocus of a box).
void alPerderFoco(QWidget *w, std::function<void()> f);

// Lets into w only the typed characters that SoloNumeros lets through
// (digits, "." and "-"); editing keys work as usual.
void soloNumeros(QWidget *w);

// Makes e a whole-number box: only digits may be typed or pasted, and no
// text whose value is above maximo (the box keeps its text instead).
void soloEntero(QLineEdit *e, int maximo);

// Makes e an amount box: once the user leaves it or presses Enter, a number
// typed into it (Formatos::numero) is shown in the amount format
// ("1,234.50", rounded to cents); a text that is no number stays as typed
// for the window's check to tell.
void cajaImporte(QLineEdit *e);
