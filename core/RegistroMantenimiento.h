#pragma once
// Registers the menu actions of the database maintenance (backup, restore, reset).
void registrarMantenimientoBase();
