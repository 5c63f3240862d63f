// Every handler of the user's action reaches the database through the one
// protected path: with the tables gone from under an open window (renamed by
// another connection), each of its buttons, boxes and grid cells tells the
// error and the program goes on, without the last net of the application
// object ever being needed. Dialogs opened on the way are driven the same.
#include "core/PruebaPrincipal.h"

#include "Frm_M_Stock.h"
#include "RegistroCaja.h"
#include "RegistroCore.h"
#include "RegistroInformes.h"
#include "RegistroReservas.h"
#include "RegistroVentas.h"
#include "platform/Aperturas.h"
#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QPointer>
#include <QTest>
#include <algorithm>

namespace {

// The children of type T of w, watched: an action may delete any of them.
template <class T> QList<QPointer<T>> hijos(QWidget *w)
{
    QList<QPointer<T>> l;
    for (T *h : w->findChildren<T *>())
        l << h;
    return l;
}

// A button that closes its window is pressed after the others.
bool cierra(const QAbstractButton *b)
{
    static const QStringList textos = {"Cerrar", "Cancelar", "Salir"};
    return textos.contains(b->text().remove(QLatin1Char('&')));
}

class AccionesProtegidasTest : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        registrarVentanasCore();
        registrarVentanasReservas();
        registrarVentanasVentas();
        registrarVentanasInformes();
        registrarVentanasCaja();
        instalarPlantillas();
        // Rows for the grids, and an open register, so that every button the
        // windows offer is enabled.
        db().executeScript(
            "INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia) VALUES "
            "('P1', 'Pelota', 1, 2, 5);"
            "INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Cancha 1');"
            "INSERT INTO horarios (codigo, descripcion) VALUES ('10', '10:00');"
            "INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES ('C1', '10', 100);"
            "INSERT INTO caja_cabeza (id, fecha_hora_apertura, t_usuarios_codigo) VALUES "
            "(1, '2024-03-15 08:00:00', 'admin');");
        arrancar();
        ingresar("admin", "admin");
        principal->show();
        otra = otraEstacion();
    }
    void TearDown() override
    {
        otra.reset();
        PruebaPrincipal::TearDown();
    }

    // Takes every table away from the program's connection, or gives it back.
    void apartarTablas(bool apartar) { Entorno::apartarTablas(*otra, apartar); }

    // The dialogs shown now that were not in antes.
    static QList<QPointer<QWidget>> nuevosDialogos(const QWidgetList &antes)
    {
        QList<QPointer<QWidget>> l;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog *>(w) && w->isVisible() && !antes.contains(w))
                l << w;
        return l;
    }

    // Runs an action of the user on raiz, then drives the dialogs it opened
    // (one level deep) and closes them.
    void actuar(int nivel, const std::function<void()> &accion)
    {
        const QWidgetList antes = QApplication::topLevelWidgets();
        accion();
        procesarEventos();
        for (const QPointer<QWidget> &d : nuevosDialogos(antes)) {
            if (d && nivel == 0)
                recorrer(d, 1);
            if (d)
                Ventanas::descargar(d);
            procesarEventos();
        }
    }

    // Every box typed into (Enter, then the focus leaves it), every grid
    // cell of the first row clicked and double-clicked, every push button
    // pressed.
    void recorrer(QWidget *raiz, int nivel)
    {
        QPointer<QWidget> w(raiz);
        for (const QPointer<QLineEdit> &e : hijos<QLineEdit>(raiz)) {
            if (!w || !e || !e->isVisible() || !e->isEnabled() || e->isReadOnly() ||
                qobject_cast<Grid *>(e->parentWidget()))
                continue;
            actuar(nivel, [&] {
                e->setFocus();
                QTest::keyClicks(e, "1");
                QTest::keyClick(e, Qt::Key_Return);
                if (e)
                    e->clearFocus();
            });
        }
        if (!w)
            return;
        for (const QPointer<Grid> &g : hijos<Grid>(raiz))
            for (int col = 1; w && g && g->isVisible() && g->MaxRows() > 0 && col <= g->MaxCols(); ++col) {
                actuar(nivel, [&] { raton::clic(g, col, 1); });
                if (g)
                    actuar(nivel, [&] { raton::dobleClic(g, col, 1); });
            }
        if (!w)
            return;
        QList<QPointer<QPushButton>> botones = hijos<QPushButton>(raiz);
        std::stable_partition(botones.begin(), botones.end(), [](const auto &b) { return !cierra(b); });
        for (const QPointer<QPushButton> &b : botones)
            if (w && b && b->isVisible() && b->isEnabled())
                actuar(nivel, [&] { QTest::mouseClick(b, Qt::LeftButton); });
    }

    // Opens the window of the menu item alone; the windows it loaded (none
    // for an item that opens no window).
    QList<QPointer<QWidget>> abrirSola(const QString &menu)
    {
        Ventanas::descargarTodasMenos(QStringLiteral("Frm_Main"));
        procesarEventos();
        EXPECT_TRUE(Aperturas::abrir(menu));
        procesarEventos();
        QList<QPointer<QWidget>> abiertas;
        for (const QString &nombre : Ventanas::cargadas())
            if (nombre != QLatin1String("Frm_Main"))
                abiertas << Ventanas::buscar(nombre);
        msg->limpiar();
        return abiertas;
    }

    std::unique_ptr<Conexion> otra;
};

TEST_F(AccionesProtegidasTest, SinTablasCadaAccionDeCadaVentanaAvisaYElProgramaSigue)
{
    const int netAntes = Aplicacion::erroresSinManejar();
    QStringList escapados, sinAviso, sinVentana;
    int ventanas = 0;
    for (const QString &menu : Aperturas::registradas()) {
        const QList<QPointer<QWidget>> abiertas = abrirSola(menu);
        if (abiertas.isEmpty()) {
            sinVentana << menu;
            continue;
        }
        ++ventanas;
        const int red = Aplicacion::erroresSinManejar();
        apartarTablas(true);
        for (const QPointer<QWidget> &v : abiertas)
            if (v)
                recorrer(v, 0);
        apartarTablas(false);
        if (Aplicacion::erroresSinManejar() != red)
            escapados << menu;
        if (msg->vacio())
            sinAviso << menu;
    }
    Ventanas::descargarTodasMenos(QStringLiteral("Frm_Main"));
    procesarEventos();

    EXPECT_GT(ventanas, 25);
    EXPECT_EQ(escapados.join(' ').toStdString(), "");
    EXPECT_EQ(sinAviso.join(' ').toStdString(), "");
    // Backup and restore ask for a file and open no window.
    EXPECT_EQ(sinVentana.join(' ').toStdString(), "mnu_backup mnu_restaurarbkp");
    EXPECT_EQ(Aplicacion::erroresSinManejar(), netAntes);
    // The program goes on: nothing ended it, and a window opens and reads.
    EXPECT_EQ(fin->veces(), 0);
    msg->limpiar();
    EXPECT_TRUE(Aperturas::abrir("mnu_productos"));
    procesarEventos();
    EXPECT_TRUE(msg->vacio());
    EXPECT_FALSE(db().enTransaccion());
}

TEST_F(AccionesProtegidasTest, DialogoAbiertoQuePierdeLasTablasAvisaYElProgramaSigue)
{
    // The line and record dialogs, opened while the tables are there: their
    // boxes (search words, codes) and buttons are driven without them.
    const int netAntes = Aplicacion::erroresSinManejar();
    QStringList dialogos, escapados;
    for (const QString &menu : Aperturas::registradas())
        for (const QPointer<QWidget> &v : abrirSola(menu))
            for (const QPointer<QPushButton> &b : v ? hijos<QPushButton>(v) : QList<QPointer<QPushButton>>()) {
                if (!b || !b->isVisible() || !b->isEnabled() ||
                    !QStringList{"Agregar", "Buscar"}.contains(b->text().remove(QLatin1Char('&'))))
                    continue;
                const QWidgetList antes = QApplication::topLevelWidgets();
                QTest::mouseClick(b, Qt::LeftButton);
                procesarEventos();
                for (const QPointer<QWidget> &d : nuevosDialogos(antes)) {
                    dialogos << d->objectName();
                    msg->limpiar();
                    const int red = Aplicacion::erroresSinManejar();
                    apartarTablas(true);
                    recorrer(d, 1);
                    apartarTablas(false);
                    if (Aplicacion::erroresSinManejar() != red)
                        escapados << d->objectName();
                    if (d)
                        Ventanas::descargar(d);
                    procesarEventos();
                }
            }
    // The row button of a stock line opens the line dialog, which loads the
    // products: without them it is told, and the line stays.
    abrirSola("mnu_mstock");
    auto *stock = Ventanas::existente<Frm_M_Stock>();
    ASSERT_NE(stock, nullptr);
    stock->Usr_AgregaLinea("P1", "Pelota", 2);
    apartarTablas(true);
    const int red = Aplicacion::erroresSinManejar();
    actuar(0, [&] { raton::clic(stock->grilla(), 1, 1); });
    apartarTablas(false);
    EXPECT_EQ(Aplicacion::erroresSinManejar(), red);
    ASSERT_FALSE(msg->vacio());
    EXPECT_TRUE(msg->ultimo().prompt.contains("productos")) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(stock->grilla()->text(2, 1), "P1");
    Ventanas::descargarTodasMenos(QStringLiteral("Frm_Main"));
    procesarEventos();

    EXPECT_TRUE(dialogos.contains("Frm_T_AltaVentasAnexo")) << dialogos.join(' ').toStdString();
    EXPECT_TRUE(dialogos.contains("Frm_M_StockAnexo"));
    EXPECT_GT(dialogos.size(), 8);
    EXPECT_EQ(escapados.join(' ').toStdString(), "");
    EXPECT_EQ(Aplicacion::erroresSinManejar(), netAntes);
    EXPECT_EQ(fin->veces(), 0);
    EXPECT_FALSE(db().enTransaccion());
}

TEST_F(AccionesProtegidasTest, LaUltimaRedDeLaAplicacionAvisaYSigue)
{
    // A handler connected without the protected path: its error reaches the
    // application object, which tells it and goes on with the next event.
    QPushButton boton("Probar");
    QObject::connect(&boton, &QPushButton::clicked, [] { gConexion->execute("SELECT * FROM no_existe"); });
    boton.show();
    const int antes = Aplicacion::erroresSinManejar();
    msg->limpiar();
    QTest::mouseClick(&boton, Qt::LeftButton);
    EXPECT_EQ(Aplicacion::erroresSinManejar(), antes + 1);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(msg->ultimo().prompt.contains("no_existe"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    QTest::mouseClick(&boton, Qt::LeftButton);
    EXPECT_EQ(Aplicacion::erroresSinManejar(), antes + 2);
    EXPECT_EQ(fin->veces(), 0);
}

} // namespace
