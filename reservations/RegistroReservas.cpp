#include "RegistroReservas.h"

#include "Frm_L_Reservas.h"
#include "Frm_T_ReservaCanchas.h"
#include "RegistroMaestros.h"
#include "RegistroValoresCanchas.h"
#include "platform/Aperturas.h"

void registrarVentanasReservas()
{
    registrarVentanasMaestros();
    registrarVentanaValoresCanchas();
    Aperturas::registrar(QStringLiteral("mnu_ReservasAgenda"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_T_ReservaCanchas>(), false); });
    Aperturas::registrar(QStringLiteral("mnu_ReservasListado"), [] {
        auto *listado = Ventanas::obtener<Frm_L_Reservas>();
        listado->Usr_MostrarAgregar(false);
        Modal::mostrar(listado);
    });
}
