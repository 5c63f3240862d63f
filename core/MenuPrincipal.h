#pragma once
// The main window's menu tree and tool bar as data, in display order. The
// main window builds its actions from here, and the permission window lists
// the same items without needing the main window.
#include <QString>
#include <QStringList>
#include <vector>

namespace MenuPrincipal {

struct Entrada {
    QString caption; // as stored; "&" marks the access key, "-" a separator
    QString nombre;  // control name, also the permission code
    int nivel;       // 0 menu bar, 1 item, 2 item of a submenu
    // Help-context number: 0, 5 or 10 by level.
    int helpContext() const { return nivel * 5; }
    bool esSeparador() const { return caption == QLatin1String("-"); }
};

// Every item of the menu tree in display order (50 entries).
const std::vector<Entrada> &entradas();

// The seven level-0 menus hidden while nobody is logged in.
const QStringList &menusConPermiso();

struct Boton {
    int indice;      // 1..12
    QString caption; // empty for a separator
    QString tooltip;
    QString permiso; // menu item whose grant makes it usable; empty: always usable
    QString abre;    // menu item whose action the button runs; empty: none
    bool esSeparador() const { return caption.isEmpty(); }
};

// The twelve tool-bar entries, by index.
const std::vector<Boton> &botones();

} // namespace MenuPrincipal
