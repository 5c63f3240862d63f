#pragma once
// The one connection to the club's database, and the small recordset / field
// types every data module reads through. The engine underneath (see Motor)
// is the encrypted file.
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;
class Motor;
class CopiasDeBase;

// A database error with the engine-independent number the rest of the
// program reacts to (3022 duplicate key, 3260 locked file, ...).
class DbError : public std::runtime_error {
public:
    DbError(int numero, const QString &descripcion);
    int numero() const { return m_numero; }
    QString descripcion() const { return m_descripcion; }
    // The text the saving windows show: "Error: " + number + " - " + description.
    QString mensaje() const;

private:
    int m_numero;
    QString m_descripcion;
};

// Field type numbers of the original data access layer, derived from the
// declared column type, or stated by the data module for a computed column
// (see TiposColumnas); ValorCampo picks the Null default by them.
namespace TipoCampo {
constexpr int Entero = 3;      // INTEGER
constexpr int Doble = 5;       // REAL
constexpr int Fecha = 7;       // DATE
constexpr int Booleano = 11;   // BOOLEAN
constexpr int Variante = 12;   // no declared type (expressions)
constexpr int Texto = 202;     // TEXT
constexpr int FechaHora = 135; // DATETIME
} // namespace TipoCampo

// One value of one row. Dates are stored as ISO text and read back typed.
class Campo {
public:
    Campo() = default;
    Campo(QString nombre, QVariant valor, int tipo)
        : m_nombre(std::move(nombre)), m_valor(std::move(valor)), m_tipo(tipo)
    {}
    QString nombre() const { return m_nombre; }
    QVariant valor() const { return m_valor; }
    int tipo() const { return m_tipo; }
    bool esNulo() const { return m_valor.isNull(); }
    // Null reads as "", 0 or an invalid date.
    QString texto() const;
    double numero() const;
    qint64 entero() const;
    QDate fecha() const;
    QDateTime fechaHora() const;

private:
    QString m_nombre;
    QVariant m_valor;
    int m_tipo = TipoCampo::Variante;
};

// A fully read result: rows are fetched when the recordset is opened, so a
// recordset never holds the database and can outlive a transaction.
class Recordset {
public:
    Recordset() = default;
    bool eof() const { return m_pos >= m_filas; }
    void moveNext() { ++m_pos; }
    void moveFirst() { m_pos = 0; }
    int recordCount() const { return m_filas; }
    int fieldCount() const { return m_nombres.size(); }
    QStringList nombres() const { return m_nombres; }
    // The type of a column (TipoCampo), known even without rows.
    int tipo(int indice) const;
    // Field of the current row by name (ignoring letter case) or position.
    // An unknown name throws DbError 3265.
    Campo campo(const QString &nombre) const;
    Campo campo(int indice) const;
    // Shorthand for campo(nombre).texto().
    QString texto(const QString &nombre) const { return campo(nombre).texto(); }
    // What campo(indice).texto(), .numero(), .entero(), .fecha() and
    // .esNulo() give, read without making the field: for loops over
    // thousands of rows.
    QString texto(int indice) const;
    double numero(int indice) const;
    qint64 entero(int indice) const;
    QDate fecha(int indice) const;
    bool esNulo(int indice) const { return valor(indice).isNull(); }

private:
    friend class Conexion;
    friend class Motor;
    int indice(const QString &nombre) const;
    // Throws DbError 3265 when there is no column at indice.
    void comprobarIndice(int indice) const;
    // The value at indice of the current row; throws as campo(indice).
    const QVariant &valor(int indice) const;
    QStringList m_nombres;
    std::vector<int> m_tipos;
    // Row after row, fieldCount() values each: one block for the whole
    // result instead of one per row (a QList grows it without moving the
    // values one by one).
    QList<QVariant> m_valores;
    int m_filas = 0;
    int m_pos = 0;
};

using Parametros = QVariantList;

// Where a club's database server is: club.ini, section [base]. The password
// is never kept here; libpq reads it from the user's password file.
struct DatosServidor {
    QString host;    // a name, an address or the folder of a Unix socket
    QString puerto;  // "" for the default
    QString base;    // the database
    QString usuario; // "" for the account's own name
    QString esquema; // "" for the default schema; the tests use one each
};

// Types of computed columns by result name (letter case ignored). An
// expression (SUM, MAX, CAST, ...) has no declared type, so the data module
// states the type its value stands for, e.g. {{"total", TipoCampo::Doble}}
// for SUM(importe) AS total; its fields then read like a stored column of
// that type (a Null sum counts as 0, a Null MAX(fecha) as the zero date).
using TiposColumnas = QHash<QString, int>;

// Used only from the thread that opened it (the engine does not lock it).
class Conexion {
public:
    // Opens an existing database file with its password; never creates one.
    // Throws DbError (3024 missing file, 3343 not a database / wrong password,
    // 3027 a file this user may not write: refused, nothing left beside it).
    static Conexion *abrir(const QString &ruta, const QString &clave);
    // Creates a new empty encrypted database file (used by the creation tool).
    static Conexion *crear(const QString &ruta, const QString &clave);
    // Connects to a club's database server. Throws DbError (3024 when it
    // cannot be reached or refuses the user). Once the server stops or
    // restarts, statements fail with 3024 (a transaction then open is told
    // as not saved); the first statement outside a transaction after the
    // server is back connects again by itself.
    static Conexion *abrirServidor(const DatosServidor &d);
    ~Conexion();
    Conexion(const Conexion &) = delete;
    Conexion &operator=(const Conexion &) = delete;

    QString ruta() const { return m_ruta; }
    bool esServidor() const;

    // Runs one statement with its values bound by position (?); returns the
    // number of rows changed. A text holding more than one statement is
    // refused (DbError 3142).
    int execute(const QString &sql, const Parametros &valores = {});
    // Runs one query and reads all of its rows. tipos gives computed
    // columns their type (a stated type replaces a declared one); naming a
    // column the query does not return throws DbError 3265.
    Recordset openRecordset(const QString &sql, const Parametros &valores = {}, const TiposColumnas &tipos = {});
    // Runs one query and hands its rows to cadaBloque at most filas at a
    // time, in the order the query gives them, so that a result of millions
    // of rows is never held whole: each block is a Recordset of its own, on
    // its first row. cadaBloque must not use this connection; an exception
    // it throws ends the query and reaches the caller.
    void leerPorBloques(const QString &sql, const Parametros &valores, int filas,
                        const std::function<void(Recordset &)> &cadaBloque);
    // Runs a script of several statements without values (schema creation).
    void executeScript(const QString &sql);

    // The connection's one transaction. Code that writes uses the guard
    // below instead, which also nests; these refuse to nest (DbError 3000).
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool enTransaccion() const { return m_enTransaccion; }
    qint64 lastInsertId() const;
    // Moves every committed write from the write-ahead log into the database
    // file, so that a copy of the file alone holds all the data (backups).
    void checkpoint();
    // Gives back the room of deleted rows, outside any transaction: the
    // file is written anew, packed, into ruta() + "_TMP.mdb" (a leftover of
    // an earlier try is removed first), which then takes its name, and is
    // opened anew (refused, 3260, while another connection has it open); a
    // server vacuums the club's tables. Throws DbError.
    void compactar();
    // Empties tabla at once, without running its triggers row by row, in the
    // open transaction; its triggers are there again afterwards. The caller
    // sets right what they keep (a reset empties the counts too).
    void vaciarSinDisparadores(const QString &tabla);
    // The backup and restore of this database, as its engine makes them
    // (clave: the file's password). See CopiasDeBase.
    std::unique_ptr<CopiasDeBase> copias(const QString &clave);

    // Holds the lock called nombre until the open transaction ends: another
    // station taking the same lock waits for this one to commit or roll
    // back (and is told the data is locked, DbError 3260, after waiting as
    // long as for any lock). On the file the transaction already keeps every
    // other writer out. Outside a transaction it throws DbError 3000.
    void bloquear(const QString &nombre);

    // True when a table (and column, when given) exists; names compare
    // ignoring letter case. Used to check identifiers received as arguments.
    bool existeTabla(const QString &tabla) const;
    // The names of the database's own tables (the club's schema on a
    // server), in order of name.
    QStringList tablas() const;
    bool existeColumna(const QString &tabla, const QString &columna) const;
    // The columns of a table in lower case, in their order; none when there
    // is no such table.
    QStringList columnas(const QString &tabla) const;
    // A name of the schema (a table or a column, written in any letter
    // case) quoted for a statement's text. The schema's names are in lower
    // case, and a quoted name is taken as written.
    static QString nombreEnSentencia(const QString &nombre);

    // The engine's handle when it is the encrypted file (its copy for the
    // backup); null otherwise.
    sqlite3 *handle() const;

private:
    Conexion(std::unique_ptr<Motor> motor, QString ruta);
    // Throws when the engine abandoned the open transaction on its own.
    void comprobarTransaccion() const;
    // The engine, for a statement: outside a transaction a connection to a
    // server that was lost is made again first.
    Motor &motor() const;
    friend class SinEsperarDisco;
    friend class Carga;
    // Savepoints of the nested guards, numbered by depth.
    friend class Transaccion;
    int abrirPunto();
    void liberarPunto(int punto);
    void volverAPunto(int punto);

    std::unique_ptr<Motor> m_motor;
    QString m_ruta;
    bool m_enTransaccion = false;
    int m_puntos = 0;
    mutable QHash<QString, QStringList> m_columnas;
};

// Rows added to one table as fast as the engine takes them: on a server one
// COPY for all of them, on the file statements of many rows each. Meant for
// whole tables written inside a Transaccion: a failure (thrown by anadir or
// terminar, or the carga ended without terminar) leaves the rows sent so far
// for that transaction to undo. Until the carga ends its connection is used
// for nothing else.
class Carga {
public:
    // Names are those of the table and of the columns each row fills, in order.
    Carga(Conexion &c, const QString &tabla, const QStringList &columnas);
    ~Carga();
    Carga(const Carga &) = delete;
    Carga &operator=(const Carga &) = delete;
    // Adds whole rows: as many values as columns for each, one row after
    // another.
    void anadir(const Parametros &valores);
    // Ends the carga; throws DbError when the engine refused a row.
    void terminar();

private:
    Conexion &m_c;
    qsizetype m_columnas;
    bool m_abierta = true;
};

// Scope guard for a unit of work that must happen whole or not at all. It
// ends with an explicit commit(); destroyed without one, it undoes its work,
// so an exception never leaves half a write.
//
// Guards nest. The first guard on a connection opens the transaction; a guard
// created while one is open joins it with a savepoint:
// - the inner commit() keeps the inner work as part of the outer
//   transaction; it is written to the file only when the outermost guard
//   commits, and an outer rollback undoes it;
// - an inner guard destroyed without commit() rolls back to its savepoint
//   only: the outer work before it stays, and the outer transaction stays
//   usable (a caller may catch the inner error and go on or roll back).
// So the window that holds an operation opens the outermost guard, and a data
// module that needs atomicity of its own (a delete with its dependent rows)
// opens a guard as well: alone it is the transaction, inside an operation it
// is a part of it. Guards must end in the reverse order of their creation
// (they are scoped objects). If the engine itself abandoned the whole
// transaction, every later statement on the connection fails until the
// outermost guard ends, so no write runs outside the transaction.
// A statement that fails leaves a server's transaction failed: it takes no
// more statements (nor a commit) until the innermost guard undoes its part,
// or the whole transaction ends. Code that goes on after a failed statement
// runs that statement in a guard of its own (the file would take more).
class Transaccion {
public:
    explicit Transaccion(Conexion &c);
    ~Transaccion();
    void commit();
    Transaccion(const Transaccion &) = delete;
    Transaccion &operator=(const Transaccion &) = delete;

private:
    Conexion &m_c;
    int m_punto = 0; // 0: outermost guard; otherwise its savepoint number
    bool m_terminada = false;
};

// While alive, commits on the connection do not wait for the disk: the file
// stays whole, but a power cut may lose the last commits. Only for work
// tables rebuilt on demand (a report's rows), never for the club's records.
// Opened inside a transaction it changes nothing (the outer commit decides).
class SinEsperarDisco {
public:
    explicit SinEsperarDisco(Conexion &c);
    ~SinEsperarDisco();
    SinEsperarDisco(const SinEsperarDisco &) = delete;
    SinEsperarDisco &operator=(const SinEsperarDisco &) = delete;

private:
    Conexion &m_c;
    bool m_activo;
};

// Spanish ordering for lists ordered by a description: ORDER BY x COLLATE ES.
inline constexpr const char *kCollateEs = " COLLATE ES";
