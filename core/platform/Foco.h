#pragma once
// Runs f each time w loses the keyboard focus (the LostFocus of a box).
#include <QWidget>
#include <functional>

void alPerderFoco(QWidget *w, std::function<void()> f);
