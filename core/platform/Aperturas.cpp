#include "Aperturas.h"

#include "db/Conexion.h"
#include "platform/Mensajes.h"

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
    protegida(f);
    return true;
}

bool Aperturas::registrada(const QString &nombreMenu) { return tabla().contains(nombreMenu.toLower()); }

QStringList Aperturas::registradas()
{
    QStringList l = tabla().keys();
    l.sort();
    return l;
}

bool Aperturas::protegida(const std::function<void()> &accion)
{
    // Qt cannot carry an exception out of an event handler; this is where the
    // user's action began, so this is where its database error is told.
    try {
        accion();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
}
