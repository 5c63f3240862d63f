#pragma once
// What each menu item of the main window opens. The subsystems register the
// openers of their windows at start-up, so the main window reaches windows of
// every subsystem without depending on them.
#include <QString>
#include <functional>

namespace Aperturas {
// Registers (or replaces) the action of the menu item named nombreMenu.
void registrar(const QString &nombreMenu, std::function<void()> abrir);
// Runs the action of nombreMenu (through protegida); false when nothing is
// registered for it.
bool abrir(const QString &nombreMenu);
bool registrada(const QString &nombreMenu);

// Runs an action the user started (a menu item, a button, a window being
// opened) and tells a database error it raises with the error's message and
// the critical icon instead of letting it leave the event: the program goes
// on. A window whose loading failed is not kept. False when an error was told.
bool protegida(const std::function<void()> &accion);
} // namespace Aperturas
