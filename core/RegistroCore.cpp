#include "RegistroCore.h"

#include "RegistroConfiguraciones.h"

void registrarVentanasCore() { registrarVentanaConfiguraciones(); }
