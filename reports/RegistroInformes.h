#pragma once
// Menu actions of the report windows.
void registrarVentanasInformes();
