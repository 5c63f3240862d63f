#include "RegistroMaestros.h"

#include "platform/Aperturas.h"

void registrarVentanasMaestros() {}
