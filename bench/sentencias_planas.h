#pragma once
// The engine's own statements and nothing more, for the benchmarks' bases:
// on the file through the connection, whose engine runs each statement as it
// is; on a server through a libpq connection of their own, each statement
// prepared once, since the program's engine may wrap every statement in a
// savepoint of its own.
#include "db/Conexion.h"

#include <QHash>
#include <optional>

class SentenciasPlanas {
public:
    // The file's statements on c; or, given servidor, those of that database
    // (DbError when it cannot be reached).
    explicit SentenciasPlanas(Conexion &c, const DatosServidor *servidor = nullptr);
    ~SentenciasPlanas();
    bool enServidor() const { return m_pg != nullptr; }

    // A transaction; sinEsperarDisco: its commit does not wait for the disk
    // (SinEsperarDisco), as for a work table.
    void empezar(bool sinEsperarDisco = false);
    void confirmar();
    void deshacer();
    // One statement of the program's dialect (on a server in the server's
    // form, Dialecto.h) with its values bound: the rows it changed.
    int ejecutar(const QString &sql, const Parametros &valores = {});
    // The first column of its first row as a number (0 when it has none):
    // a query's, or what a server's RETURNING gives.
    qint64 valor(const QString &sql, const Parametros &valores = {});
    // The key the file's last INSERT made.
    qint64 ultimoId() const { return m_conexion.lastInsertId(); }

private:
    struct pg_result *correr(const QString &sql, const Parametros &valores);
    void exigir(struct pg_result *r, int estado) const;
    void simple(const char *sql);
    Conexion &m_conexion;
    struct pg_conn *m_pg = nullptr;
    QHash<QString, QByteArray> m_preparadas; // statement names by text
    std::optional<SinEsperarDisco> m_sinEsperar;
};
