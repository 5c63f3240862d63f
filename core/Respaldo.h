#pragma once
// Backup, restore, reset and compaction of the club's database file. No
// window code here: the menu actions (InterfazRespaldo) ask the user and
// report; these procedures do the work and throw DbError when it fails.
#include "db/Conexion.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Respaldo {

// Copies the database of c to the file destino with the engine's online
// backup: a consistent copy of every committed write (also those still in
// the write-ahead log) while the program goes on using c. The copy has the
// password clave. An existing destino is replaced only once the new copy is
// complete; destino may not be the file of c.
void copiar(Conexion &c, const QString &destino, const QString &clave);

// Names of the tables of c (the ones a database of this program must have):
// the tables of counts, which the program makes itself when it opens a file
// of an earlier version, are not among them.
QStringList tablas(Conexion &c);

// First step of a restore, with the live database still open: copies origen
// to a new file beside ruta (the live database) and checks that the copy
// opens with clave, holds every one of tablas and is not damaged. Returns the
// path of the checked copy. On failure nothing is left behind and the live
// database is untouched. ruta itself is refused as origen.
QString prepararRestauracion(const QString &origen, const QString &ruta, const QString &clave,
                             const QStringList &tablas);

// Second step, with every connection to ruta closed: ruta is kept beside it
// as "<name>_reemplazada_<yyyyMMdd_HHmmss>.mdb" and preparada takes its
// place. Returns the path of the kept file. On failure ruta is put back.
QString reemplazar(const QString &ruta, const QString &preparada, const QDateTime &momento);

// Deletes every operation (registers and their movements and summaries,
// stock movements, reservations, sales and their lines), sets the register
// counter CJA back to 1 and every product's stock to 0, all or nothing, on
// gConexion. Master data, users, settings and the counter RESFIJA stay.
void borrarOperaciones();

// The temporary file of a compaction of ruta: ruta + "_TMP.mdb".
QString temporalCompactacion(const QString &ruta);
// Compacts the database file ruta (no connection to it may be open) into a
// new file with the same password clave, which then takes ruta's place. A
// temporary file left by an earlier compaction is removed first. When it
// fails, ruta is as it was.
void compactar(const QString &ruta, const QString &clave);

} // namespace Respaldo
