#pragma once
// Small behaviours of boxes: what happens when one loses the focus, which
// keys one lets through.
#include <QWidget>
#include <functional>

// Runs f each time w loses the keyboard focus (the LostFocus of a box).
void alPerderFoco(QWidget *w, std::function<void()> f);

// Lets into w only the typed characters that SoloNumeros lets through
// (digits, "." and "-"); editing keys work as usual.
void soloNumeros(QWidget *w);
