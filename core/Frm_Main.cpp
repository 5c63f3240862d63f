#include "Frm_Main.h"
#include "ui_Frm_Main.h"

#include "Aplicacion.h"
#include "AppUtils.h"
#include "ConfigPrograma.h"
#include "Frm_S_Login.h"
#include "InterfazRespaldo.h"
#include "MenuPrincipal.h"
#include "Module.h"
#include "platform/Aperturas.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "platform/Ventanas.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {
QString version()
{
    return QStringLiteral("%1.%2.%3").arg(CLUB_VERSION_MAJOR).arg(CLUB_VERSION_MINOR).arg(CLUB_VERSION_PATCH);
}
} // namespace

Frm_Main::Frm_Main(QWidget *parent) : QMainWindow(parent), ui(new Ui::Frm_Main)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tituloAplicacion());
    Ventanas::fijarArea(ui->mdiArea);
    ui->mdiArea->viewport()->installEventFilter(this);
    crearMenus();
    crearBarra();
    crearBarraEstado();
    Form_Load();
}

Frm_Main::~Frm_Main()
{
    Aplicacion::liberarInstancia();
    delete ui;
}

Frm_Main *Frm_Main::instancia() { return Ventanas::existente<Frm_Main>(); }

// ------------------------------------------------------------------ load

void Frm_Main::Form_Load()
{
    CargarFondo();
    m_primeraActivacion = true;

    if (!Aplicacion::tomarInstancia()) {
        MsgBox(QStringLiteral("Ya existe una session activa de ") + tituloAplicacion(), vb::OKOnly);
        Aplicacion::terminar();
        return;
    }

    fijarRutasBase();
    terminarRestauracionPendiente();
    try {
        abrirConexion();
        const Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT * FROM DatosEmpresa"));
        gSucursal = rs.eof() ? QString() : rs.texto(QStringLiteral("Sucursal"));
    } catch (const DbError &e) {
        cerrarConexion();
        DatosServidor servidor;
        const QString texto = ConfigPrograma::baseEnServidor(servidor) ? textoErrorAlAbrirBase(e, servidor)
                                                                       : textoErrorAlAbrirBase(e, gRutaBase);
        MsgBox(texto, vb::Critical);
        Aplicacion::terminar(1);
        return;
    }

    ocultarMenus();
    m_captionBase = tituloAplicacion() + QStringLiteral(" versión ") + version();
    setWindowTitle(m_captionBase);
}

// ------------------------------------------------------------------ building

void Frm_Main::crearMenus()
{
    const auto &entradas = MenuPrincipal::entradas();
    QMenu *menu0 = nullptr; // current level-0 menu
    QMenu *menu1 = nullptr; // current submenu
    for (size_t i = 0; i < entradas.size(); ++i) {
        const auto &e = entradas[i];
        const bool tieneHijos = i + 1 < entradas.size() && entradas[i + 1].nivel > e.nivel;
        QAction *a = nullptr;
        if (e.nivel == 0) {
            menu0 = ui->menuBar->addMenu(e.caption);
            menu0->setObjectName(e.nombre);
            a = menu0->menuAction();
        } else {
            QMenu *padre = e.nivel == 1 ? menu0 : menu1;
            if (e.esSeparador()) {
                a = padre->addSeparator();
            } else if (tieneHijos) {
                menu1 = padre->addMenu(e.caption);
                menu1->setObjectName(e.nombre);
                a = menu1->menuAction();
            } else {
                a = padre->addAction(e.caption);
                const QString nombre = e.nombre;
                connect(a, &QAction::triggered, this, [this, nombre] { ejecutar(nombre); });
            }
        }
        a->setObjectName(e.nombre);
        a->setProperty("HelpContextID", e.helpContext());
        m_acciones << a;
    }
    accion(QStringLiteral("mnu_desconectarse"))->setVisible(false);
}

void Frm_Main::crearBarra()
{
    for (const auto &b : MenuPrincipal::botones()) {
        QAction *a = nullptr;
        if (b.esSeparador()) {
            a = ui->ToolBar->addSeparator();
        } else {
            a = ui->ToolBar->addAction(b.caption);
            if (!b.tooltip.isEmpty())
                a->setToolTip(b.tooltip);
            const int indice = b.indice;
            connect(a, &QAction::triggered, this, [this, indice] { ToolBar_ButtonClick(indice); });
        }
        const QString nombre = QStringLiteral("ToolBar_%1").arg(b.indice);
        a->setObjectName(nombre);
        if (QWidget *w = ui->ToolBar->widgetForAction(a)) {
            w->setObjectName(nombre);
            if (!b.esSeparador())
                w->setMinimumWidth(90);
        }
        m_botones << a;
    }
}

void Frm_Main::crearBarraEstado()
{
    m_panelTexto = new QLabel(this);
    m_panelFecha = new QLabel(this);
    m_panelHora = new QLabel(this);
    m_panelTexto->setObjectName(QStringLiteral("stBar_1"));
    m_panelFecha->setObjectName(QStringLiteral("stBar_2"));
    m_panelHora->setObjectName(QStringLiteral("stBar_3"));
    for (QLabel *p : {m_panelFecha, m_panelHora}) {
        p->setAlignment(Qt::AlignCenter);
        p->setMinimumWidth(90);
    }
    ui->stBar->addWidget(m_panelTexto, 1);
    ui->stBar->addPermanentWidget(m_panelFecha);
    ui->stBar->addPermanentWidget(m_panelHora);
    // Stands in for the status bar's own clock panels.
    m_reloj = new QTimer(this);
    connect(m_reloj, &QTimer::timeout, this, &Frm_Main::actualizarReloj);
    m_reloj->start(1000);
    actualizarReloj();
}

void Frm_Main::actualizarReloj()
{
    const QDateTime ahora = Reloj::ahora();
    m_panelFecha->setText(ahora.date().toString(QStringLiteral("dd/MM/yyyy")));
    m_panelHora->setText(ahora.time().toString(QStringLiteral("HH:mm")));
}

// ------------------------------------------------------------------ access

QAction *Frm_Main::accion(const QString &nombre) const
{
    for (QAction *a : m_acciones)
        if (a->objectName().compare(nombre, Qt::CaseInsensitive) == 0)
            return a;
    return nullptr;
}

QAction *Frm_Main::botonBarra(int indice) const
{
    return indice >= 1 && indice <= m_botones.size() ? m_botones.at(indice - 1) : nullptr;
}

QToolBar *Frm_Main::barra() const { return ui->ToolBar; }

void Frm_Main::ocultarMenus()
{
    for (const QString &m : MenuPrincipal::menusConPermiso())
        accion(m)->setVisible(false);
    ui->ToolBar->setVisible(false);
}

void Frm_Main::ajustarConexion()
{
    const bool conectado = !gUsuarioActual.isEmpty();
    accion(QStringLiteral("mnu_conectarse"))->setVisible(!conectado);
    accion(QStringLiteral("mnu_desconectarse"))->setVisible(conectado);
}

void Frm_Main::marcarUsuario(const QString &usuario)
{
    setWindowTitle(m_captionBase + QStringLiteral(" - [ Conectado como: ") + usuario + QStringLiteral("]"));
}

void Frm_Main::quitarUsuario() { setWindowTitle(m_captionBase); }

// ------------------------------------------------------------------ activation

bool Frm_Main::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        programarActivacion();
    return QMainWindow::event(e);
}

void Frm_Main::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // Without a window manager a shown window may never be activated; the
    // first showing counts as the first activation.
    if (m_primeraActivacion)
        programarActivacion();
}

// The activation may open modal boxes; it runs from the event loop, not from
// inside the activation event.
void Frm_Main::programarActivacion()
{
    if (m_activacionPendiente)
        return;
    m_activacionPendiente = true;
    QTimer::singleShot(0, this, [this] {
        m_activacionPendiente = false;
        Form_Activate();
    });
}

void Frm_Main::Form_Activate()
{
    if (m_enActivacion)
        return;
    QScopedValueRollback<bool> guarda(m_enActivacion, true);
    gAppUtils.chequearConfigRegional();
    if (m_primeraActivacion) {
        m_primeraActivacion = false;
        mostrarLogin();
        if (gUsuarioActual.isEmpty())
            ajustarConexion();
    }
}

void Frm_Main::mostrarLogin() { Modal::mostrar(Ventanas::obtener<Frm_S_Login>()); }

// ------------------------------------------------------------------ background

void Frm_Main::CargarFondo()
{
    const QSize t = Aplicacion::tamanoPantalla();
    static const QList<QSize> exactas = {QSize(1366, 768), QSize(1024, 768),  QSize(1280, 1024),
                                         QSize(1280, 800), QSize(1920, 1080), QSize(800, 600)};
    if (exactas.contains(t))
        m_archivoFondo = QStringLiteral("bg-%1x%2.jpg").arg(t.width()).arg(t.height());
    else
        m_archivoFondo = t.width() < 1025 ? QStringLiteral("bg-1024x768.jpg") : QStringLiteral("bg-1366x768.jpg");
    m_fondo = QImage(CarpetaPrograma::archivo(QStringLiteral("img/fondos/") + m_archivoFondo));
    aplicarFondo();
}

void Frm_Main::aplicarFondo()
{
    const QSize area = ui->mdiArea->viewport()->size();
    if (m_fondo.isNull()) {
        ui->mdiArea->setBackground(palette().brush(QPalette::Dark));
        return;
    }
    if (area.isEmpty()) { // not laid out yet
        ui->mdiArea->setBackground(QBrush(m_fondo));
        return;
    }
    // Fill the area without distorting the picture: scale to cover, keep the centre.
    const QImage cubre = m_fondo.scaled(area, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QRect centro((cubre.width() - area.width()) / 2, (cubre.height() - area.height()) / 2, area.width(),
                       area.height());
    ui->mdiArea->setBackground(QBrush(cubre.copy(centro)));
}

bool Frm_Main::eventFilter(QObject *o, QEvent *e)
{
    if (o == ui->mdiArea->viewport() && e->type() == QEvent::Resize)
        aplicarFondo();
    return QMainWindow::eventFilter(o, e);
}

// ------------------------------------------------------------------ windows

void Frm_Main::showForm(QWidget *xForm, bool isModal) { Ventanas::showForm(xForm, isModal); }

void Frm_Main::closeEvent(QCloseEvent *e)
{
    Ventanas::olvidar(this);
    cerrarConexion();
    e->accept();
}

// ------------------------------------------------------------------ menu and tool bar

void Frm_Main::ejecutar(const QString &nombre)
{
    Aperturas::protegida([this, &nombre] { despachar(nombre); });
}

void Frm_Main::despachar(const QString &nombre)
{
    if (nombre == QLatin1String("mnu_conectarse"))
        mnu_conectarse_Click();
    else if (nombre == QLatin1String("mnu_desconectarse"))
        mnu_desconectarse_Click();
    else if (nombre == QLatin1String("mnu_Salir"))
        mnu_Salir_Click();
    else if (nombre == QLatin1String("mnu_ManualUsuario"))
        mnu_ManualUsuario_Click();
    else if (nombre == QLatin1String("mnu_Soporte"))
        mnu_Soporte_Click();
    else if (nombre == QLatin1String("mnu_AcercaDe"))
        mnu_AcercaDe_Click();
    else
        Aperturas::abrir(nombre); // windows of the other subsystems, once they exist
}

void Frm_Main::ToolBar_ButtonClick(int index)
{
    for (const auto &b : MenuPrincipal::botones())
        if (b.indice == index && !b.abre.isEmpty())
            ejecutar(b.abre);
}

void Frm_Main::mnu_conectarse_Click()
{
    if (!gUsuarioActual.isEmpty())
        return;
    ajustarConexion();
    mostrarLogin();
}

void Frm_Main::mnu_desconectarse_Click()
{
    Ventanas::descargarTodasMenos(QStringLiteral("Frm_Main"));
    ocultarMenus();
    gUsuarioActual.clear();
    ajustarConexion();
    quitarUsuario();
    mostrarLogin();
}

void Frm_Main::mnu_Salir_Click() { Aplicacion::terminar(); }

void Frm_Main::mnu_ManualUsuario_Click()
{
    const QString manual = CarpetaPrograma::archivo(QStringLiteral("ManualUsuario.pdf"));
    // Nothing else on screen would tell why the manual did not open (told
    // also when the desktop's opener ends in failure after this returns).
    gAppUtils.openURL(manual, [manual] {
        const QString ruta = QStringLiteral("\r") + QDir::toNativeSeparators(manual);
        if (QFileInfo::exists(manual))
            MsgBox(QStringLiteral("No hay un programa para abrir el manual de usuario (PDF) en este equipo. El "
                                  "manual está en:") +
                       ruta,
                   vb::Information);
        else
            MsgBox(QStringLiteral("No se encuentra el manual de usuario:") + ruta, vb::Exclamation);
    });
}

void Frm_Main::mnu_Soporte_Click()
{
    MsgBox(QStringLiteral("Mesa de Ayuda: \nTeléfono: ") + ConfigPrograma::soporteTelefono() +
               QStringLiteral("\nMensajería: ") + ConfigPrograma::soporteMensajeria() + QStringLiteral("\nCorreo: ") +
               ConfigPrograma::soporteEmail(),
           vb::Information);
}

void Frm_Main::mnu_AcercaDe_Click()
{
    MsgBox(tituloAplicacion() + QStringLiteral("\nVersión ") + version() +
               QStringLiteral("\n\nReservas de canchas, clientes, ventas con control de stock, caja por usuario e "
                              "informes del club."),
           vb::Information);
}
