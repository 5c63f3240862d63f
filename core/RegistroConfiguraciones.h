#pragma once
// Menu action of the settings dialog.
void registrarVentanaConfiguraciones();
