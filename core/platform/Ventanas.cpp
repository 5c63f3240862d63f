#include "Ventanas.h"

#include "Module.h"
#include "platform/Aperturas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
struct Entrada {
    QString nombre;
    QPointer<QWidget> w;
};
std::vector<Entrada> &tabla()
{
    static std::vector<Entrada> t;
    return t;
}
QPointer<QMdiArea> g_area;
// Set on a window once it has been unloaded (it may still await deletion).
constexpr const char *kDescargada = "club_descargada";
ModalDePrueba *g_modalPrueba = nullptr;

// The control of w that had the focus last, or else its first control that
// takes the focus, or else w itself.
QWidget *primerEnfocable(QWidget *w)
{
    if (QWidget *f = w->focusWidget(); f && w->isAncestorOf(f) && f->isVisible())
        return f;
    for (QWidget *f = w->nextInFocusChain(); f && f != w; f = f->nextInFocusChain())
        if (w->isAncestorOf(f) && f->isVisibleTo(w) && f->isEnabled() && (f->focusPolicy() & Qt::TabFocus))
            return f;
    return w;
}
} // namespace

QWidget *Ventanas::buscar(const QString &nombre)
{
    for (const auto &e : tabla())
        if (e.w && e.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return e.w;
    return nullptr;
}

QStringList Ventanas::cargadas()
{
    QStringList l;
    for (const auto &e : tabla())
        if (e.w)
            l << e.nombre;
    return l;
}

void Ventanas::registrar(QWidget *w, const QString &nombre)
{
    // A window that unloaded itself while loading is not registered.
    if (descargada(w))
        return;
    auto &t = tabla();
    t.erase(std::remove_if(t.begin(), t.end(), [](const Entrada &e) { return !e.w; }), t.end());
    if (w->objectName().isEmpty())
        w->setObjectName(nombre);
    // The rows and documents of a closed window are not kept for the next one.
    QObject::connect(w, &QObject::destroyed, &devolverMemoriaLiberada);
    t.push_back({nombre, w});
}

bool Ventanas::descargada(const QWidget *w) { return !w || w->property(kDescargada).toBool(); }

void Ventanas::olvidar(QWidget *w)
{
    if (w)
        w->setProperty(kDescargada, true);
    auto &t = tabla();
    t.erase(std::remove_if(t.begin(), t.end(), [w](const Entrada &e) { return !e.w || e.w == w; }), t.end());
}

void Ventanas::descargar(QWidget *w)
{
    if (!w)
        return;
    if (QMdiSubWindow *m = marco(w))
        m->close();
    else
        w->close();
}

void Ventanas::descargarTodasMenos(const QString &nombre)
{
    const auto copia = tabla();
    for (const auto &e : copia)
        if (e.w && e.nombre.compare(nombre, Qt::CaseInsensitive) != 0)
            descargar(e.w);
}

void Ventanas::fijarArea(QMdiArea *area) { g_area = area; }
QMdiArea *Ventanas::area() { return g_area; }

QMdiSubWindow *Ventanas::marco(QWidget *w)
{
    for (QWidget *p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto *m = qobject_cast<QMdiSubWindow *>(p))
            return m;
    return nullptr;
}

void Ventanas::mostrarEnArea(QWidget *w)
{
    if (descargada(w))
        return;
    if (!g_area) {
        w->move(0, 0);
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    QMdiSubWindow *m = marco(w);
    const bool nuevo = !m;
    // The size the window was designed with, never less than its layout needs
    // to show every text whole; the frame adds its own border.
    const QSize diseno =
        (w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint()).expandedTo(w->minimumSizeHint());
    if (nuevo) {
        m = g_area->addSubWindow(w);
        m->setAttribute(Qt::WA_DeleteOnClose);
        m->setWindowTitle(w->windowTitle());
    }
    m->move(0, 0);
    m->show();
    w->show();
    if (nuevo && diseno.isValid()) {
        const QSize marcoExtra = m->size() - w->size();
        m->resize((diseno + marcoExtra).boundedTo(g_area->viewport()->size()));
    }
    m->raise();
    g_area->setActiveSubWindow(m);
    // The focus goes into the window shown. While the main window is not
    // active (a message box answered a moment ago still had the activation)
    // the area does not move it, and when the main window is activated again
    // its focus returns to the window that asked for this one, which then
    // comes back in front.
    QWidget *principal = g_area->window();
    if (!m->isAncestorOf(principal->focusWidget()))
        primerEnfocable(w)->setFocus(Qt::OtherFocusReason);
}

void Ventanas::showForm(QWidget *xForm, bool isModal)
{
    // A window that closed itself while it loaded is not shown.
    if (descargada(xForm))
        return;
    if (auto *d = qobject_cast<QDialog *>(xForm); d && isModal) {
        d->move(g_area ? g_area->viewport()->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0));
        d->raise();
        Modal::mostrar(d);
        return;
    }
    mostrarEnArea(xForm);
}

// ------------------------------------------------------------------ Modal

int Modal::mostrar(QDialog *d)
{
    if (Ventanas::descargada(d))
        return QDialog::Rejected;
    if (g_modalPrueba)
        return g_modalPrueba->mostrar(d);
    return d->exec();
}

ModalDePrueba::ModalDePrueba() { g_modalPrueba = this; }
ModalDePrueba::~ModalDePrueba()
{
    if (g_modalPrueba == this)
        g_modalPrueba = nullptr;
}

int ModalDePrueba::mostrar(QDialog *d)
{
    m_mostrados << d->objectName();
    d->setModal(true);
    d->show();
    d->activateWindow();
    QApplication::setActiveWindow(d);
    if (m_guiones.empty())
        return QDialog::Accepted;
    auto f = m_guiones.front();
    m_guiones.erase(m_guiones.begin());
    QPointer<QDialog> p(d);
    f(d);
    if (p && p->isVisible())
        p->close();
    return p ? p->result() : QDialog::Rejected;
}

// ------------------------------------------------------------------ bases

Formulario::Formulario(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_DeleteOnClose); }

void Formulario::descargar() { Ventanas::descargar(this); }

namespace {
// What manejar returns, run through Aperturas::protegida; siFalla when it
// raised an error (already told).
bool protegido(bool siFalla, const std::function<bool()> &manejar)
{
    bool r = siFalla;
    Aperturas::protegida([&] { r = manejar(); });
    return r;
}
} // namespace

// A failed event counts as handled; a failed filter lets the event go on.
bool Formulario::event(QEvent *e)
{
    return protegido(true, [&] { return QWidget::event(e); });
}
bool Formulario::eventFilter(QObject *obj, QEvent *e)
{
    return protegido(false, [&] { return filtrar(obj, e); });
}

void Formulario::closeEvent(QCloseEvent *e)
{
    if (!antesDeDescargar()) {
        e->ignore();
        return;
    }
    Ventanas::olvidar(this);
    e->accept();
}

Dialogo::Dialogo(QWidget *parent) : QDialog(parent ? parent : QApplication::activeWindow())
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void Dialogo::descargar() { close(); }

bool Dialogo::event(QEvent *e)
{
    return protegido(true, [&] { return QDialog::event(e); });
}
bool Dialogo::eventFilter(QObject *obj, QEvent *e)
{
    return protegido(false, [&] { return filtrar(obj, e); });
}

void Dialogo::closeEvent(QCloseEvent *e)
{
    if (!m_descargando && !antesDeDescargar()) {
        e->ignore();
        return;
    }
    if (!m_descargando) {
        m_descargando = true;
        Ventanas::olvidar(this);
        alDescargar();
    }
    QDialog::closeEvent(e);
}

void Dialogo::done(int r)
{
    if (!m_descargando) {
        if (!antesDeDescargar())
            return;
        m_descargando = true;
        Ventanas::olvidar(this);
        alDescargar();
    }
    QDialog::done(r);
    // done() hides without a close event; make sure the dialog goes away.
    if (testAttribute(Qt::WA_DeleteOnClose))
        deleteLater();
}
