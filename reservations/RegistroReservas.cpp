#include "RegistroReservas.h"

#include "platform/Aperturas.h"

void registrarVentanasReservas() {}
