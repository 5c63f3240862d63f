// A database error while the user opens a window or acts in one is told with
// its message and the critical icon; it never leaves the event, and the
// program goes on.
#include "core/PruebaPrincipal.h"

#include "Frm_T_Canchas.h"
#include "Frm_T_Clientes.h"
#include "Frm_T_Productos.h"
#include "RegistroMaestros.h"
#include "RegistroVentas.h"
#include "platform/Aperturas.h"
#include "reservations/AyudaListas.h"

using namespace ayuda;

namespace {

class ErrorAlAbrirTest : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        registrarVentanasMaestros();
        registrarVentanasVentas();
        abrirPrincipal();
    }
    void elegirMenu(const QString &nombre)
    {
        principal->accion(nombre)->trigger();
        procesarEventos();
    }
    void esperarErrorCritico()
    {
        ASSERT_EQ(msg->mostrados().size(), 1u);
        EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
        msg->limpiar();
    }
};

TEST_F(ErrorAlAbrirTest, VentanaSobreTablaBorradaAvisaYElProgramaSigue)
{
    db().execute("DROP TABLE clientes");

    // From the menu: the list cannot fill itself, so it is told and not kept.
    elegirMenu("mnu_clientes");
    esperarErrorCritico();
    EXPECT_EQ(Ventanas::existente<Frm_T_Clientes>(), nullptr);
    EXPECT_FALSE(Ventanas::cargadas().contains("Frm_T_Clientes"));

    // The same through the opener the tool bar and other windows use.
    EXPECT_TRUE(Aperturas::abrir("mnu_clientes"));
    esperarErrorCritico();

    // The program goes on: another window opens, and the failed one opens
    // once its table is back.
    elegirMenu("mnu_canchas");
    EXPECT_TRUE(msg->vacio());
    EXPECT_NE(Ventanas::existente<Frm_T_Canchas>(), nullptr);
    db().execute("CREATE TABLE clientes (id INTEGER PRIMARY KEY, nombre TEXT, telefono TEXT, direccion TEXT, "
                 "comentarios TEXT)");
    elegirMenu("mnu_clientes");
    EXPECT_TRUE(msg->vacio());
    EXPECT_NE(Ventanas::existente<Frm_T_Clientes>(), nullptr);
}

TEST_F(ErrorAlAbrirTest, BusquedaEnUnaVentanaAbiertaAvisaYLaVentanaQueda)
{
    elegirMenu("mnu_productos");
    auto *lista = Ventanas::existente<Frm_T_Productos>();
    ASSERT_NE(lista, nullptr);
    db().execute("DROP TABLE productos");

    ayuda::caja(lista, "txtSearch")->setText("agua");
    lista->findChild<QPushButton *>("cmdSearch")->click();
    esperarErrorCritico();
    EXPECT_EQ(Ventanas::existente<Frm_T_Productos>(), lista);
}

} // namespace
