#pragma once
// What each menu item of the main window opens. The subsystems register the
// openers of their windows at start-up, so the main window reaches windows of
// every subsystem without depending on them.
#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

namespace Aperturas {
// Registers (or replaces) the action of the menu item named nombreMenu.
void registrar(const QString &nombreMenu, std::function<void()> abrir);
// Runs the action of nombreMenu (through protegida); false when nothing is
// registered for it.
bool abrir(const QString &nombreMenu);
bool registrada(const QString &nombreMenu);
// The menu items with an action registered (in lower case), sorted.
QStringList registradas();

// Runs an action the user started (a menu item, a button, a window being
// opened) and tells a database error it raises with the error's message and
// the critical icon instead of letting it leave the event: the program goes
// on. A window whose loading failed is not kept. False when an error was told.
bool protegida(const std::function<void()> &accion);

// Connects a signal the user's action raises (a button, a grid cell, a box,
// a picker) to its handler, which then runs through protegida. The handler
// is a function object or a member function of contexto, taking the
// signal's arguments or none. Every window connects its handlers this way.
template <class Emisor, class Senal, class Contexto, class Manejador>
QMetaObject::Connection conectar(Emisor *emisor, Senal senal, Contexto *contexto, Manejador manejador)
{
    auto llamar = [contexto, manejador](const auto &...args) -> void {
        protegida([&] {
            if constexpr (std::is_member_function_pointer_v<Manejador>) {
                if constexpr (std::is_invocable_v<Manejador, Contexto *, decltype(args)...>)
                    (contexto->*manejador)(args...);
                else
                    (contexto->*manejador)();
            } else if constexpr (std::is_invocable_v<const Manejador &, decltype(args)...>) {
                manejador(args...);
            } else {
                manejador();
            }
        });
    };
    return QObject::connect(emisor, senal, contexto, std::move(llamar));
}
} // namespace Aperturas
