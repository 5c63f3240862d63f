#include "RegistroValoresCanchas.h"

#include "Frm_T_ValoresCanchas.h"
#include "platform/Aperturas.h"

void registrarVentanaValoresCanchas()
{
    Aperturas::registrar(QStringLiteral("mnu_canchasvalores"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_ValoresCanchas>()); });
}
