#pragma once
// Global state of the program and the general module procedures.
#include "db/Conexion.h"

#include <QString>
#include <QVariant>

class AppUtils;

// The single connection to the database; opened by the main window's load,
// kept open for the run.
extern Conexion *gConexion;
extern QString gRutaBase;       // program folder + "/db_main.mdb"
extern QString gClaveBase;      // the database password
extern QString gCadenaConexion; // gRutaBase + "; Jet OLEDB:Database Password=" + gClaveBase + "; "
extern QString gUsuarioActual;  // code of the logged-in user as typed; "" when nobody is
extern QString gSucursal;       // branch code read from DatosEmpresa at start-up
extern QString gSql;            // scratch statement text
extern Recordset gRs;           // scratch recordset

// Fills gClaveBase, gRutaBase and gCadenaConexion from the program folder.
void fijarRutasBase();
// Called once at start: memory freed by a list or report is kept for the
// next one instead of being handed back to the system and faulted in again
// page by page at every refill.
void retenerMemoriaLiberada();
// Hands the memory kept free, and the engine's pages held in memory, back to
// the system: called when a window is unloaded, once its lists and documents
// are gone, so a closed report leaves nothing behind.
void devolverMemoriaLiberada();
// Opens gConexion on gRutaBase, its indexes brought up to date (throws
// DbError); closes a previous one.
void abrirConexion();
// What the user is told when the database cannot be opened at start: the
// file, the cause (absent, read-only, disk full, read/write error, not a
// database of the program, one of a newer version of it) and what to do.
QString textoErrorAlAbrirBase(const DbError &error, const QString &ruta);
// The same for a station working on the server d: the server and database,
// the cause (unreachable or refused, no permission, its disk full, not a
// database of the program, one of a newer version of it, another station
// updating it) and what to do.
QString textoErrorAlAbrirBase(const DbError &error, const DatosServidor &d);
// Releases gConexion.
void cerrarConexion();

// Hands out the next number of counter id and advances it, inside whatever
// transaction the caller holds. A missing counter throws DbError.
qint64 ProximoNumero(const QString &id);
// The same on another connection (a second station).
qint64 ProximoNumero(Conexion &c, const QString &id);

// Holds the open cash registers (caja_cabeza rows not closed) of each user of
// usuarios until the transaction open on c ends. A closing and every write it
// sums (a sale or its cancellation, a cash movement, a reservation's deposit
// or collected balance) take this first: of a closing and such a write at two
// stations, the second waits for the first and then sees its work (a
// register closed meanwhile is no longer open), so a closing sums exactly the
// rows it stamps. The users are taken one at a time in one order (letter case
// ignored; empty codes skipped), so two writers never wait for each other in a
// circle. Outside a transaction it throws DbError 3000.
void bloquearCajasAbiertas(Conexion &c, const QStringList &usuarios);
// The same for the users a query names (its first column, every row) and
// those of usuarios, in the one pass.
void bloquearCajasDe(Conexion &c, const QString &consulta, const Parametros &valores, QStringList usuarios = {});

// The field's value; for Null a default by field type: "" for integer, text
// and variant types, 0 for double and Boolean types, the zero date for date
// types (a QDate; a QDateTime at 00:00 for DATETIME). A computed column has
// the type the data module stated for it (TiposColumnas), so a Null SUM
// stated as Doble gives 0 and a Null MAX(fecha) stated as Fecha the zero date.
QVariant ValorCampo(const Campo &campo);

// Column campoResultado of the row of tabla whose campoClave equals
// valorClave (as a number when esNumerico), as text (a date or moment column
// as the program shows it, day-first); "" when no row.
// Table and column names are checked against the schema; an unknown name
// throws DbError 3078 / 3265.
QString BuscarValor(const QString &tabla, const QString &campoClave, const QString &valorClave,
                    const QString &campoResultado, bool esNumerico);

// Removes every occurrence of caracter from texto (in place) and returns it.
QString QuitarCaracter(QString &texto, const QString &caracter);

// Key filter of numeric boxes: keeps digits, 8, 46 (".") and 45 ("-");
// sets any other key to 0; returns the key.
int SoloNumeros(int &KeyAscii);

// Reversible scrambling of a stored password (in place); applying it twice
// gives back the original text.
QString CodificaTexto(QString &texto);
