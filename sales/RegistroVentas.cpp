#include "RegistroVentas.h"

#include "Frm_T_AltaVentas.h"
#include "Frm_T_Productos.h"
#include "platform/Aperturas.h"

void registrarVentanasVentas()
{
    Aperturas::registrar(QStringLiteral("mnu_productos"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_Productos>()); });
    Aperturas::registrar(QStringLiteral("mnu_VentasAlta"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_AltaVentas>()); });
}
