#pragma once
// The main window: start-up, the menu tree and tool bar, the background
// picture, the status bar and the area where every other window opens.
#include <QImage>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QMdiArea;
class QTimer;
class QToolBar;
namespace Ui {
class Frm_Main;
}

class Frm_Main : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the load step. When the load step ends the
    // program (second instance, unusable database) Aplicacion::terminada()
    // tells so and the window must not be shown.
    explicit Frm_Main(QWidget *parent = nullptr);
    ~Frm_Main() override;

    // The loaded main window, or nullptr.
    static Frm_Main *instancia();

    // Activation: checks the regional settings; the first time also shows the
    // login dialog. Runs on every real activation of the window.
    void Form_Activate();

    // Chooses the background picture by the screen resolution and shows it;
    // a missing picture leaves the background empty.
    void CargarFondo();
    // File name chosen by the last CargarFondo (e.g. "bg-1366x768.jpg").
    QString archivoFondo() const { return m_archivoFondo; }

    // Shows a window at the top-left corner of the main area and brings it to
    // the front; modal dialogs are shown modally. An open window is reused.
    static void showForm(QWidget *xForm, bool isModal);

    // A click on tool-bar button index (1..12).
    void ToolBar_ButtonClick(int index);

    // Menu items in the order of the tree (level-0 menus by their menu action).
    const QList<QAction *> &accionesMenu() const { return m_acciones; }
    QAction *accion(const QString &nombre) const;
    // Tool-bar entry index (1..12).
    QAction *botonBarra(int indice) const;
    QToolBar *barra() const;

    // Hides the seven permission-bearing level-0 menus and the tool bar.
    void ocultarMenus();
    // Connect / disconnect items by whether someone is logged in.
    void ajustarConexion();
    // Caption with or without the " - [ Conectado como: user]" suffix.
    void marcarUsuario(const QString &usuario);
    void quitarUsuario();

    // Menu items handled by the main window itself.
    void mnu_conectarse_Click();
    void mnu_desconectarse_Click();
    void mnu_Salir_Click();
    void mnu_ManualUsuario_Click();
    void mnu_Soporte_Click();
    void mnu_AcercaDe_Click();

    // No context menu over the menu bar or tool bar: its tool-bar toggle would
    // let anybody show the buttons that only a login may show.
    QMenu *createPopupMenu() override { return nullptr; }

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Form_Load();
    void crearMenus();
    void crearBarra();
    void crearBarraEstado();
    void actualizarReloj();
    void aplicarFondo();
    void programarActivacion();
    void mostrarLogin();
    // Runs a menu item or tool-bar button; a database error is told, never
    // left to escape the event.
    void ejecutar(const QString &nombre);
    void despachar(const QString &nombre);

    Ui::Frm_Main *ui;
    QList<QAction *> m_acciones;
    QList<QAction *> m_botones; // index - 1
    QLabel *m_panelTexto = nullptr;
    QLabel *m_panelFecha = nullptr;
    QLabel *m_panelHora = nullptr;
    QTimer *m_reloj = nullptr;
    QImage m_fondo;
    QString m_archivoFondo;
    QString m_captionBase;
    bool m_primeraActivacion = false;
    bool m_activacionPendiente = false;
    bool m_enActivacion = false;
};
