#include "support/Entorno.h"

#include "Frm_T_ValoresCanchas.h"
#include "RegistroValoresCanchas.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "platform/Grid.h"
#include "support/RatonGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class ValoresCanchasTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central'), ('C2', 'Norte'), ('C3', 'Sur')");
        db().execute(
            "INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '18:00'), ('H2', '9:00'), ('H3', '10:00')");
    }

    Frm_T_ValoresCanchas *abrir()
    {
        registrarVentanaValoresCanchas();
        EXPECT_TRUE(Aperturas::abrir("mnu_canchasvalores"));
        w = Ventanas::existente<Frm_T_ValoresCanchas>();
        EXPECT_NE(w, nullptr);
        return w;
    }
    template <class T> T *c(const char *nombre) { return w->findChild<T *>(QString::fromLatin1(nombre)); }
    QLineEdit *caja(const char *n) { return c<QLineEdit>(n); }
    DataCombo *combo(const char *n) { return c<DataCombo>(n); }
    Grid *grilla() { return c<Grid>("vaSpread"); }
    void clic(const char *boton) { c<QPushButton>(boton)->click(); }

    // The user picks the court with that id in the picker.
    void elegir(const char *nombreCombo, const QString &id)
    {
        DataCombo *d = combo(nombreCombo);
        const int i = d->findData(id);
        ASSERT_GE(i, 0);
        d->setCurrentIndex(i);
        emit d->activated(i);
    }
    // The user types into a box and leaves it.
    void escribir(const char *nombreCaja, const QString &texto)
    {
        QLineEdit *e = caja(nombreCaja);
        e->setText(texto);
        QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e, &fuera);
    }
    void cargar(const char *id)
    {
        elegir("dc_cancha", id);
        clic("cmdActualizar");
    }
    QStringList columna(int col)
    {
        QStringList l;
        for (int r = 1; r <= grilla()->MaxRows(); ++r)
            l << grilla()->text(col, r);
        return l;
    }
    // Stored rows of a court as "slot=amount", by slot.
    QStringList filas(const QString &cancha)
    {
        Recordset rs = db().openRecordset("SELECT horarios_codigo, importe FROM valores_canchas WHERE canchas_id = ?"
                                          " ORDER BY horarios_codigo",
                                          {cancha});
        QStringList l;
        for (; !rs.eof(); rs.moveNext())
            l << rs.texto("horarios_codigo") + "=" + rs.texto("importe");
        return l;
    }
    void guardarPrecio(const QString &cancha, const QString &horario, double importe)
    {
        db().execute("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES (?, ?, ?)",
                     {cancha, horario, importe});
    }
    void fallarInsercionesDe(const QString &cancha)
    {
        hacerFallar("valores_canchas", "disco lleno",
                    "NEW.canchas_id = '" + cancha + "' AND NEW.horarios_codigo = 'H1'");
    }
    bool bloqueada() { return !caja("txtCancha")->isEnabled() && !combo("dc_cancha")->isEnabled(); }

    Frm_T_ValoresCanchas *w = nullptr;
};

} // namespace

TEST_F(ValoresCanchasTest, CargaGuardaYVuelveAMostrarLosPrecios)
{
    guardarPrecio("C1", "H2", 1500);
    abrir();
    EXPECT_EQ(w->windowTitle(), "Valores Canchas");
    EXPECT_EQ(grilla()->MaxRows(), 0);

    cargar("C1");
    EXPECT_EQ(caja("txtCancha")->text(), "C1");
    EXPECT_TRUE(bloqueada());
    EXPECT_EQ(caja("txtCancha")->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(grilla()->text(2, 0), "Horarios");
    EXPECT_EQ(grilla()->text(3, 0), "Valores");
    // Text order of the description: 9:00 comes after 18:00.
    EXPECT_EQ(columna(1), (QStringList{"H3", "H1", "H2"}));
    EXPECT_EQ(columna(2), (QStringList{"10:00", "18:00", "9:00"}));
    EXPECT_EQ(columna(3), (QStringList{"0.00", "0.00", "1,500.00"}));

    grilla()->setText(3, 1, "800");
    grilla()->setText(3, 2, "1200.5");
    clic("cmdGuarda");
    EXPECT_EQ(msg->ultimo().prompt, "Se han realizado los cambios");
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(filas("C1"), (QStringList{"H1=1200.5", "H2=1500", "H3=800"}));
    // The window is cleared and unlocked for the next court.
    EXPECT_EQ(grilla()->MaxRows(), 0);
    EXPECT_TRUE(caja("txtCancha")->text().isEmpty());
    EXPECT_TRUE(caja("txtCancha")->isEnabled());
    EXPECT_EQ(caja("txtCancha")->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));

    db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H4', '20:00')");
    cargar("C1");
    EXPECT_EQ(columna(3), (QStringList{"800.00", "1,200.50", "0.00", "1,500.00"}));

    clic("cmdLimpia");
    EXPECT_EQ(grilla()->MaxRows(), 0);
    EXPECT_FALSE(bloqueada());
    EXPECT_TRUE(combo("dc_cancha")->BoundText().isEmpty());
}

TEST_F(ValoresCanchasTest, DosCanchasGuardadasSeguidasNoSeTocan)
{
    abrir();
    cargar("C1");
    grilla()->setText(3, 1, "100");
    clic("cmdGuarda");
    cargar("C2");
    grilla()->setText(3, 3, "300");
    clic("cmdGuarda");
    EXPECT_EQ(filas("C1"), (QStringList{"H1=0", "H2=0", "H3=100"}));
    EXPECT_EQ(filas("C2"), (QStringList{"H1=0", "H2=300", "H3=0"}));
}

TEST_F(ValoresCanchasTest, GuardarSinCanchaOSinCargarNoBorraLosPrecios)
{
    guardarPrecio("C1", "H1", 500);
    abrir();
    clic("cmdGuarda");
    EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar Cancha.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);

    elegir("dc_cancha", "C1"); // chosen but not loaded
    clic("cmdGuarda");
    EXPECT_EQ(msg->ultimo().prompt, "Debe presionar Actualizar para cargar los valores de la cancha.");
    EXPECT_EQ(filas("C1"), (QStringList{"H1=500"}));
}

TEST_F(ValoresCanchasTest, GuardadoFallidoDeshaceTodoYConservaLaGrilla)
{
    guardarPrecio("C1", "H1", 500);
    guardarPrecio("C1", "H2", 600);
    fallarInsercionesDe("C1");
    abrir();
    cargar("C1");
    grilla()->setText(3, 1, "999");
    clic("cmdGuarda");
    ASSERT_FALSE(msg->vacio());
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(msg->ultimo().prompt.contains("disco lleno"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_FALSE(db().enTransaccion());
    // The row for H3 written before the failure is gone as well.
    EXPECT_EQ(filas("C1"), (QStringList{"H1=500", "H2=600"}));
    EXPECT_TRUE(bloqueada());
    EXPECT_EQ(columna(3), (QStringList{"999", "500.00", "600.00"}));
}

TEST_F(ValoresCanchasTest, CeldaDeValorGuardaSoloNumerosConPunto)
{
    abrir();
    cargar("C1");
    Grid *g = grilla();
    auto teclear = [&](int fila, const QString &teclas) {
        g->setActiveCell(3, fila);
        raton::tecla(g, Qt::Key_F2);
        auto *e = raton::editor(g);
        ASSERT_NE(e, nullptr);
        e->selectAll();
        QTest::keyClicks(e, teclas);
        QTest::keyClick(e, Qt::Key_Return);
        procesarEventos(); // the view commits the editor's data in a queued call
    };
    teclear(1, "1,250.5");
    EXPECT_EQ(grilla()->text(3, 1), "1,250.50"); // read as typed, shown as an amount
    teclear(2, "abc");
    EXPECT_EQ(grilla()->text(3, 2), "abc"); // no number: kept as typed for the saving to refuse
    teclear(3, "-7e2");
    EXPECT_EQ(grilla()->text(3, 3), "-7e2");
    // The code and slot columns are not editable.
    g->setActiveCell(2, 1);
    raton::tecla(g, Qt::Key_F2);
    EXPECT_EQ(raton::editor(g), nullptr);

    // Whatever a cell holds, a non-number never reaches the table: the
    // first one is told, with its slot.
    clic("cmdGuarda");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_TRUE(msg->ultimo().prompt.contains("18:00"));
    teclear(2, "12,5");
    teclear(3, "-72");
    clic("cmdGuarda");
    EXPECT_TRUE(msg->ultimo().prompt.contains("18:00"));
    teclear(2, "12.5");
    clic("cmdGuarda");
    EXPECT_TRUE(msg->ultimo().prompt.contains(grilla()->text(2, 3)));
    EXPECT_TRUE(msg->ultimo().prompt.contains("sin signo"));
    EXPECT_EQ(contar("SELECT count(*) FROM valores_canchas"), 0);
    EXPECT_TRUE(bloqueada());
}

TEST_F(ValoresCanchasTest, CajaYPickerDeCanchaVanJuntos)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C4', 'ábaco')");
    abrir();
    // Both pickers list the courts in the Spanish order of their names.
    for (const char *n : {"dc_cancha", "cmbCanchaCopia"}) {
        QStringList nombres;
        for (int i = 0; i < combo(n)->count(); ++i)
            nombres << combo(n)->itemText(i);
        EXPECT_EQ(nombres, (QStringList{"ábaco", "Central", "Norte", "Sur"})) << n;
    }
    escribir("txtCancha", "c2");
    EXPECT_EQ(combo("dc_cancha")->Text(), "Norte");
    escribir("txtCancha", "ZZ");
    EXPECT_TRUE(caja("txtCancha")->text().isEmpty());
    EXPECT_TRUE(combo("dc_cancha")->Text().isEmpty());
    elegir("cmbCanchaCopia", "C3");
    EXPECT_EQ(caja("txtCanchaCopia")->text(), "C3");
}

TEST_F(ValoresCanchasTest, TeclearElCodigoEligeAlEscribirYLosBotonesTomanLaCaja)
{
    abrir();
    QLineEdit *cancha = caja("txtCancha");
    QSignalSpy cambiado(combo("dc_cancha"), &DataCombo::cambiado);
    QTest::keyClicks(cancha, " c2");
    EXPECT_EQ(combo("dc_cancha")->Text(), "Norte");
    EXPECT_EQ(cambiado.count(), 1); // once, when the code became known
    QTest::keyClick(cancha, Qt::Key_X);
    EXPECT_EQ(combo("dc_cancha")->Text(), "");
    QTest::keyClick(cancha, Qt::Key_Backspace);
    EXPECT_EQ(combo("dc_cancha")->Text(), "Norte");
    EXPECT_EQ(cambiado.count(), 3);
    // A text set by the window is not the user choosing.
    cancha->setText("C3");
    EXPECT_EQ(combo("dc_cancha")->Text(), "Norte");
    cancha->setText(" c2 ");

    // Actualizar pressed without leaving the box works on the typed court.
    guardarPrecio("C2", "H1", 55);
    clic("cmdActualizar");
    EXPECT_EQ(cancha->text(), "C2");
    EXPECT_TRUE(bloqueada());
    EXPECT_EQ(columna(3), (QStringList{"0.00", "55.00", "0.00"}));

    // Copying to a typed target that no court has: the box empties and the
    // copy asks for a target.
    QTest::keyClicks(caja("txtCanchaCopia"), "zz");
    clic("cmdCopia");
    EXPECT_EQ(caja("txtCanchaCopia")->text(), "");
    EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar la cancha destino.");
}

TEST_F(ValoresCanchasTest, CopiaLasFilasGuardadasDelOrigen)
{
    guardarPrecio("C1", "H1", 100);
    guardarPrecio("C1", "H2", 200.5);
    guardarPrecio("C2", "H3", 50);
    abrir();
    elegir("dc_cancha", "C1");
    elegir("cmbCanchaCopia", "C2");
    clic("cmdCopia");
    EXPECT_EQ(msg->ultimo().prompt, "Valores copiados correctamente a: Norte");
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(filas("C2"), (QStringList{"H1=100", "H2=200.5"}));
    EXPECT_EQ(filas("C1"), (QStringList{"H1=100", "H2=200.5"}));
    EXPECT_TRUE(caja("txtCanchaCopia")->text().isEmpty());
    EXPECT_TRUE(combo("cmbCanchaCopia")->BoundText().isEmpty());

    // From a court without stored prices the target ends without rows.
    elegir("dc_cancha", "C3");
    elegir("cmbCanchaCopia", "C2");
    clic("cmdCopia");
    EXPECT_TRUE(filas("C2").isEmpty());
}

TEST_F(ValoresCanchasTest, CopiaRechazadaNoEscribeNada)
{
    guardarPrecio("C1", "H1", 100);
    guardarPrecio("C2", "H3", 50);
    abrir();

    // No source court.
    elegir("cmbCanchaCopia", "C2");
    clic("cmdCopia");
    EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar Cancha.");
    EXPECT_EQ(filas("C2"), (QStringList{"H3=50"}));

    // No target court, or one that does not exist.
    elegir("dc_cancha", "C1");
    escribir("txtCanchaCopia", "");
    clic("cmdCopia");
    EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar la cancha destino.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    caja("txtCanchaCopia")->setText("ZZ");
    clic("cmdCopia");
    EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar la cancha destino.");

    // Onto itself, however the id is written.
    caja("txtCanchaCopia")->setText("c1");
    clic("cmdCopia");
    EXPECT_EQ(msg->ultimo().prompt, "No se puede copiar sobre si mismo.");

    EXPECT_EQ(filas("C1"), (QStringList{"H1=100"}));
    EXPECT_EQ(filas("C2"), (QStringList{"H3=50"}));
    EXPECT_EQ(contar("SELECT count(*) FROM valores_canchas"), 2);
}

TEST_F(ValoresCanchasTest, CopiaFallidaDejaElDestinoComoEstaba)
{
    guardarPrecio("C1", "H3", 10);
    guardarPrecio("C1", "H1", 20);
    guardarPrecio("C2", "H2", 50);
    fallarInsercionesDe("C2");
    abrir();
    cargar("C1"); // the copy also works while the court is locked
    elegir("cmbCanchaCopia", "C2");
    clic("cmdCopia");
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(filas("C2"), (QStringList{"H2=50"}));
    EXPECT_FALSE(db().enTransaccion());
}
