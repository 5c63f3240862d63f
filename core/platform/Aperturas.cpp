#include "Aperturas.h"

#include <QHash>

namespace {
QHash<QString, std::function<void()>> &tabla()
{
    static QHash<QString, std::function<void()>> t;
    return t;
}
} // namespace

void Aperturas::registrar(const QString &nombreMenu, std::function<void()> abrir)
{
    tabla().insert(nombreMenu.toLower(), std::move(abrir));
}

bool Aperturas::abrir(const QString &nombreMenu)
{
    const auto f = tabla().value(nombreMenu.toLower());
    if (!f)
        return false;
    f();
    return true;
}

bool Aperturas::registrada(const QString &nombreMenu) { return tabla().contains(nombreMenu.toLower()); }
