#pragma once
// Menu actions of the clients, courts and time-slot lists.
void registrarVentanasMaestros();
