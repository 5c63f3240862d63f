#pragma once
// Statements of the courts table (canchas).
#include "db/Conexion.h"

namespace dbCanchas {

// Every court in the Spanish order of its description: id, descripcion, cancha_madre_id.
Recordset todas();
// Every court by its code: id, descripcion (the agenda's court list).
Recordset porCodigo();
// Rows of the court pickers: id and descripcion in the Spanish order of the description.
Recordset lista();
// True when a court with this code exists (letter case ignored, as the key).
bool existe(const QString &id);
// Adds a court; madreId is "" when it has no parent court.
void insertar(const QString &id, const QString &descripcion, const QString &madreId);
// Rewrites the description and the parent court of court id; false when no
// court has that code any more.
bool modificar(const QString &id, const QString &descripcion, const QString &madreId);
// Deletes the court's prices and then the court, both or neither (within the
// caller's transaction when one is open). Its
// reservations and the courts naming it as parent are left as they are.
void eliminar(const QString &id);

} // namespace dbCanchas
