#pragma once
// A club of several years for the benchmarks: courts with parents and
// children, time slots and prices, clients, reservations in every state
// (one-time and weekly series), products, counter sales with their lines and
// stock movements, and two users' cash registers with their movements,
// closings and closing snapshots. The data is written into a database made by
// the same code as the creation tool, with set-based statements inside one
// transaction, and is the same on every run.
#include <QDate>
#include <QString>
#include <vector>

class Conexion;
struct DatosServidor;

struct TamanioClub {
    int anios = 10;
    int canchas = 30;  // groups of five: a parent court, its two children, two single courts
    int horarios = 40; // a multiple of 4: every fourth slot holds the weekly series
    int clientes = 10000;
    int reservas = 500000;
    int productos = 2000;
    int ventas = 300000;
    int lineasPorVenta = 3;
    // Where the club is measured: empty for the encrypted file, else the
    // PostgreSQL server's host or socket folder (database "club" of user
    // "club"; the password, if any, from ~/.pgpass). Not part of the key.
    QString servidor;

    // The generated days run from desde() to the day before hasta(). The last
    // day's registers stay open, with its sales and payments not yet taken.
    QDate hasta() const { return QDate(2026, 7, 1); }
    QDate desde() const { return hasta().addYears(-anios); }
    // A club of n years with as many reservations and sales a year.
    static TamanioClub deAnios(int n);
    // A text that changes with every parameter and with the generator itself.
    QString clave() const;
    // The size given by "--anios N" among a benchmark's arguments (10 years
    // without it), and the server given by "--servidor CARPETA_O_HOST"; the
    // other arguments are left for the benchmark library.
    static TamanioClub desdeArgumentos(int argc, char **argv, std::vector<char *> &resto);
};

// Fills a database made by Esquema::crearBase with the club. Throws DbError.
void generarClub(Conexion &c, const TamanioClub &t);

// The path of the club's database in the temporary folder, generated on the
// first call for these parameters and reused by later runs. Callers that
// write must work on a copy (copiaDeTrabajo).
QString clubEnCache(const TamanioClub &t);

// Copies the cached club to carpeta/db_main.mdb and returns that path.
QString copiaDeTrabajo(const TamanioClub &t, const QString &carpeta);
// A connection to a copy of the club to work on: the file copied into
// carpeta, or on the server a database copied from the cached club there
// (see club_servidor.h), whose access goes to *servidor when given.
Conexion *abrirCopia(const TamanioClub &t, const QString &carpeta, DatosServidor *servidor = nullptr);
// A copy of the club with carpeta made the program folder and gConexion open
// on it, as the program works (on the server, carpeta's club.ini names it,
// and *servidor gets its access when given).
void abrirComoPrograma(const TamanioClub &t, const QString &carpeta, DatosServidor *servidor = nullptr);

// Periods that hold data on any club size: the Monday of a week half a year
// before the end, and the first day of the month before the last one.
QDate lunesDeMedida(const TamanioClub &t);
QDate mesDeMedida(const TamanioClub &t);
