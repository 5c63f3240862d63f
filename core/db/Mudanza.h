#pragma once
// Moving a club between databases: from its encrypted file to a server that
// several stations share, or from a server back to a new file for one
// station. Every row of every table goes, in one transaction of the
// destination, and the two sides are compared before it commits.
#include <QList>
#include <QString>
#include <functional>

class Conexion;
struct DatosServidor;

namespace Mudanza {

// Where a move stands, told as it goes.
struct Avance {
    enum Etapa {
        Copia,        // rows of tabla being copied
        Completar,    // indexes, views, triggers, counts and numbering made
        Comprobacion, // rows of tabla read back and compared
        Estadisticas, // the server gathering its statistics (after the commit)
    };
    Etapa etapa = Copia;
    QString tabla;
    qint64 hechas = 0; // rows copied or read back so far, of every table
    qint64 total = 0;  // rows of every table
};
using Informe = std::function<void(const Avance &)>;

// One table after the copy: its row count and the checksum of its rows on
// each side. The checksum does not depend on the order rows are read in.
struct Comparacion {
    QString tabla;
    qint64 filasOrigen = 0;
    qint64 filasDestino = 0;
    QString sumaOrigen;
    QString sumaDestino;
    // A table of counts is counted afresh from the copied reservations: a
    // difference there shows the origin's counts were wrong, and is told
    // but does not stop the move.
    bool recontada = false;
    bool igual() const { return filasOrigen == filasDestino && sumaOrigen == sumaDestino; }
};

// Copies every row of origen into destino, which must hold no table
// (DbError 3204), in one transaction of destino: makes the tables, copies
// the rows, then makes the indexes, views and triggers over them, counts
// the reservations afresh and moves each numbering past its highest number
// (as Esquema::actualizar does), and compares each table's row count and
// checksum on both sides. A table or column of origen that destino's schema
// lacks (DbError 3265), a row destino refuses, a difference in a table of
// the club's data (DbError 3000) or any other failure rolls everything
// back. On a server, esquema names the schema to make the club in ("" for
// the connection's own). origen is read in one transaction of its own and
// should be up to date (Esquema::actualizar). Returns every table of
// origen compared, in order of name. Throws DbError.
QList<Comparacion> copiar(Conexion &origen, Conexion &destino, const QString &esquema, const Informe &informe = {});

// The encrypted file at ruta, brought up to this version first as a
// station opening it would, copied to the server d names (see copiar),
// which then gathers its statistics. Throws DbError.
QList<Comparacion> alServidor(const QString &ruta, const DatosServidor &d, const Informe &informe = {});

// The club of the server d names, brought up to this version first, copied
// to a new encrypted file at ruta, which must not exist (DbError 3204). On a
// failure no file is left at ruta. Throws DbError.
QList<Comparacion> alArchivo(const DatosServidor &d, const QString &ruta, const Informe &informe = {});

} // namespace Mudanza
