#include "RegistroConfiguraciones.h"

#include "Frm_S_ConfiguraEmail.h"
#include "Frm_S_Configuraciones.h"
#include "platform/Aperturas.h"

void registrarVentanaConfiguraciones()
{
    Aperturas::registrar(QStringLiteral("mnu_Opciones"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_S_Configuraciones>(), true); });
    Aperturas::registrar(QStringLiteral("mnu_ConfiguraEmail"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_S_ConfiguraEmail>(), true); });
}
