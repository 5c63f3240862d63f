#include "Foco.h"

#include "Module.h"

#include <QEvent>
#include <QKeyEvent>

namespace {
class FiltroFoco : public QObject {
public:
    FiltroFoco(QObject *parent, std::function<void()> f) : QObject(parent), m_f(std::move(f)) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::FocusOut)
            m_f();
        return false;
    }

private:
    std::function<void()> m_f;
};

class FiltroNumeros : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const QString t = static_cast<QKeyEvent *>(e)->text();
        if (t.size() != 1 || !t.at(0).isPrint())
            return false;
        int tecla = t.at(0).unicode();
        return SoloNumeros(tecla) == 0;
    }
};
} // namespace

void alPerderFoco(QWidget *w, std::function<void()> f) { w->installEventFilter(new FiltroFoco(w, std::move(f))); }

void soloNumeros(QWidget *w) { w->installEventFilter(new FiltroNumeros(w)); }
