#pragma once
// Window registry: every window of the program exists once, is created on
// first use (also when another window only reads one of its controls), is
// reused while open and destroyed when closed ("unloaded").
//
// Windows derive from Formulario (child windows shown inside the main
// window's area) or Dialogo (modal dialogs); both tell the registry when they
// are unloaded so that the next use creates a fresh instance.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

class Ventanas {
public:
    // The single instance of window class T, created (loaded) on first use.
    // A window that closes itself while loading is returned but not kept:
    // showForm and Modal::mostrar then show nothing.
    template <class T> static T *obtener()
    {
        if (T *w = existente<T>())
            return w;
        T *w = new T();
        registrar(w, QString::fromLatin1(T::staticMetaObject.className()));
        return w;
    }
    // The loaded instance of T, or nullptr.
    template <class T> static T *existente()
    {
        return qobject_cast<T *>(buscar(QString::fromLatin1(T::staticMetaObject.className())));
    }
    static QWidget *buscar(const QString &nombre);
    static QStringList cargadas();
    static void registrar(QWidget *w, const QString &nombre);
    // True for a window that has been unloaded (also one that closed itself
    // while loading): it is neither found nor shown again.
    static bool descargada(const QWidget *w);
    // Forgets a window that is being unloaded (called by the base classes).
    static void olvidar(QWidget *w);

    // Unloads a window: closes it; it is destroyed and forgotten.
    static void descargar(QWidget *w);
    // Unloads every loaded window whose name differs from nombre (ignoring case).
    static void descargarTodasMenos(const QString &nombre);

    // Area of the main window where modeless windows are shown.
    static void fijarArea(QMdiArea *area);
    static QMdiArea *area();
    // Shows a modeless window inside the main area at its top-left corner and
    // brings it to the front; a window already shown is only moved and raised.
    static void mostrarEnArea(QWidget *w);
    // Opens a window as the main window's showForm does: at the top-left corner
    // of the main area, in front; modal (a dialog) or modeless.
    static void showForm(QWidget *xForm, bool isModal);
    // The sub-window that frames w inside the area, if any.
    static QMdiSubWindow *marco(QWidget *w);
};

// Modal showing of dialogs. In the program it is QDialog::exec(); tests
// replace it through ModalDePrueba.
namespace Modal {
int mostrar(QDialog *d);
}

// While alive, dialogs shown modally are shown without blocking and recorded.
// When a script is queued it runs with the dialog (already shown) and the
// call returns afterwards; a dialog the script left open is closed then.
// Without a script the dialog stays open for the test to drive.
class ModalDePrueba {
public:
    ModalDePrueba();
    ~ModalDePrueba();
    ModalDePrueba(const ModalDePrueba &) = delete;
    ModalDePrueba &operator=(const ModalDePrueba &) = delete;

    void guion(std::function<void(QDialog *)> f) { m_guiones.push_back(std::move(f)); }
    const QStringList &mostrados() const { return m_mostrados; }
    int mostrar(QDialog *d);

private:
    QStringList m_mostrados;
    std::vector<std::function<void(QDialog *)>> m_guiones;
};

// Base of the windows shown inside the main area. Override antesDeDescargar
// to veto or clean up; it runs when the window is closed in any way.
class Formulario : public QWidget {
    Q_OBJECT
public:
    explicit Formulario(QWidget *parent = nullptr);
    // Unloads this window (same as closing it).
    void descargar();

protected:
    // The window's own handlers (keys, showing, closing) run through
    // Aperturas::protegida, as every handler of the user's action does.
    bool event(QEvent *e) override;
    // The window's event filter on its boxes: override filtrar, which runs
    // through Aperturas::protegida (an error lets the event go on).
    bool eventFilter(QObject *obj, QEvent *e) final;
    virtual bool filtrar(QObject *obj, QEvent *e) { return QWidget::eventFilter(obj, e); }
    void closeEvent(QCloseEvent *e) override;
    // Return false to keep the window open.
    virtual bool antesDeDescargar() { return true; }
};

// Base of the modal dialogs. Closing, accepting or rejecting unloads them.
class Dialogo : public QDialog {
    Q_OBJECT
public:
    explicit Dialogo(QWidget *parent = nullptr);
    void descargar();
    // VB-style mode carried by the caller ("NEW", "MOD", "DEL", "BUS").
    QString Tag;

protected:
    // As Formulario's.
    bool event(QEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *e) final;
    virtual bool filtrar(QObject *obj, QEvent *e) { return QDialog::eventFilter(obj, e); }
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;
    virtual bool antesDeDescargar() { return true; }
    // Runs once when the dialog is unloaded (after antesDeDescargar agreed).
    virtual void alDescargar() {}

private:
    bool m_descargando = false;
};
