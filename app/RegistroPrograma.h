#pragma once
// The windows and menu actions of every subsystem, registered once at start
// by the program and by the session benchmark that drives its windows.
#include "RegistroCaja.h"
#include "RegistroCore.h"
#include "RegistroInformes.h"
#include "RegistroReservas.h"
#include "RegistroVentas.h"
#include "db_caja_cabeza.h"

inline void registrarVentanasDelPrograma()
{
    registrarVentanasCore();
    registrarVentanasReservas();
    registrarVentanasVentas();
    registrarVentanasInformes();
    registrarConsultaCaja();
    registrarVentanasCaja();
}
