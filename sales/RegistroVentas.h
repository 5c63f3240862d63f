#pragma once
// Menu actions of the products, sale entry and sales listing windows.
void registrarVentanasVentas();
