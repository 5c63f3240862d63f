#include "RegistroInformes.h"

#include "Frm_L_InformeVentas.h"
#include "platform/Aperturas.h"

void registrarVentanasInformes()
{
    Aperturas::registrar(QStringLiteral("mnu_InformeIngresos"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_L_InformeVentas>()); });
}
