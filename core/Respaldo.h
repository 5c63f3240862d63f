#pragma once
// Backup, restore, reset and compaction of the club's database. No window
// code here: the menu actions (InterfazRespaldo) ask the user and report;
// these procedures do the work and throw DbError when it fails, its
// description saying in Spanish why (and, on a line of its own starting
// "Detalle: ", the library's or tool's own words). The engine chooses how
// a copy is made and put back (Conexion::copias): the file's steps are
// here, the server's in RespaldoServidor.
#include "db/Conexion.h"
#include "db/Copias.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

namespace Respaldo {

// Copies the database of c to the file destino with the engine's online
// backup: a consistent copy of every committed write (also those still in
// the write-ahead log) while the program goes on using c. The copy has the
// password clave and is readable by the user only. An existing destino is
// replaced only once the new copy is complete; destino may not be the file
// of c.
void copiar(Conexion &c, const QString &destino, const QString &clave);

// Names of the tables of c (the ones a database of this program must have):
// the tables of counts, which the program makes itself when it opens a file
// of an earlier version, are not among them, nor tables this version does
// not know (another program's). On a server, those of the schema c works in.
QStringList tablas(Conexion &c);

// Renames origen as destino (replacing destino when it exists) in one step
// of the file system, so destino is always a whole file. Throws DbError.
void renombrar(const QString &origen, const QString &destino);

// A restore goes through these steps, in this order. The first two run
// with the live database open; the others with every connection to it
// closed. At every moment the live file names a sound database: the old one
// up to the last step's one rename, the restored one after it.
enum class PasoRestauracion {
    Copiar,     // the chosen file is copied beside the live one ("<ruta>.preparando")
    Comprobar,  // the copy is opened and checked
    Marcar,     // the checked copy is marked ready ("<ruta>.restaurando")
    Guardar,    // the live file is kept under a new name (a hard link, or a copy)
    Reemplazar, // the ready copy is renamed over the live file's name
};

// On a server a restore checks the copy (Comprobar), keeps the data it
// replaces (Guardar) and puts the copy back in one transaction (Reemplazar).

// Tests: f runs before each step of a restore (also of one finished at
// start-up). A DbError it throws is that step failing; any other exception
// stops the restore there as if the program had been killed. Empty: none.
void antesDePaso(std::function<void(PasoRestauracion)> f);
// Runs the function of antesDePaso, if any, for step p.
void paso(PasoRestauracion p);

// A free name beside ruta for keeping the database a restore replaces:
// "<name>_reemplazada_<yyyyMMdd_HHmmss>.mdb" (with "_2", "_3"... when taken).
QString nombreParaGuardar(const QString &ruta, const QDateTime &momento);

// causa, followed by a line "Detalle: " + detalle when there is one.
QString conDetalle(const QString &causa, const QString &detalle);

// The reasons a copy is refused, as the errors the restore throws.
// detalle, when given, is the library's or tool's own text.
DbError noEsCopia(const QString &causa, const QString &detalle = {});
DbError copiaDanada(const QString &detalle = {});
// Throws DbError unless archivo is a file that can be read and is not empty.
void exigirArchivoConDatos(const QString &archivo);

// The tables of a database with their columns, in lower case.
using Estructura = QMap<QString, QStringList>;
// The tables and columns of the database this version of the program makes.
const Estructura &estructuraConocida();
// Throws DbError when a copy holding copia (its tables and columns), whose
// schema is of version (Esquema::versionDe), was made by a newer version of
// the program: a higher version, or a table or a column this version does
// not know. The one place where a copy's version is judged.
void exigirVersionConocida(const Estructura &copia, int version);

// First steps of a restore, with the live database still open: copies
// origen beside ruta (the live database) and checks that the copy opens
// with clave, holds every one of tablas, is not damaged and was not made by
// a newer version. Returns the path of the checked copy. On failure nothing
// is left behind and the live database is untouched. The live file itself
// (by any path) is refused.
QString prepararRestauracion(const QString &origen, const QString &ruta, const QString &clave,
                             const QStringList &tablas);

// The last steps, with every connection to ruta closed: ruta is kept beside
// it as "<name>_reemplazada_<yyyyMMdd_HHmmss>.mdb" and preparada takes its
// place. Returns the path of the kept file. When a step fails, ruta is as it
// was and nothing of the restore is left.
QString reemplazar(const QString &ruta, const QString &preparada, const QDateTime &momento);

// What the start-up did about a restore that an earlier run left half-done.
enum class RestauracionPendiente {
    Ninguna,    // there was none
    Completada, // the copy was checked and marked ready: it is now ruta
    Deshecha,   // it was not: ruta is the database it was before
};
// Run at start-up, before the database is opened: finishes or undoes a
// restore of ruta interrupted at any step, so that no trace of it is left.
RestauracionPendiente completarRestauracion(const QString &ruta, const QDateTime &momento);

// Deletes every operation (registers and their movements and summaries,
// stock movements, reservations, sales and their lines), sets the register
// counter CJA back to 1 and every product's stock to 0, all or nothing, on
// gConexion. Master data, users, settings and the counter RESFIJA stay.
void borrarOperaciones();

// The temporary file of a compaction of ruta: ruta + "_TMP.mdb".
QString temporalCompactacion(const QString &ruta);
// Compacts the database file ruta (no connection to it may be open) with
// its password clave, as Conexion::compactar does. A temporary file left by
// an earlier compaction is removed first. When it fails, ruta is as it was.
void compactar(const QString &ruta, const QString &clave);

} // namespace Respaldo
