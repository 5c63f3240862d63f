#pragma once
// Registers the menu actions of the core's own windows (settings, ...).
void registrarVentanasCore();
