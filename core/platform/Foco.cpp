#include "Foco.h"

#include <QEvent>

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
} // namespace

void alPerderFoco(QWidget *w, std::function<void()> f) { w->installEventFilter(new FiltroFoco(w, std::move(f))); }
