#pragma once
// Menu action of the court price table.
void registrarVentanaValoresCanchas();
