#include "RegistroCore.h"

#include "platform/Aperturas.h"

void registrarVentanasCore() {}
