#include "RegistroMaestros.h"

#include "Frm_T_Canchas.h"
#include "Frm_T_Clientes.h"
#include "Frm_T_Horarios.h"
#include "platform/Aperturas.h"

void registrarVentanasMaestros()
{
    Aperturas::registrar(QStringLiteral("mnu_clientes"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_Clientes>()); });
    Aperturas::registrar(QStringLiteral("mnu_canchas"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_Canchas>()); });
    Aperturas::registrar(QStringLiteral("mnu_horarios"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_Horarios>()); });
}
