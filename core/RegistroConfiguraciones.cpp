#include "RegistroConfiguraciones.h"

#include "platform/Aperturas.h"

void registrarVentanaConfiguraciones() {}
