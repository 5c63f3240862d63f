#include "RegistroCore.h"

#include "RegistroConfiguraciones.h"
#include "RegistroUsuarios.h"

void registrarVentanasCore()
{
    registrarVentanaConfiguraciones();
    registrarVentanasUsuarios();
}
