#include "RegistroValoresCanchas.h"

#include "platform/Aperturas.h"

void registrarVentanaValoresCanchas() {}
