// Permission assignment: the option tree, its tick rules and the save.
#include "PruebaPrincipal.h"

#include "Frm_S_AsignarOpciones.h"
#include "RegistroUsuarios.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "reservations/AyudaListas.h"
#include "support/RatonCombo.h"

#include <QTableView>

using namespace ayuda;

namespace {

class AsignarOpciones : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        crearUsuario("juan", "x", {"mnu_Venta", "mnu_VentasAlta"});
        crearUsuario("ana", "x");
        db().execute("UPDATE t_usuarios SET Descripcion = 'Ángela' WHERE Codigo = 'ana'");
        registrarVentanasUsuarios();
        EXPECT_TRUE(Aperturas::abrir("mnu_PermisosUsuarios"));
        procesarEventos();
        w = Ventanas::existente<Frm_S_AsignarOpciones>();
        ASSERT_NE(w, nullptr);
        g = grilla(w);
        codigo = ayuda::caja(w, "Text_0");
        combo = w->findChild<DataCombo *>("DBCombo_0");
    }
    int fila(const QString &nombre) const
    {
        for (int r = 1; r <= g->MaxRows(); ++r)
            if (g->text(3, r) == nombre)
                return r;
        ADD_FAILURE() << nombre.toStdString();
        return 0;
    }
    bool marcada(const QString &nombre) const { return g->text(1, fila(nombre)) == "1"; }
    void marcar(const QString &nombre) { clicCelda(g, 1, fila(nombre)); }
    QStringList marcadas() const
    {
        QStringList l;
        for (int r = 1; r <= g->MaxRows(); ++r)
            if (g->text(1, r) == "1")
                l << g->text(3, r);
        return l;
    }
    QStringList guardadas(const QString &usuario)
    {
        QStringList l;
        for (Recordset rs = db().openRecordset(
                 "SELECT opcion FROM t_opcionesasignadas WHERE codigo = ? ORDER BY opcion", {usuario});
             !rs.eof(); rs.moveNext())
            l << rs.texto("opcion");
        return l;
    }
    // The user picks a user by its name in the picker's list, with the mouse.
    void elegir(const QString &nombre) { raton::elegir(combo, nombre); }

    Frm_S_AsignarOpciones *w = nullptr;
    Grid *g = nullptr;
    QLineEdit *codigo = nullptr;
    DataCombo *combo = nullptr;
};

TEST_F(AsignarOpciones, ArbolDeCuarentaYDosOpcionesConNivelesYGrises)
{
    EXPECT_EQ(w->windowTitle(), "Asignación de Opciones");
    EXPECT_EQ(g->MaxRows(), 0);
    // The picker offers every user but the administrator, by name.
    QStringList nombres;
    for (int i = 0; i < combo->count(); ++i)
        nombres << combo->itemText(i);
    EXPECT_EQ(nombres, (QStringList{"Ángela", "juan"}));

    elegir("juan");
    EXPECT_EQ(codigo->text(), "juan");
    ASSERT_EQ(g->MaxRows(), 42);
    EXPECT_EQ(g->text(1, 0), "Asigna");
    EXPECT_EQ(g->text(2, 0), "Opción");
    EXPECT_EQ(g->text(3, 0), "Descripción");
    EXPECT_EQ(g->text(4, 0), "Nivel");
    EXPECT_EQ(marcadas(), (QStringList{"mnu_Venta", "mnu_VentasAlta"}));
    for (const char *siempre : {"mnu_Sistema", "mnu_raya", "mnu_Salir", "mnu_AcercaDe", "mnu_Ayuda"})
        EXPECT_FALSE(columna(g, 3).contains(siempre, Qt::CaseInsensitive)) << siempre;
    EXPECT_EQ(g->text(3, 1), "mnu_ReservasG");
    EXPECT_EQ(g->text(2, 1), "Reservas");
    EXPECT_EQ(g->text(2, fila("mnu_ReservasAgenda")), "     Agenda");
    EXPECT_EQ(g->text(2, fila("mnu_backup")), "          Generar Backup");
    EXPECT_EQ(g->text(4, fila("mnu_backup")), "10");
    EXPECT_EQ(g->text(4, fila("mnu_uti")), "5");
    EXPECT_EQ(fila("mnu_ConfiguraEmail"), fila("mnu_Opciones") + 1);
    EXPECT_EQ(columna(g, 4).count("0"), 7);
    EXPECT_EQ(columna(g, 4).count("10"), 3);

    // Level-0 rows grey; the last level-1 item before a menu light grey; a
    // level-2 item before a menu keeps its colour.
    EXPECT_EQ(g->cellBackColor(2, fila("mnu_Caja")), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(g->cellBackColor(2, fila("mnu_VentasBuscar")), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(g->cellBackColor(2, fila("mnu_productos")), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_NE(g->cellBackColor(2, fila("mnu_VentasAlta")), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_NE(g->cellBackColor(3, fila("mnu_Caja")), QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(AsignarOpciones, MarcarPadresYDesmarcarSubarbol)
{
    elegir("Ángela");
    EXPECT_EQ(codigo->text(), "ana");
    EXPECT_TRUE(marcadas().isEmpty());

    marcar("mnu_backup");
    EXPECT_EQ(marcadas(), (QStringList{"mnu_Herramientas", "mnu_uti", "mnu_backup"}));
    marcar("mnu_InfRankingClientes");
    marcar("mnu_Opciones");
    EXPECT_TRUE(marcada("Mnu_Informes"));

    // Unticking a level-1 item without children changes nothing else; the
    // space bar on the box does what a click does.
    g->setActiveCell(1, fila("mnu_InfRankingClientes"));
    QTest::keyClick(g->findChild<QTableView *>(), Qt::Key_Space);
    EXPECT_FALSE(marcada("mnu_InfRankingClientes"));
    EXPECT_TRUE(marcada("Mnu_Informes"));

    // Unticking the menu clears its whole subtree, submenu included.
    marcar("mnu_mstock");
    marcar("mnu_BaseReset");
    marcar("mnu_Herramientas");
    EXPECT_EQ(marcadas(), QStringList{"Mnu_Informes"});

    // Tick all, untick all.
    ayuda::clic(w, 2);
    EXPECT_EQ(marcadas().size(), 42);
    ayuda::clic(w, 3);
    EXPECT_TRUE(marcadas().isEmpty());
    ayuda::clic(w, 0);
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_TRUE(codigo->text().isEmpty());
    EXPECT_TRUE(combo->Text().isEmpty());
}

TEST_F(AsignarOpciones, CodigoEscritoAdministradorYDesconocidoSeBorran)
{
    escribir(codigo, "JUAN");
    EXPECT_EQ(codigo->text(), "juan");
    EXPECT_EQ(combo->Text(), "juan");
    ASSERT_EQ(g->MaxRows(), 42);
    marcar("mnu_clientes");
    // Leaving the box again keeps the ticks being made.
    escribir(codigo, "juan");
    EXPECT_TRUE(marcada("mnu_clientes"));

    // Emptying the box empties the picker and the grid too.
    escribir(codigo, "");
    EXPECT_TRUE(combo->Text().isEmpty());
    EXPECT_EQ(g->MaxRows(), 0);
    escribir(codigo, "juan");
    ASSERT_EQ(g->MaxRows(), 42);

    for (const QString typed : {"admin", "Admin", "nadie"}) {
        escribir(codigo, typed);
        EXPECT_TRUE(codigo->text().isEmpty()) << typed.toStdString();
        EXPECT_TRUE(combo->Text().isEmpty());
        EXPECT_EQ(g->MaxRows(), 0);
    }
    ayuda::clic(w, 1);
    EXPECT_EQ(msg->textos(), QStringList{"Debe llenar Código de Usuario"});
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(w->focusWidget(), codigo);
    EXPECT_EQ(contar("SELECT count(*) FROM t_opcionesasignadas"), 2);
}

TEST_F(AsignarOpciones, GuardarReemplazaTodoONadaYSinMarcasQuitaTodo)
{
    elegir("juan");
    marcar("mnu_VentasAlta"); // untick
    marcar("mnu_ReservasAgenda");
    marcar("mnu_Opciones");

    // A failure on the second insert keeps the old rows and the ticks.
    hacerFallar("t_opcionesasignadas", "lleno", "(SELECT count(*) FROM t_opcionesasignadas) >= 1");
    ayuda::clic(w, 1);
    ASSERT_FALSE(msg->vacio());
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(guardadas("juan"), (QStringList{"mnu_Venta", "mnu_VentasAlta"}));
    EXPECT_EQ(g->MaxRows(), 42);
    EXPECT_FALSE(db().enTransaccion());
    msg->limpiar();

    quitarFalla("t_opcionesasignadas");
    ayuda::clic(w, 1);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(guardadas("juan"),
              (QStringList{"mnu_Herramientas", "mnu_Opciones", "mnu_ReservasAgenda", "mnu_ReservasG", "mnu_Venta"}));
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_TRUE(codigo->text().isEmpty());

    // Saving with no tick removes all of the user's rows: the next login
    // tells the user there are no options.
    elegir("juan");
    ayuda::clic(w, 3);
    ayuda::clic(w, 1);
    EXPECT_TRUE(guardadas("juan").isEmpty());
    EXPECT_EQ(contar("SELECT count(*) FROM t_opcionesasignadas"), 0);
    arrancar();
    ingresar("juan", "x");
    EXPECT_EQ(msg->textos(), QStringList{"El Usuario no tiene Opciones Habilitadas"});
}

} // namespace

namespace {

TEST_F(AsignarOpciones, ElegirElUsuarioEnLaListaCopiaSuCodigoYCargaSusOpciones)
{
    // Picked with the mouse while the code box has the focus, as the window opens.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    codigo->setFocus();
    elegir("juan");
    EXPECT_EQ(combo->Text(), "juan");
    EXPECT_EQ(codigo->text(), "juan");
    ASSERT_EQ(g->MaxRows(), 42);
    EXPECT_EQ(marcadas(), (QStringList{"mnu_Venta", "mnu_VentasAlta"}));

    // Another user, then back: each pick loads that user's options.
    elegir("Ángela");
    EXPECT_EQ(codigo->text(), "ana");
    EXPECT_TRUE(marcadas().isEmpty());
    marcar("mnu_clientes");
    // Leaving the code box for the picker keeps the ticks being made.
    codigo->setFocus();
    elegir("Ángela");
    EXPECT_TRUE(marcada("mnu_clientes"));
    elegir("juan");
    EXPECT_EQ(codigo->text(), "juan");
    EXPECT_EQ(marcadas(), (QStringList{"mnu_Venta", "mnu_VentasAlta"}));
    EXPECT_TRUE(msg->vacio());
}

} // namespace
