#pragma once
// Registers the menu actions of the users, permissions and password windows.
void registrarVentanasUsuarios();
