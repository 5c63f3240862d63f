#pragma once
// A PostgreSQL server shared by a club's stations (libpq).
#include "Motor.h"

#include <QHash>
#include <memory>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

class MotorPostgresql : public Motor {
public:
    // Connects to the server d names. The password is never passed here:
    // libpq reads it from the user's password file (~/.pgpass or the file
    // PGPASSFILE names). Throws DbError (3024 when the server cannot be
    // reached or refuses the user).
    static std::unique_ptr<Motor> abrir(const DatosServidor &d);
    ~MotorPostgresql() override;

    TipoMotor tipo() const override { return TipoMotor::Postgresql; }
    int ejecutar(const QString &sql, const Parametros &valores) override;
    void consultar(const QString &sql, const Parametros &valores, Recordset &rs) override;
    void ejecutarGuion(const QString &sql) override;
    bool transaccionPerdida() const override;
    void abandonar() override;
    qint64 ultimoId() const override;
    void consolidar() override;
    QStringList columnas(const QString &tabla) override;
    QStringList tablas() override;
    void esperarDisco(bool esperar) override;

private:
    explicit MotorPostgresql(PGconn *pg) : m_pg(pg) {}
    // Runs one statement of the program; the result is the caller's to clear.
    PGresult *correr(const QString &sql, const Parametros &valores);
    PGresult *correrUna(const QByteArray &nombre, const Parametros &valores);
    void simple(const char *sql);
    [[noreturn]] void lanzar(PGresult *r) const;
    int tipoDeclarado(PGresult *r, int columna);
    // True when the values of a result's column are texts the program wrote.
    bool esTextoDelPrograma(PGresult *r, int columna);

    PGconn *m_pg = nullptr;
    // Statements prepared on the server by their text, and their parameters.
    struct Preparada {
        QByteArray nombre;
        int parametros = 0;
    };
    QHash<QString, Preparada> m_preparadas;
    // Declared types of the columns of each table read so far.
    QHash<quint64, int> m_tipos;
    // Whether each type of result column read so far is a text type.
    QHash<unsigned int, bool> m_textos;
    int m_dentro = 0; // statements run inside the current transaction
};
