#pragma once
// Statements of the time-slot table (horarios).
#include "db/Conexion.h"

namespace dbHorarios {

// Every slot in the text order of its description ("9:00" after "18:00",
// Spanish order of letters): codigo, descripcion. Also the slot pickers' rows.
Recordset todos();
// True when a slot with this code exists (letter case ignored, as the key).
bool existe(const QString &codigo);
void insertar(const QString &codigo, const QString &descripcion);
// Rewrites the description of slot codigo; false when no slot has that
// code any more.
bool modificar(const QString &codigo, const QString &descripcion);
// Deletes the slot's prices on every court and then the slot, both or
// neither (within the caller's transaction when one is open). Reservations keep the slot's code.
void eliminar(const QString &codigo);

} // namespace dbHorarios
