// A day's session of the real program on a generated club (10 years by
// default), offscreen: the main window as the program starts it, the login
// typed into its dialog, the agenda, then every report of the reports menu run
// over its longest period through its own window and buttons, the windows
// closed and the user logged out. After each step it prints the step's time
// and the resident memory of the process (VmRSS) and its peak so far (VmHWM).
//   club_bench_memoria [--anios N] [--servidor CARPETA_O_HOST]
// Goals on 10 years: peak <= 150 MB; <= 80 MB once the report windows are
// closed.
#include "Aplicacion.h"
#include "Frm_Main.h"
#include "Module.h"
#include "RegistroPrograma.h"
#include "generar_club.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"
#include "platform/PresentadorPantalla.h"
#include "platform/Reloj.h"
#include "platform/Ventanas.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>

namespace {
TamanioClub g_club;
Frm_Main *g_principal = nullptr;
QTextStream g_salida(stdout);

// A value of /proc/self/status in MB.
double memoria(const char *clave)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(qstrlen(clave)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void procesar()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Milliseconds of a step: on the clock and of the processor (this process).
struct Tiempo {
    qint64 reloj = -1;
    qint64 cpu = -1;
};

qint64 cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void medir(const QString &paso, Tiempo t = {})
{
    procesar();
    auto ms = [](qint64 v) { return (v < 0 ? QString() : QString::number(v)).rightJustified(8); };
    g_salida << paso.leftJustified(54) << ms(t.reloj) << ms(t.cpu)
             << QString::number(memoria("VmRSS:"), 'f', 1).rightJustified(9)
             << QString::number(memoria("VmHWM:"), 'f', 1).rightJustified(9) << Qt::endl;
}

template <class T> T *hijo(QWidget *w, const char *nombre)
{
    T *h = w->findChild<T *>(QLatin1String(nombre));
    if (!h)
        qFatal("Falta el control %s en %s", nombre, qPrintable(w->objectName()));
    return h;
}

// Opens a window through its menu item, as the user does.
QWidget *abrir(const char *menu)
{
    g_principal->accion(QLatin1String(menu))->trigger();
    procesar();
    QWidget *w = QApplication::activeWindow();
    for (const QString &n : Ventanas::cargadas())
        if (QWidget *v = Ventanas::buscar(n); v && v->isVisible() && n != QLatin1String("Frm_Main"))
            w = v;
    return w;
}

// Sets the two date pickers of w, in the order they were made, to the period.
void periodo(QWidget *w, const QDate &desde, const QDate &hasta)
{
    const QList<QDateEdit *> fechas = w->findChildren<QDateEdit *>();
    if (fechas.size() < 2)
        qFatal("Sin fechas en %s", qPrintable(w->objectName()));
    fechas.at(0)->setDate(desde);
    fechas.at(1)->setDate(hasta);
}

// Clicks the button and times it until the events it caused were handled.
Tiempo pulsar(QAbstractButton *b)
{
    QElapsedTimer reloj;
    reloj.start();
    const qint64 cpu = cpuMs();
    b->click();
    procesar();
    return {reloj.elapsed(), cpuMs() - cpu};
}

// A grid report: its last preset is the free range.
Tiempo informeGrilla(QWidget *w, const QDate &desde, const QDate &hasta)
{
    auto *ver = hijo<QComboBox>(w, "cmbVer");
    ver->setCurrentIndex(ver->count() - 1);
    periodo(w, desde, hasta);
    return pulsar(hijo<QAbstractButton>(w, "cmdActualizar"));
}

void sesion()
{
    const QDate desde = g_club.desde();
    const QDate hasta = g_club.hasta().addDays(-1);
    medir(QStringLiteral("Inicio"));
    g_principal = Ventanas::obtener<Frm_Main>();
    g_principal->showMaximized();
    g_principal->Form_Activate();
    medir(QStringLiteral("Diálogo de ingreso"));
    QWidget *login = QApplication::activeModalWidget();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Frm_S_Login") && w->isVisible())
            login = w;
    hijo<QLineEdit>(login, "Text_0")->setText(QStringLiteral("admin"));
    hijo<QLineEdit>(login, "Text_1")->setText(QStringLiteral("admin"));
    medir(QStringLiteral("Ingreso"), pulsar(hijo<QAbstractButton>(login, "Command_0")));
    abrir("mnu_ReservasAgenda");
    medir(QStringLiteral("Agenda"));

    QWidget *w = abrir("mnu_InformeIngresos");
    periodo(w, desde, hasta);
    medir(QStringLiteral("Informe de ventas, toda la historia (vista previa)"),
          pulsar(hijo<QAbstractButton>(w, "Command_3")));

    w = abrir("mnu_InfCajaConcepto");
    hijo<QLineEdit>(w, "txtCodigo")->setText(QStringLiteral("PROV"));
    periodo(w, desde, hasta);
    medir(QStringLiteral("Movimientos de caja por concepto, toda la historia"),
          pulsar(hijo<QAbstractButton>(w, "Command_3")));

    w = abrir("mnu_EstadisticaHorasOcupadas");
    medir(QStringLiteral("Estadística de turnos, toda la historia"), informeGrilla(w, desde, hasta));
    w = abrir("mnu_InfRankingClientes");
    medir(QStringLiteral("Ranking de clientes, toda la historia"), informeGrilla(w, desde, hasta));
    w = abrir("mnu_ControlFidelidad");
    hijo<QRadioButton>(w, "opt1Turno")->setChecked(true);
    medir(QStringLiteral("Fidelización, 1 turno, último año"), informeGrilla(w, hasta.addDays(-365), hasta));

    w = abrir("mnu_ExistenciaArticulos");
    medir(QStringLiteral("Existencia de productos"), pulsar(hijo<QAbstractButton>(w, "cmdActualizar")));
    w = abrir("mnu_CierresCaja");
    hijo<QRadioButton>(w, "Option3")->setChecked(true);
    hijo<QCheckBox>(w, "chkTodos")->setChecked(true);
    periodo(w, desde, hasta);
    medir(QStringLiteral("Cierres de caja, todos, toda la historia"), pulsar(hijo<QAbstractButton>(w, "Command_4")));
    // A listing of every line: a month, as it is used.
    w = abrir("mnu_MovimientosStock");
    periodo(w, mesDeMedida(g_club), mesDeMedida(g_club).addMonths(1).addDays(-1));
    medir(QStringLiteral("Movimientos de stock, un mes"), pulsar(hijo<QAbstractButton>(w, "cmdActualiza")));

    // Every window but the main one closed by the user.
    for (const QString &n : Ventanas::cargadas())
        if (QWidget *v = Ventanas::buscar(n); v && n != QLatin1String("Frm_Main")) {
            if (QWidget *marco = Ventanas::marco(v))
                marco->close();
            else
                v->close();
            procesar();
        }
    medir(QStringLiteral("Ventanas cerradas"));
    g_principal->accion(QStringLiteral("mnu_desconectarse"))->trigger();
    medir(QStringLiteral("Desconectado"));
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the program's main does before its windows.
    retenerMemoriaLiberada();
    QApplication app(argc, argv);
    Aplicacion::ponerEnEspanol();
    instalarPresentadorPantalla();
    std::vector<char *> resto;
    g_club = TamanioClub::desdeArgumentos(argc, argv, resto);
    QTemporaryDir dir;
    copiaDeTrabajo(g_club, dir.path());
    const QDir fuente(QStringLiteral(CLUB_FUENTE_RPTCR));
    QDir(dir.path()).mkpath(QStringLiteral("rptcr"));
    for (const QString &f : fuente.entryList({QStringLiteral("*.rpt")}, QDir::Files))
        QFile::copy(fuente.filePath(f), QDir(dir.path()).filePath(QStringLiteral("rptcr/") + f));
    CarpetaPrograma::fijar(dir.path());
    registrarVentanasDelPrograma();
    Reloj::fijar(QDateTime(g_club.hasta().addDays(-1), QTime(20, 0)));
    // Boxes answered by their default button, dialogs shown without blocking.
    MensajesDePrueba mensajes;
    ModalDePrueba modales;
    g_salida << QStringLiteral("Paso").leftJustified(54) << "   reloj     cpu    VmRSS    VmHWM  (ms, MB)" << Qt::endl;
    sesion();
    for (const MensajeMostrado &m : mensajes.mostrados())
        g_salida << "Mensaje: " << m.prompt << Qt::endl;
    delete Frm_Main::instancia();
    cerrarConexion();
    return 0;
}
