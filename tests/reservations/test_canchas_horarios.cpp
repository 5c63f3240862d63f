#include "support/Entorno.h"

#include "AyudaListas.h"
#include "Frm_T_Canchas.h"
#include "Frm_T_CanchasAnexo.h"
#include "Frm_T_Horarios.h"
#include "Frm_T_HorariosAnexo.h"
#include "RegistroMaestros.h"
#include "dbCanchas.h"
#include "dbHorarios.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"

#include <QPointer>

using namespace ayuda;

namespace {

class CanchasHorariosTest : public Entorno {
protected:
    template <class T> T *abrir(const char *menu)
    {
        registrarVentanasMaestros();
        EXPECT_TRUE(Aperturas::abrir(menu));
        T *w = Ventanas::existente<T>();
        procesarEventos();
        return w;
    }
    // Two courts and two slots with a price for each pair, and a reservation
    // on C1 at H1.
    void datosConPrecios()
    {
        db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central'), ('C2', 'Norte')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '18:00'), ('H2', '9:00')");
        db().execute("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES "
                     "('C1','H1',100), ('C1','H2',90), ('C2','H1',80), ('C2','H2',70)");
        db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) "
                     "VALUES (1, 'C1', '2024-03-15', 'H1')");
    }
    int precios(const QString &condicion) { return contar("SELECT count(*) FROM valores_canchas WHERE " + condicion); }
};

TEST_F(CanchasHorariosTest, HorariosPorTextoDeDescripcionYCodigoRepetido)
{
    auto *l = abrir<Frm_T_Horarios>("mnu_horarios");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->windowTitle(), "Horarios");
    clic(l, 0);
    auto *d = Ventanas::existente<Frm_T_HorariosAnexo>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Horarios - Anexo");

    clic(d, 0);
    EXPECT_EQ(msg->ultimo().prompt, "Debe ingresar el Código");
    EXPECT_EQ(d->focusWidget(), mask(d, 0));
    escribir(mask(d, 0), "H1xyz");
    EXPECT_EQ(mask(d, 0)->text(), "H1xy"); // at most 4 characters
    clic(d, 0);
    EXPECT_EQ(msg->ultimo().prompt, "Debe ingresar la Descripción");
    EXPECT_EQ(d->focusWidget(), mask(d, 1));
    EXPECT_EQ(mask(d, 1)->maxLength(), 50);

    const QList<QPair<QString, QString>> altas{{"H1", "18:00"}, {"H2", "9:00"}, {"H3", "10:00"}};
    for (const auto &[codigo, hora] : altas) {
        escribir(mask(d, 0), codigo);
        escribir(mask(d, 1), hora);
        clic(d, 0);
        EXPECT_EQ(d->focusWidget(), mask(d, 0));
        EXPECT_TRUE(mask(d, 0)->text().isEmpty());
    }
    EXPECT_EQ(columna(grilla(l), 3), (QStringList{"10:00", "18:00", "9:00"}));

    msg->limpiar();
    escribir(mask(d, 0), "h2");
    escribir(mask(d, 1), "20:00");
    clic(d, 0);
    EXPECT_EQ(msg->textos(), QStringList{"Código existente.\nPor favor, ingrese un Código distinto."});
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(d->focusWidget(), mask(d, 0));
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 3);

    // Modifying does not check the code, which cannot be edited.
    clic(d, 1);
    procesarEventos();
    clicCelda(grilla(l), 1, 3);
    d = Ventanas::existente<Frm_T_HorariosAnexo>();
    EXPECT_EQ(d->Tag, "MOD");
    EXPECT_FALSE(mask(d, 0)->isEnabled());
    escribir(mask(d, 1), "09:00");
    clic(d, 0);
    EXPECT_EQ(columna(grilla(l), 2), (QStringList{"H2", "H3", "H1"}));
}

TEST_F(CanchasHorariosTest, EliminarHorarioBorraSusPreciosYConservaReservas)
{
    datosConPrecios();
    auto *l = abrir<Frm_T_Horarios>("mnu_horarios");
    ASSERT_EQ(columna(grilla(l), 2), (QStringList{"H1", "H2"}));
    grilla(l)->setActiveCell(2, 1);
    clic(l, 2);
    auto *d = Ventanas::existente<Frm_T_HorariosAnexo>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "DEL");
    EXPECT_FALSE(mask(d, 0)->isEnabled());
    EXPECT_FALSE(mask(d, 1)->isEnabled());
    clic(d, 0);
    procesarEventos();
    EXPECT_EQ(columna(grilla(l), 2), QStringList{"H2"});
    EXPECT_EQ(precios("horarios_codigo = 'H1'"), 0);
    EXPECT_EQ(precios("horarios_codigo = 'H2'"), 2);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas WHERE horarios_id = 'H1'"), 1);
}

TEST_F(CanchasHorariosTest, EliminarCanchaFallidaNoDejaLaCanchaSinPrecios)
{
    datosConPrecios();
    db().execute("UPDATE canchas SET cancha_madre_id = 'C1' WHERE id = 'C2'");
    auto *l = abrir<Frm_T_Canchas>("mnu_canchas");
    hacerFallar("canchas", "cancha bloqueada", "1 = 1", {}, "DELETE");
    grilla(l)->setActiveCell(2, 1);
    clic(l, 2);
    QPointer<Frm_T_CanchasAnexo> d = Ventanas::existente<Frm_T_CanchasAnexo>();
    ASSERT_TRUE(d);
    clic(d, 0);
    procesarEventos();
    ASSERT_FALSE(msg->vacio());
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(msg->ultimo().prompt.contains("cancha bloqueada"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(precios("canchas_id = 'C1'"), 2);

    // Once the delete can run, prices go and the rest stays.
    quitarFalla("canchas");
    clic(d, 0);
    procesarEventos();
    EXPECT_FALSE(d);
    EXPECT_EQ(columna(grilla(l), 2), QStringList{"C2"});
    EXPECT_EQ(precios("canchas_id = 'C1'"), 0);
    EXPECT_EQ(precios("canchas_id = 'C2'"), 2);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas WHERE canchas_id = 'C1'"), 1);
    EXPECT_EQ(grilla(l)->text(4, 1), "C1");
}

TEST_F(CanchasHorariosTest, CanchaMadreEnCajaYSelectorAlaPar)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
    auto *l = abrir<Frm_T_Canchas>("mnu_canchas");
    EXPECT_EQ(l->windowTitle(), "Canchas");
    clic(l, 0);
    auto *d = Ventanas::existente<Frm_T_CanchasAnexo>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Canchas - Anexo");
    QLineEdit *madre = caja(d, "txtCanchaMadreId");
    auto *combo = d->findChild<DataCombo *>("dbComboCanchaMadre");
    EXPECT_TRUE(mask(d, 0)->isEnabled());

    // Typing a code chooses the court in the picker; an unknown code empties both.
    escribir(madre, " c1 ");
    EXPECT_EQ(combo->Text(), "Central");
    EXPECT_EQ(madre->text(), "C1");
    escribir(madre, "c1");
    EXPECT_EQ(combo->Text(), "Central");
    EXPECT_EQ(madre->text(), "C1");
    escribir(madre, "ZZ");
    EXPECT_TRUE(combo->Text().isEmpty());
    EXPECT_TRUE(madre->text().isEmpty());

    // Choosing in the picker writes the code into the box.
    const int i = combo->findData("C1");
    combo->setCurrentIndex(i);
    emit combo->activated(i);
    EXPECT_EQ(madre->text(), "C1");

    escribir(mask(d, 0), "C1A");
    escribir(mask(d, 1), "Central A");
    clic(d, 0);
    EXPECT_EQ(valor("SELECT cancha_madre_id FROM canchas WHERE id = 'C1A'"), "C1");
    // The parent stays chosen for the next court, and the new court can be chosen.
    EXPECT_EQ(madre->text(), "C1");
    EXPECT_EQ(combo->Text(), "Central");
    EXPECT_GE(combo->findData("C1A"), 0);
    escribir(mask(d, 0), "c1");
    escribir(mask(d, 1), "Otra");
    clic(d, 0);
    EXPECT_EQ(msg->ultimo().prompt, "Código existente.\nPor favor, ingrese un Código distinto.");
    EXPECT_EQ(d->focusWidget(), mask(d, 0));
    clic(d, 1);
    procesarEventos();

    EXPECT_EQ(columna(grilla(l), 4), (QStringList{"", "C1"}));
    clicCelda(grilla(l), 1, 2);
    d = Ventanas::existente<Frm_T_CanchasAnexo>();
    EXPECT_EQ(caja(d, "txtCanchaMadreId")->text(), "C1");
    EXPECT_EQ(d->findChild<DataCombo *>("dbComboCanchaMadre")->Text(), "Central");
    escribir(caja(d, "txtCanchaMadreId"), "C1A"); // itself: allowed
    clic(d, 0);
    EXPECT_EQ(valor("SELECT cancha_madre_id FROM canchas WHERE id = 'C1A'"), "C1A");

    // Search: code and description only.
    clic(l, 1);
    d = Ventanas::existente<Frm_T_CanchasAnexo>();
    EXPECT_FALSE(caja(d, "txtCanchaMadreId")->isEnabled());
    EXPECT_FALSE(d->findChild<DataCombo *>("dbComboCanchaMadre")->isEnabled());
    escribir(mask(d, 0), "C1A");
    clic(d, 0);
    EXPECT_EQ(grilla(l)->selectedRow(), 2);
}

TEST_F(CanchasHorariosTest, ListasYSelectorEnOrdenEspanolDeLaDescripcion)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Norte'), ('C2', 'ábaco'), ('C3', 'central')");
    db().execute("INSERT INTO horarios (codigo, descripcion) VALUES "
                 "('H1', 'Tarde'), ('H2', 'noche'), ('H3', '18:00'), ('H4', '9:00')");
    auto *lc = abrir<Frm_T_Canchas>("mnu_canchas");
    const QStringList canchas{"ábaco", "central", "Norte"};
    EXPECT_EQ(columna(grilla(lc), 3), canchas);
    clic(lc, 0);
    auto *combo = Ventanas::existente<Frm_T_CanchasAnexo>()->findChild<DataCombo *>("dbComboCanchaMadre");
    QStringList enSelector;
    for (int i = 0; i < combo->count(); ++i)
        enSelector << combo->itemText(i);
    EXPECT_EQ(enSelector, canchas);

    auto *lh = abrir<Frm_T_Horarios>("mnu_horarios");
    EXPECT_EQ(columna(grilla(lh), 3), (QStringList{"18:00", "9:00", "noche", "Tarde"}));
}

TEST_F(CanchasHorariosTest, EliminarConLaGrillaVaciaNoHaceNada)
{
    auto *l = abrir<Frm_T_Horarios>("mnu_horarios");
    ASSERT_EQ(grilla(l)->MaxRows(), 0);
    clic(l, 2);
    procesarEventos();
    EXPECT_TRUE(modal->mostrados().isEmpty());
    EXPECT_TRUE(msg->vacio());
}

} // namespace

TEST_F(CanchasHorariosTest, LosBorradosDeDatosSeUnenALaOperacionAbierta)
{
    datosConPrecios();
    // Inside a larger operation that is abandoned, the deletes are undone
    // with it.
    {
        Transaccion t(db());
        dbCanchas::eliminar("C1");
        dbHorarios::eliminar("H2");
        EXPECT_EQ(precios("1 = 1"), 1);
    }
    EXPECT_EQ(contar("SELECT count(*) FROM canchas"), 2);
    EXPECT_EQ(precios("1 = 1"), 4);

    // A delete that fails inside the operation leaves the operation's earlier
    // work, and undoes its own first step.
    hacerFallar("canchas", "cancha bloqueada", "OLD.id = 'C2'", {}, "DELETE");
    {
        Transaccion t(db());
        dbCanchas::eliminar("C1");
        EXPECT_NE(numeroDeError([] { dbCanchas::eliminar("C2"); }), 0);
        t.commit();
    }
    EXPECT_EQ(valor("SELECT group_concat(id) FROM canchas"), "C2");
    EXPECT_EQ(precios("canchas_id = 'C2'"), 2);
    EXPECT_EQ(precios("canchas_id = 'C1'"), 0);
}
