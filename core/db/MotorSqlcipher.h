#pragma once
// The encrypted database file of a club with one station (SQLCipher).
#include "Motor.h"

#include <memory>

struct sqlite3_stmt;

class MotorSqlcipher : public Motor {
public:
    // Opens an existing file with its password; never creates one.
    static std::unique_ptr<Motor> abrir(const QString &ruta, const QString &clave);
    // Creates a new empty encrypted file.
    static std::unique_ptr<Motor> crear(const QString &ruta, const QString &clave);
    ~MotorSqlcipher() override;

    TipoMotor tipo() const override { return TipoMotor::Sqlcipher; }
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
    sqlite3 *sqlite() const override { return m_db; }
    void vaciarSinDisparadores(const QString &tabla) override;
    void compactar() override;
    // Defined with the file's backup (core/Respaldo.cpp).
    std::unique_ptr<CopiasDeBase> copias(Conexion &c, const QString &clave) override;

    // The temporary file of a compaction of the file ruta: ruta + "_TMP.mdb".
    static QString temporalCompactacion(const QString &ruta);
    // The database file ruta and the log files the engine keeps beside it.
    static QStringList conLogs(const QString &ruta);
    // Removes them.
    static void borrarConLogs(const QString &ruta);

private:
    MotorSqlcipher(sqlite3 *db, QString ruta) : m_db(db), m_ruta(std::move(ruta)) {}
    sqlite3_stmt *preparar(const QString &sql, const Parametros &valores);
    [[noreturn]] void lanzar(int rc) const;
    void configurar(const QString &clave);

    sqlite3 *m_db = nullptr;
    QString m_ruta;
    QString m_clave; // for the file a compaction writes anew
    QHash<QString, sqlite3_stmt *> m_cache;
    // Values read by each cached query the last time it ran.
    QHash<sqlite3_stmt *, qsizetype> m_leidos;
    // The rows of the open carga go in statements of many rows each.
    struct {
        QString insertar; // up to VALUES
        QString fila;     // (?, ?, ...)
        qsizetype columnas = 0;
        qsizetype porSentencia = 0;
        QString completa; // porSentencia rows
    } m_carga;
};
