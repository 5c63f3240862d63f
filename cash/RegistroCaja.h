#pragma once
// Menu items and tool-bar buttons of the cash register windows.
void registrarVentanasCaja();
