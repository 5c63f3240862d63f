// Main window: start-up, menu tree and tool bar, background, window opening.
#include "PruebaPrincipal.h"

#include "MenuPrincipal.h"
#include "Module.h"
#include "platform/AlmacenRegional.h"
#include "platform/Aperturas.h"
#include "platform/CarpetaPrograma.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {
// A plain window known to the registry by name, as the program's windows are:
// the open one while it is loaded, a new one after it was unloaded.
QWidget *ventana(const QString &nombre)
{
    if (QWidget *w = Ventanas::buscar(nombre))
        return w;
    auto *w = new Formulario;
    w->setWindowTitle(nombre);
    Ventanas::registrar(w, nombre);
    return w;
}
} // namespace

class FrmMain : public PruebaPrincipal {};

TEST_F(FrmMain, AntesDelIngresoSoloSistemaYAyuda)
{
    abrirPrincipal();
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Ayuda"}));
    EXPECT_FALSE(barraVisible());
    EXPECT_FALSE(visible("mnu_desconectarse"));
    EXPECT_TRUE(visible("mnu_conectarse"));
    EXPECT_EQ(principal->windowTitle(), captionBase());
    EXPECT_EQ(gSucursal, "0001");
    EXPECT_TRUE(modal->mostrados().isEmpty()); // the login waits for the activation
}

TEST_F(FrmMain, ArbolDeMenusEnOrdenConNombresYNiveles)
{
    abrirPrincipal();
    const auto &acciones = principal->accionesMenu();
    const auto &datos = MenuPrincipal::entradas();
    ASSERT_EQ(acciones.size(), 50);
    for (int i = 0; i < acciones.size(); ++i) {
        EXPECT_EQ(acciones[i]->objectName(), datos[i].nombre);
        EXPECT_EQ(acciones[i]->property("HelpContextID").toInt(), datos[i].nivel * 5);
        if (!datos[i].esSeparador()) {
            EXPECT_EQ(acciones[i]->text(), datos[i].caption);
        }
    }
    EXPECT_TRUE(principal->accion("mnu_raya")->isSeparator());
    // Level-2 items live in the submenu, which lives in its level-0 menu.
    auto *uti = principal->findChild<QMenu *>("mnu_uti");
    ASSERT_NE(uti, nullptr);
    EXPECT_TRUE(uti->actions().contains(principal->accion("mnu_BaseReset")));
    EXPECT_TRUE(principal->findChild<QMenu *>("mnu_Herramientas")->actions().contains(uti->menuAction()));
    EXPECT_EQ(principal->findChild<QMenuBar *>()->actions().size(), 9);
}

TEST_F(FrmMain, BarraDeDoceBotones)
{
    abrirPrincipal();
    const QStringList captions = {"",
                                  "Reservas",
                                  "Venta",
                                  "Productos",
                                  "Clientes",
                                  "",
                                  "Inicio de Caja",
                                  "Ingreso de Efectivo",
                                  "Extracción de Efectivo",
                                  "Arqueo de Caja",
                                  "",
                                  "Ayuda"};
    for (int i = 1; i <= 12; ++i) {
        QAction *a = principal->botonBarra(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->isSeparator(), i == 1 || i == 6 || i == 11) << i;
        if (!a->isSeparator()) {
            EXPECT_EQ(a->text(), captions[i - 1]);
        }
    }
    EXPECT_EQ(principal->botonBarra(2)->toolTip(), "Administración de Reservas de Canchas");
    EXPECT_EQ(principal->botonBarra(3)->toolTip(), "Alta de Facturación");
    EXPECT_EQ(principal->findChild<QToolButton *>("ToolBar_4")->defaultAction(), principal->botonBarra(4));
}

TEST_F(FrmMain, CerrarElPrimerIngresoDejaSoloConectarse)
{
    arrancar();
    ASSERT_EQ(modal->mostrados(), QStringList{"Frm_S_Login"});
    login()->close();
    procesarEventos();
    EXPECT_TRUE(gUsuarioActual.isEmpty());
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Ayuda"}));
    EXPECT_TRUE(visible("mnu_conectarse"));
    EXPECT_FALSE(visible("mnu_desconectarse"));
    EXPECT_FALSE(barraVisible());
    EXPECT_EQ(fin->veces(), 0);

    // Later activations only check the regional settings.
    principal->Form_Activate();
    EXPECT_EQ(modal->mostrados().size(), 1);

    principal->accion("mnu_conectarse")->trigger();
    EXPECT_EQ(modal->mostrados().size(), 2);
    ASSERT_NE(login(), nullptr);
    ingresar("admin", "admin");
    EXPECT_EQ(gUsuarioActual, "admin");
}

TEST_F(FrmMain, SegundaInstanciaRechazadaSinTocarLaBase)
{
    QLockFile otra(Aplicacion::rutaBloqueo());
    ASSERT_TRUE(otra.tryLock(0));
    cerrarConexion();
    abrirPrincipal();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "Ya existe una session activa de Gestión de Club de Canchas");
    EXPECT_EQ(msg->ultimo().estilo, vb::OKOnly);
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_EQ(gConexion, nullptr);
}

TEST_F(FrmMain, UnaInstanciaPorUsuarioYEquipoNoPorCarpeta)
{
    const auto runtimePropio = qScopeGuard([antes = qgetenv("XDG_RUNTIME_DIR")] { qputenv("XDG_RUNTIME_DIR", antes); });
    const QString rechazo = QStringLiteral("Ya existe una session activa de Gestión de Club de Canchas");
    // Starts the main window again; the message it gave, "" when it started.
    auto avisoAlArrancar = [&] {
        descargarTodo();
        msg->limpiar();
        abrirPrincipal();
        return msg->mostrados().empty() ? QString() : msg->ultimo().prompt;
    };
    auto escribirBloqueo = [](const QString &ruta, qint64 pid, const QString &equipo) {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("%1\nclub\n%2\n").arg(pid).arg(equipo).toUtf8());
    };

    // A copy of this user runs, from whatever program folder: refused here,
    // from this folder or from another one.
    QLockFile otraCopia(Aplicacion::rutaBloqueo());
    ASSERT_TRUE(otraCopia.tryLock(0));
    EXPECT_EQ(avisoAlArrancar(), rechazo);
    QTemporaryDir otraCarpeta;
    CarpetaPrograma::fijar(otraCarpeta.path());
    EXPECT_EQ(avisoAlArrancar(), rechazo);
    EXPECT_FALSE(QFile::exists(QDir(otraCarpeta.path()).filePath(QStringLiteral("club.lock"))));
    CarpetaPrograma::fijar(carpeta());

    // Another user (a runtime folder of its own) on the same program folder
    // starts, and holds a lock of its own while it runs.
    QTemporaryDir otroUsuario;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(otroUsuario.path()));
    EXPECT_EQ(avisoAlArrancar(), QString());
    EXPECT_NE(gConexion, nullptr);
    EXPECT_TRUE(Aplicacion::rutaBloqueo().startsWith(otroUsuario.path() + QLatin1Char('/')));
    EXPECT_TRUE(QFile::exists(Aplicacion::rutaBloqueo()));
    EXPECT_FALSE(QFile::exists(QDir(carpeta()).filePath(QStringLiteral("club.lock"))));

    // A runtime folder shared with another machine: the copy running there,
    // which this machine cannot see, does not stop this one.
    const QString ajena = Aplicacion::rutaBloqueo(QStringLiteral("otro-equipo"));
    ASSERT_NE(ajena, Aplicacion::rutaBloqueo());
    descargarTodo();
    escribirBloqueo(ajena, QCoreApplication::applicationPid(), QStringLiteral("otro-equipo"));
    EXPECT_EQ(avisoAlArrancar(), QString());
    EXPECT_TRUE(QFile::exists(ajena));

    // The lock a crashed copy of this user left behind does not block the
    // start; the new copy takes it over.
    descargarTodo();
    QProcess muerto;
    muerto.start(QStringLiteral("true"));
    ASSERT_TRUE(muerto.waitForStarted());
    const qint64 pidMuerto = muerto.processId();
    ASSERT_TRUE(muerto.waitForFinished());
    escribirBloqueo(Aplicacion::rutaBloqueo(), pidMuerto, QSysInfo::machineHostName());
    EXPECT_EQ(avisoAlArrancar(), QString());
    QFile tomado(Aplicacion::rutaBloqueo());
    ASSERT_TRUE(tomado.open(QIODevice::ReadOnly));
    EXPECT_EQ(tomado.readLine().trimmed().toLongLong(), QCoreApplication::applicationPid());
    descargarTodo();
}

TEST_F(FrmMain, BaseFaltanteOIlegibleTerminaConMensaje)
{
    cerrarConexion();
    ASSERT_TRUE(QFile::remove(gRutaBase));
    abrirPrincipal();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_TRUE(msg->ultimo().prompt.contains(gRutaBase));
    EXPECT_TRUE(msg->ultimo().prompt.contains("crear_base"));
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_EQ(gConexion, nullptr);
    descargarTodo();

    QFile basura(gRutaBase);
    ASSERT_TRUE(basura.open(QIODevice::WriteOnly));
    basura.write(QByteArray(4096, 'x'));
    basura.close();
    msg->limpiar();
    abrirPrincipal();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("No se pudo abrir la base de datos"));
    EXPECT_EQ(fin->veces(), 2);
    descargarTodo();

    // There but not openable: not reported as missing.
    ASSERT_TRUE(QFile::remove(gRutaBase));
    ASSERT_TRUE(QDir().mkpath(gRutaBase));
    msg->limpiar();
    abrirPrincipal();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("No se pudo abrir la base de datos"));
    EXPECT_EQ(fin->veces(), 3);
    EXPECT_EQ(gConexion, nullptr);
}

TEST_F(FrmMain, DatosEmpresaSinFilaDejaSucursalVacia)
{
    db().execute("DELETE FROM DatosEmpresa");
    gSucursal = "9999";
    abrirPrincipal();
    EXPECT_TRUE(gSucursal.isEmpty());
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(fin->veces(), 0);
}

TEST_F(FrmMain, FondoSegunLaResolucion)
{
    // Each picture in its own colour, so the one shown can be told apart.
    const QList<QPair<QString, QColor>> fondos = {{"800x600", Qt::red},      {"1024x768", Qt::green},
                                                  {"1280x800", Qt::blue},    {"1280x1024", Qt::yellow},
                                                  {"1366x768", Qt::magenta}, {"1920x1080", Qt::cyan}};
    QDir().mkpath(carpeta() + "/img/fondos");
    QHash<QString, QColor> colorDe;
    for (const auto &f : fondos) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(f.second);
        ASSERT_TRUE(img.save(carpeta() + "/img/fondos/bg-" + f.first + ".jpg"));
        colorDe["bg-" + f.first + ".jpg"] = f.second;
    }
    const QList<QPair<QSize, QString>> casos = {{{1600, 900}, "bg-1366x768.jpg"}, {{1024, 600}, "bg-1024x768.jpg"},
                                                {{1280, 720}, "bg-1366x768.jpg"}, {{1280, 1024}, "bg-1280x1024.jpg"},
                                                {{800, 600}, "bg-800x600.jpg"},   {{1920, 1080}, "bg-1920x1080.jpg"},
                                                {{1025, 700}, "bg-1366x768.jpg"}};
    abrirPrincipal();
    auto *area = principal->findChild<QMdiArea *>();
    for (const auto &c : casos) {
        Aplicacion::fijarTamanoPantalla(c.first);
        principal->CargarFondo();
        EXPECT_EQ(principal->archivoFondo(), c.second) << c.first.width() << "x" << c.first.height();
        const QImage shown = area->background().textureImage();
        ASSERT_FALSE(shown.isNull());
        const QColor px = shown.pixelColor(shown.width() / 2, shown.height() / 2);
        const QColor esperado = colorDe[c.second];
        EXPECT_NEAR(px.red(), esperado.red(), 12);
        EXPECT_NEAR(px.green(), esperado.green(), 12);
        EXPECT_NEAR(px.blue(), esperado.blue(), 12);
    }

    QFile::remove(carpeta() + "/img/fondos/bg-1366x768.jpg");
    Aplicacion::fijarTamanoPantalla({1366, 768});
    principal->CargarFondo();
    EXPECT_TRUE(area->background().textureImage().isNull());
}

TEST_F(FrmMain, AbrirUnaVentanaAbiertaLaTraeAlFrente)
{
    arrancar();
    login()->close();
    procesarEventos();
    principal->show();
    procesarEventos();
    auto *area = principal->findChild<QMdiArea *>();

    QWidget *uno = ventana("VentanaUno");
    Frm_Main::showForm(uno, false);
    QMdiSubWindow *marcoUno = Ventanas::marco(uno);
    ASSERT_NE(marcoUno, nullptr);
    marcoUno->move(120, 80);
    Frm_Main::showForm(ventana("VentanaDos"), false);
    EXPECT_EQ(area->subWindowList(QMdiArea::StackingOrder).last(), Ventanas::marco(ventana("VentanaDos")));

    Frm_Main::showForm(ventana("VentanaUno"), false);
    EXPECT_EQ(area->subWindowList().size(), 2);
    EXPECT_EQ(area->subWindowList(QMdiArea::StackingOrder).last(), marcoUno);
    EXPECT_EQ(area->activeSubWindow(), marcoUno);
    EXPECT_EQ(marcoUno->pos(), QPoint(0, 0));
    EXPECT_EQ(Ventanas::cargadas().count("VentanaUno"), 1);
}

TEST_F(FrmMain, SalirYCerrarLaVentana)
{
    abrirPrincipal();
    principal->accion("mnu_Salir")->trigger();
    EXPECT_EQ(fin->veces(), 1);

    ASSERT_NE(gConexion, nullptr);
    principal->close();
    procesarEventos();
    EXPECT_EQ(gConexion, nullptr);
    EXPECT_EQ(Frm_Main::instancia(), nullptr);
}

TEST_F(FrmMain, AyudaManualYSoporte)
{
    arrancar();
    ingresar("admin", "admin");
    principal->accion("mnu_ManualUsuario")->trigger();
    principal->findChild<QToolButton *>("ToolBar_12")->click();
    ASSERT_EQ(escritorio->abiertas().size(), 2);
    for (const QUrl &u : escritorio->abiertas())
        EXPECT_EQ(u.toLocalFile(), QDir(carpeta()).filePath("ManualUsuario.pdf"));

    // Not opened: told why, with the manual's place, by the menu and the tool bar alike.
    const QString manual = QDir(carpeta()).filePath("ManualUsuario.pdf");
    QFile::remove(manual);
    escritorio->responder(false);
    msg->limpiar();
    principal->accion("mnu_ManualUsuario")->trigger();
    {
        QFile f(manual);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    principal->findChild<QToolButton *>("ToolBar_12")->click();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].prompt, "No se encuentra el manual de usuario:\r" + QDir::toNativeSeparators(manual));
    EXPECT_EQ(msg->mostrados()[0].icono(), vb::Exclamation);
    EXPECT_EQ(msg->mostrados()[1].prompt,
              "No hay un programa para abrir el manual de usuario (PDF) en este equipo. El manual está en:\r" +
                  QDir::toNativeSeparators(manual));
    EXPECT_EQ(msg->mostrados()[1].icono(), vb::Information);
    EXPECT_EQ(escritorio->abiertas().size(), 4);
    escritorio->responder(true);

    msg->limpiar();
    principal->accion("mnu_Soporte")->trigger();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Mesa de Ayuda: \n"));
    EXPECT_TRUE(msg->ultimo().prompt.contains("club.ini")); // not set yet: says where

    {
        QSettings ini(carpeta() + "/club.ini", QSettings::IniFormat);
        ini.setValue("soporte/telefono", "011 4555-1234");
        ini.setValue("soporte/mensajeria", "+54 9 11 5555-0000");
        ini.setValue("soporte/email", "ayuda@ejemplo.com");
    }
    principal->accion("mnu_Soporte")->trigger();
    const QStringList lineas = msg->ultimo().prompt.split('\n');
    ASSERT_EQ(lineas.size(), 4);
    EXPECT_TRUE(lineas[1].endsWith("011 4555-1234"));
    EXPECT_TRUE(lineas[2].endsWith("+54 9 11 5555-0000"));
    EXPECT_TRUE(lineas[3].endsWith("ayuda@ejemplo.com"));

    principal->accion("mnu_AcercaDe")->trigger();
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith(tituloAplicacion()));
}

TEST_F(FrmMain, CadaActivacionRevisaLaConfiguracionRegionalYSoloLaPrimeraPideIngreso)
{
    const auto separadoresMal = [] {
        ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::SeparadorDecimal, ","));
        ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::SeparadorMiles, "."));
    };
    const auto activar = [this] {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(principal, &e);
        procesarEventos();
    };
    abrirPrincipal();
    separadoresMal();
    activar();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].titulo, "Error en configuración regional");
    EXPECT_EQ(modal->mostrados(), QStringList{"Frm_S_Login"});
    login()->close();
    procesarEventos();

    separadoresMal();
    msg->limpiar();
    activar();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].titulo, "Error en configuración regional");
    EXPECT_EQ(modal->mostrados().size(), 1); // the login only the first time
}

TEST_F(FrmMain, ElMenuContextualNoMuestraLaBarra)
{
    arrancar();
    login()->close();
    procesarEventos();
    principal->show();
    procesarEventos();
    ASSERT_FALSE(barraVisible());
    // Were a context menu offered, its tool-bar toggle is chosen.
    bool ofrecido = false;
    QTimer::singleShot(0, [&] {
        if (auto *m = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            ofrecido = true;
            if (!m->actions().isEmpty())
                m->actions().first()->trigger();
            m->close();
        }
    });
    auto *barraMenu = principal->findChild<QMenuBar *>();
    const QPoint p(barraMenu->width() - 5, barraMenu->height() / 2);
    QContextMenuEvent e(QContextMenuEvent::Mouse, p, barraMenu->mapToGlobal(p));
    QApplication::sendEvent(barraMenu, &e);
    procesarEventos();
    EXPECT_FALSE(ofrecido);
    EXPECT_FALSE(barraVisible());
}

TEST_F(FrmMain, OpcionesSinVentanaRegistradaNoHacenNada)
{
    arrancar();
    ingresar("admin", "admin");
    msg->limpiar();
    const QStringList propias = {"mnu_conectarse",    "mnu_desconectarse", "mnu_Salir",
                                 "mnu_ManualUsuario", "mnu_Soporte",       "mnu_AcercaDe"};
    int probadas = 0;
    for (QAction *a : principal->accionesMenu()) {
        if (a->menu() || a->isSeparator() || propias.contains(a->objectName()) ||
            Aperturas::registrada(a->objectName()))
            continue;
        a->trigger();
        ++probadas;
    }
    for (int i : {2, 3, 4, 5, 7, 8, 9, 10})
        if (!Aperturas::registrada(MenuPrincipal::botones()[i - 1].abre))
            principal->findChild<QToolButton *>(QStringLiteral("ToolBar_%1").arg(i))->click();
    procesarEventos();
    EXPECT_GT(probadas, 20);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(modal->mostrados().size(), 1); // only the login
    EXPECT_EQ(Ventanas::cargadas(), QStringList{"Frm_Main"});
    EXPECT_EQ(fin->veces(), 0);
    EXPECT_TRUE(escritorio->abiertas().isEmpty());
}
