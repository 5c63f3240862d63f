#pragma once
// Backup and restore of a club's database on a server, with the server's
// own tools (pg_dump and pg_restore, custom format). They find the password
// where the program does: ~/.pgpass or the file PGPASSFILE names.
#include "db/Conexion.h"

namespace RespaldoServidor {

// Copies the database d names to the file destino. The copy is made beside
// destino and checked to be a whole dump before it takes that name, so an
// earlier copy survives a failed one. Throws DbError.
void copiar(const DatosServidor &d, const QString &destino);

// Puts the copy origen back over the database d names: the file is checked
// first (a file that is no dump changes nothing), then restored in one
// transaction, so a failure leaves the data as it was. Throws DbError.
void restaurar(const DatosServidor &d, const QString &origen);

// Throws DbError unless archivo is a whole dump pg_restore can read.
void comprobar(const QString &archivo);

} // namespace RespaldoServidor
