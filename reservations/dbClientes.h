#pragma once
// Statements of the clients table (clientes).
#include "db/Conexion.h"

namespace dbClientes {

// The walk-in client "CONSUMIDOR FINAL": it may be modified, never deleted.
inline constexpr qint64 kConsumidorFinal = 1;

struct Cliente {
    QString nombre;
    QString telefono;
    QString direccion;
    QString comentarios;
};

// Every client by number: id, nombre, telefono, direccion, comentarios.
Recordset todos();
// Rows of the reservation editor's client picker: id and nombre shown as
// "name / telephone", in the Spanish order of that text.
Recordset listaConTelefono();
// Adds a client; the database gives the number, which is returned.
qint64 insertar(const Cliente &c);
// Rewrites every column but the number of client id; false when no client
// has that number any more.
bool modificar(qint64 id, const Cliente &c);
// Deletes client id; its reservations and sales are left as they are.
void eliminar(qint64 id);

} // namespace dbClientes
