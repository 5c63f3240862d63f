#pragma once
// Backup and restore of a club's database on a server, with the server's
// own tools (pg_dump and pg_restore, custom format). They find the password
// where the program does: ~/.pgpass or the file PGPASSFILE names.
//
// A tool runs while the program's events go on (the windows are painted and
// timers fire); it ends with the program, killed or not; and a tool that
// waits for another station's lock longer than the limit below is stopped,
// its work undone, and the error says so. Only the club's schema is copied
// and put back ("public" when club.ini names none), never the other schemas
// of the database nor what every schema shares (types, functions).
#include "db/Conexion.h"

#include <QDateTime>

namespace RespaldoServidor {

// How long a tool may wait for a lock another station holds (30 s unless
// set; the tests set less). milisegundos <= 0: back to 30 s.
void fijarEsperaMaxima(int milisegundos);

// Copies the club's tables of the database d names (schema d.esquema,
// "public" when empty) to the file destino, readable by the user only. The
// copy is made beside destino and checked to be a whole dump before it takes
// that name, so an earlier copy survives a failed one. Throws DbError.
void copiar(const DatosServidor &d, const QString &destino);

// The schema c works in: the one whose tables a restore puts back.
QString esquema(Conexion &c);

// Throws DbError, saying why, unless archivo is a dump pg_restore reads whole
// that holds every one of tablas in the schema esquema and no table or column
// this version does not know (tablas empty: any whole dump).
void comprobar(const QString &archivo, const QString &esquema = {}, const QStringList &tablas = {});

// First step of a restore, with c (the live database) open: checks that
// origen is a copy of the database of this club, as comprobar does with
// the schema and tables of c. Throws DbError; nothing changes.
void prepararRestauracion(Conexion &c, const QString &origen);

// Puts the club's tables of the copy origen back over those of the database
// d names (its schema d.esquema, "public" when empty), in one transaction,
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
