#include "RegistroUsuarios.h"

#include "Frm_S_AsignarOpciones.h"
#include "Frm_S_CambioClave.h"
#include "Frm_S_Usuarios.h"
#include "platform/Aperturas.h"

void registrarVentanasUsuarios()
{
    Aperturas::registrar(QStringLiteral("mnu_AdminUsuarios"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_S_Usuarios>()); });
    Aperturas::registrar(QStringLiteral("mnu_PermisosUsuarios"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_S_AsignarOpciones>()); });
    Aperturas::registrar(QStringLiteral("mnu_UsuariosContrasenia"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_S_CambioClave>(), true); });
}
