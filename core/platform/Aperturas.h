#pragma once
// What each menu item of the main window opens. The subsystems register the
// openers of their windows at start-up, so the main window reaches windows of
// every subsystem without depending on them.
#include <QString>
#include <functional>

namespace Aperturas {
// Registers (or replaces) the action of the menu item named nombreMenu.
void registrar(const QString &nombreMenu, std::function<void()> abrir);
// Runs the action of nombreMenu; false when nothing is registered for it.
bool abrir(const QString &nombreMenu);
bool registrada(const QString &nombreMenu);
} // namespace Aperturas
