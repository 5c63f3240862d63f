#pragma once
// What one database engine does for Conexion: run a statement, read a query
// into a Recordset, run a script, tell an abandoned transaction, and the few
// things only an engine knows (the last key made, its columns). Conexion
// keeps the transaction and savepoint bookkeeping shared by every engine.
#include "Conexion.h"
#include "Copias.h"
#include "Dialecto.h"

#include <memory>

class Motor {
public:
    virtual ~Motor() = default;
    virtual TipoMotor tipo() const = 0;
    // One statement with its values bound by position (?); rows changed.
    // A text holding more than one statement is refused (DbError 3142).
    virtual int ejecutar(const QString &sql, const Parametros &valores) = 0;
    // One query: its column names, declared types and every row into rs.
    virtual void consultar(const QString &sql, const Parametros &valores, Recordset &rs) = 0;
    // One query read filas rows at a time, each block handed to cadaBloque
    // before the next is read (see Conexion::leerPorBloques).
    virtual void consultarPorBloques(const QString &sql, const Parametros &valores, int filas,
                                     const std::function<void(Recordset &)> &cadaBloque) = 0;
    // Rows added to one table as fast as the engine takes them (see Carga):
    // begun, given the values of whole rows, and ended; ended without
    // confirmar, what was sent is dropped when the engine can and nothing
    // is thrown.
    virtual void iniciarCarga(const QString &tabla, const QStringList &columnas) = 0;
    virtual void cargar(const Parametros &valores) = 0;
    virtual void terminarCarga(bool confirmar) = 0;
    // Several statements without values.
    virtual void ejecutarGuion(const QString &sql) = 0;
    // True when the engine rolled the open transaction back on its own.
    virtual bool transaccionPerdida() const = 0;
    // True when a statement failed inside the open transaction and the
    // engine takes no more of it until it is undone to a savepoint or whole.
    virtual bool transaccionFallida() const { return false; }
    // What a statement is told once the open transaction was lost.
    virtual DbError errorTransaccionPerdida() const
    {
        return DbError(3000, QStringLiteral("La transacción en curso se deshizo; la operación no se completó."));
    }
    // Rolls back whatever is open, ignoring errors (after a failed undo).
    virtual void abandonar() = 0;
    // Called before a statement run outside any transaction: a connection
    // that was lost (a server stopped or restarted) is made again, with its
    // settings; throws DbError 3024 while the server cannot be reached.
    virtual void reanudar() {}
    virtual qint64 ultimoId() const = 0;
    // Makes every committed write part of what a copy of the database holds.
    virtual void consolidar() = 0;
    // The columns of a table in lower case; none when there is no such table.
    virtual QStringList columnas(const QString &tabla) = 0;
    // The names of the database's own tables, in order of name.
    virtual QStringList tablas() = 0;
    // Commits wait for the disk (true, the default) or not.
    virtual void esperarDisco(bool esperar) = 0;
    // The SQLCipher handle, for the file copy of the backup; none on others.
    virtual sqlite3 *sqlite() const { return nullptr; }
    // Empties tabla at once, without running its triggers row by row (a
    // reset of years of rows), inside the caller's transaction; the triggers
    // are there again afterwards. The caller sets right what they keep.
    virtual void vaciarSinDisparadores(const QString &tabla) = 0;
    // Gives back the room of deleted rows; outside any transaction.
    virtual void compactar() = 0;
    // The backup and restore of this engine's database, c being the
    // connection over this engine and clave its password (the file's). Made
    // by the backup code (core/Respaldo*.cpp), which defines each engine's.
    virtual std::unique_ptr<CopiasDeBase> copias(Conexion &c, const QString &clave) = 0;

protected:
    // Table tabla as the catalogue names it, written for a statement (found
    // whatever its case; only such a name reaches a statement's text);
    // DbError 3078 when there is none.
    QString tablaEntreComillas(const QString &tabla)
    {
        for (const QString &t : tablas())
            if (t.compare(tabla, Qt::CaseInsensitive) == 0)
                return Dialecto::identificador(t);
        throw DbError(3078, QStringLiteral("No se encontró la tabla '%1'.").arg(tabla));
    }
    // The first column of every row of a query, as texts.
    QStringList primeraColumna(const QString &sql, const Parametros &valores = {})
    {
        Recordset rs;
        consultar(sql, valores, rs);
        QStringList l;
        for (; !rs.eof(); rs.moveNext())
            l << rs.texto(0);
        return l;
    }
    // The parts of a Recordset an engine fills.
    static QStringList &nombresDe(Recordset &rs) { return rs.m_nombres; }
    static std::vector<int> &tiposDe(Recordset &rs) { return rs.m_tipos; }
    static QList<QVariant> &valoresDe(Recordset &rs) { return rs.m_valores; }
    static int &filasDe(Recordset &rs) { return rs.m_filas; }
};
