#pragma once
// Fixture for tests that need the program's world: a fresh program folder in
// a temporary directory with a new database, gConexion open on it, message
// boxes and modal dialogs recorded, and the clock fixed.
#include "Module.h"
#include "platform/Mensajes.h"
#include "platform/Ventanas.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The number of the DbError that f throws; 0 when it throws none.
int numeroDeError(const std::function<void()> &f);

class Entorno : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Unloads every window and runs the pending deletions.
    static void descargarTodo();
    // Processes pending events (deferred deletes, queued signals).
    static void procesarEventos();

    QString carpeta() const { return m_dir.path(); }
    // True when the tests run on a database server (CLUB_PRUEBAS_SERVIDOR,
    // the folder of its socket) rather than on the encrypted file.
    static bool enServidor();
    // Writes d as the section [base] of the configuration file ini, as a
    // station on that server has it.
    static void anotarServidor(const QString &ini, const DatosServidor &d);
    // A new database for the test: the file in the program folder, or a
    // schema of its own on the server.
    void crearBaseDePrueba();
    // Copies the shipped report templates into the program folder's rptcr.
    void instalarPlantillas();
    Conexion &db() { return *gConexion; }
    // One value of a query, as text ("" when no row).
    QString valor(const QString &sql, const Parametros &p = {});
    int contar(const QString &sql, const Parametros &p = {});
    // Every row of a query, each value as the program reads it (a number in
    // its shortest form on both engines, NULL as "null"), the values of a row
    // joined by `entreValores` and the rows by `entreFilas`.
    QString filas(const QString &sql, const Parametros &p = {}, const QString &entreValores = QStringLiteral("|"),
                  const QString &entreFilas = QStringLiteral(" "));
    // A trigger "falla" on both engines: before each `operacion` (INSERT,
    // UPDATE or DELETE) of a row of the table it first runs `antes` (a
    // statement, or nothing), then fails with the message when the condition
    // (which may read NEW, or OLD on UPDATE and DELETE) holds.
    void hacerFallar(const QString &tabla, const QString &mensaje, const QString &condicion = QStringLiteral("1 = 1"),
                     const QString &antes = {}, const QString &operacion = QStringLiteral("INSERT"));
    void quitarFalla(const QString &tabla);
    // A second station's connection to the test's database.
    static std::unique_ptr<Conexion> otraEstacion();
    // Renames every table of the database through c (another connection) to
    // a name of its own, taking them away from the program's connection, or
    // gives them their names back. Views and triggers go on naming the
    // tables they named, so they fail as well.
    static void apartarTablas(Conexion &c, bool apartar);

    QTemporaryDir m_dir;
    std::unique_ptr<MensajesDePrueba> msg;
    std::unique_ptr<ModalDePrueba> modal;
};
