#pragma once
// Registers the menu actions of the courts, clients and reservations windows.
void registrarVentanasReservas();
