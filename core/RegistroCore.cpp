#include "RegistroCore.h"

#include "RegistroConfiguraciones.h"
#include "RegistroMantenimiento.h"
#include "RegistroUsuarios.h"

void registrarVentanasCore()
{
    registrarVentanaConfiguraciones();
    registrarVentanasUsuarios();
    registrarMantenimientoBase();
}
