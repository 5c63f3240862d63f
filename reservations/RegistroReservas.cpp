#include "RegistroReservas.h"

#include "RegistroMaestros.h"
#include "RegistroValoresCanchas.h"

void registrarVentanasReservas()
{
    registrarVentanasMaestros();
    registrarVentanaValoresCanchas();
}
