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
    void consultarPorBloques(const QString &sql, const Parametros &valores, int filas,
                             const std::function<void(Recordset &)> &cadaBloque) override;
    void ejecutarGuion(const QString &sql) override;
    void iniciarCarga(const QString &tabla, const QStringList &columnas) override;
    void cargar(const Parametros &valores) override;
    void terminarCarga(bool confirmar) override;
    bool transaccionPerdida() const override;
    void abandonar() override;
    qint64 ultimoId() const override;
    void consolidar() override;
    QStringList columnas(const QString &tabla) override;
    QStringList tablas() override;
    void esperarDisco(bool esperar) override;
    void vaciarSinDisparadores(const QString &tabla) override;
    void compactar() override;
    // Defined with the server's backup (core/RespaldoServidor.cpp).
    std::unique_ptr<CopiasDeBase> copias(Conexion &c, const QString &clave) override;

private:
    explicit MotorPostgresql(PGconn *pg) : m_pg(pg) {}
    // Runs one statement of the program; the result is the caller's to clear.
    PGresult *correr(const QString &sql, const Parametros &valores);
    PGresult *correrUna(const QByteArray &nombre, const Parametros &valores);
    void simple(const char *sql);
    [[noreturn]] void lanzar(PGresult *r) const;
    // The name of the club's table tabla (letter case aside) as an
    // identifier of a statement; DbError 3078 when there is none.
    QString tablaEntreComillas(const QString &tabla);
    int tipoDeclarado(PGresult *r, int columna);
    // The names, types and rows of a result into rs.
    void leer(PGresult *r, Recordset &rs);

    PGconn *m_pg = nullptr;
    // Statements prepared on the server by their text, and their parameters.
    struct Preparada {
        QByteArray nombre;
        int parametros = 0;
    };
    QHash<QString, Preparada> m_preparadas;
    // Declared types of the columns of each table read so far.
    QHash<quint64, int> m_tipos;
    int m_dentro = 0; // statements run inside the current transaction
    // The open carga: rows in COPY's text form not yet sent, and whether it
    // runs in a savepoint of its own (inside a transaction).
    struct {
        QByteArray pendiente;
        qsizetype columnas = 0;
        bool enPunto = false;
    } m_carga;
    void enviarCarga();
};
