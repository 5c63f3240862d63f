#include "core/PruebaPrincipal.h"

#include "Frm_L_Reservas.h"
#include "Frm_T_ReservaCanchas.h"
#include "RegistroReservas.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

namespace {
class AgendaMenuTest : public PruebaPrincipal {};
} // namespace

TEST_F(AgendaMenuTest, ElBotonDosYElMenuAbrenLaAgendaYElListadoSinAgregar)
{
    registrarVentanasReservas();
    arrancar();
    ingresar("admin", "admin");
    principal->findChild<QToolButton *>("ToolBar_2")->click();
    auto *agenda = Ventanas::existente<Frm_T_ReservaCanchas>();
    ASSERT_NE(agenda, nullptr);
    EXPECT_FALSE(agenda->isHidden());
    ASSERT_NE(Ventanas::marco(agenda), nullptr);
    EXPECT_EQ(Ventanas::marco(agenda)->mdiArea(), principal->findChild<QMdiArea *>());

    principal->accion("mnu_ReservasAgenda")->trigger();
    EXPECT_EQ(Ventanas::existente<Frm_T_ReservaCanchas>(), agenda);

    modal->guion([](QDialog *d) {
        EXPECT_EQ(d->objectName(), "Frm_L_Reservas");
        EXPECT_TRUE(d->findChild<QPushButton *>("cmdReserva")->isHidden());
    });
    principal->accion("mnu_ReservasListado")->trigger();
    EXPECT_EQ(modal->mostrados().last(), "Frm_L_Reservas");
}
