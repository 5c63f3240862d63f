#pragma once
// Backup and restore of a club's database on a server, with the server's
// own tools (pg_dump and pg_restore, custom format). They find the password
// where the program does: ~/.pgpass or the file PGPASSFILE names.
#include "db/Conexion.h"

#include <QDateTime>

namespace RespaldoServidor {

// Copies the database d names to the file destino. The copy is made beside
// destino and checked to be a whole dump before it takes that name, so an
// earlier copy survives a failed one. Throws DbError.
void copiar(const DatosServidor &d, const QString &destino);

// The schema c works in: the one whose tables a restore puts back.
QString esquema(Conexion &c);

// Throws DbError unless archivo is a dump pg_restore reads whole that holds
// every one of tablas in the schema esquema (none: any dump).
void comprobar(const QString &archivo, const QString &esquema = {}, const QStringList &tablas = {});

// First step of a restore, with c (the live database) open: checks that
// origen is a copy of a database of this program, as comprobar does with
// the schema and tables of c. Throws DbError; nothing changes.
void prepararRestauracion(Conexion &c, const QString &origen);

// Puts the copy origen back over the database d names in one transaction,
// so a failure at any point leaves the data as it was. origen is read whole
// first: a file that is no dump changes nothing. Throws DbError.
void restaurar(const DatosServidor &d, const QString &origen);

// The steps of a restore once the copy origen has been checked, with this
// station's connection closed: the data it replaces is kept in a copy named
// as Respaldo::nombreParaGuardar(ruta, momento) gives, then origen is put
// back. Returns the kept copy. When a step fails the data and the files are
// as they were. Throws DbError.
QString reemplazar(const DatosServidor &d, const QString &origen, const QString &ruta, const QDateTime &momento);

} // namespace RespaldoServidor
