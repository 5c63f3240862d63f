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
    // reached or refuses the user). A connection the server drops later
    // (it stopped or restarted) makes every statement fail with 3024 until
    // reanudar() connects again.
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
    bool transaccionFallida() const override;
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
    void reanudar() override;
    DbError errorTransaccionPerdida() const override;

private:
    MotorPostgresql(PGconn *pg, QString esquema) : m_pg(pg), m_esquema(std::move(esquema)) {}
    // The settings of a new connection: the club's schema and the dialect's.
    void ajustar();
    // False once the connection is known to be lost.
    bool enLinea() const;
    // Reads what the server sent; a connection that cannot be read is lost.
    void revisarConexion();
    // Throws when the connection is lost; notes whether a transaction is
    // open before a statement is sent.
    void comenzar();
    // Runs one statement of the program; the result is the caller's to clear.
    PGresult *correr(const QString &sql, const Parametros &valores);
    struct Preparada {
        QByteArray nombre;
        int parametros = 0;
    };
    // The statement prepared on the server; throws when it cannot be.
    Preparada preparada(const QString &sql);
    PGresult *correrUna(const QByteArray &nombre, const Parametros &valores);
    void simple(const char *sql);
    // Throws the error of r (cleared), or of the connection when r is null.
    [[noreturn]] void lanzar(PGresult *r);
    [[noreturn]] void sinConexion(const QString &detalle);
    // The name of the club's table tabla (letter case aside) as an
    // identifier of a statement; DbError 3078 when there is none.
    int tipoDeclarado(PGresult *r, int columna);
    // The names, types and rows of a result into rs.
    void leer(PGresult *r, Recordset &rs);
    // True when the values of a result's column are texts the program wrote.
    bool esTextoDelPrograma(PGresult *r, int columna);

    PGconn *m_pg = nullptr;
    QString m_esquema;
    // Statements prepared on the server by their text, and their parameters.
    QHash<QString, Preparada> m_preparadas;
    // Declared types of the columns of each table read so far.
    QHash<quint64, int> m_tipos;
    // Whether each type of result column read so far is a text type.
    QHash<unsigned int, bool> m_textos;
    // The connection was found lost although libpq did not mark it so.
    bool m_cortada = false;
    // A transaction was open when the statement being run was sent.
    bool m_abierta = false;
    // lastval() has a number on this connection.
    bool m_hayUltimo = false;
    // The connection was lost with a transaction open, and why.
    bool m_perdidaEnTransaccion = false;
    QString m_detallePerdida;
    // The open carga: rows in COPY's text form not yet sent, and whether it
    // runs in a savepoint of its own (inside a transaction).
    struct {
        QByteArray pendiente;
        qsizetype columnas = 0;
        bool enPunto = false;
    } m_carga;
    void enviarCarga();
};
