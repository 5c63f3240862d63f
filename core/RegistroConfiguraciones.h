#pragma once
// Menu actions of the settings dialog and of the mail account dialog.
void registrarVentanaConfiguraciones();
