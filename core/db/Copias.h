#pragma once
// What an engine offers for the backup and the restore of its database; the
// engine hands it out (Conexion::copias). The file's copy and the server's
// dump are made by the backup code (core/Respaldo.cpp and
// core/RespaldoServidor.cpp), which defines each engine's copias().
#include <QDateTime>
#include <QString>

class CopiasDeBase {
public:
    virtual ~CopiasDeBase() = default;
    // Copies the live database, its connection still open, to destino: a
    // consistent copy of every committed write, readable by the user only.
    // An earlier file destino survives a copy that fails. Throws DbError
    // saying in Spanish what failed (the library's own text as its detail).
    virtual void copiar(const QString &destino) = 0;
    // First steps of a restore of origen, with the live database still
    // open: origen is checked to be a whole copy of this club's database
    // made by this version or an earlier one. Throws DbError saying why the
    // copy is refused; the live database is untouched.
    virtual void prepararRestauracion(const QString &origen) = 0;
    // The last steps, once the program's connection to the database is
    // closed (the one that made this object included): the data replaced is
    // kept as the file Respaldo::nombreParaGuardar(ruta, momento) names and
    // the checked copy takes its place. Returns the kept file. When a step
    // fails the data is as it was. Throws DbError saying why.
    virtual QString reemplazar(const QString &ruta, const QDateTime &momento) = 0;
};
