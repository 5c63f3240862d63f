#include "Esquema.h"

#include "Conexion.h"
#include "Dialecto.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <memory>
#include <sqlite3.h>

// Resources of a static library must be initialised from the global namespace.
static void iniciarRecursos() { Q_INIT_RESOURCE(basedatos); }

namespace {
QString leerRecurso(const QString &nombre)
{
    QFile f(nombre);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(3024, QStringLiteral("No se encontró el recurso %1").arg(nombre));
    return QString::fromUtf8(f.readAll());
}
// A statement as compared with the one the database keeps: spaces and
// letter case aside.
QString normalizada(const QString &sentencia) { return sentencia.simplified().toLower(); }

// A statement of the schema with what it makes.
struct Objeto {
    QString tipo; // "table", "index", "view" or "trigger"
    QString nombre;
    QString sentencia;
};

// The CREATE TABLE, INDEX, VIEW and TRIGGER statements of the schema, in its
// order. A trigger's body holds semicolons of its own: pieces are joined
// until the engine takes them for one whole statement.
QList<Objeto> objetosDelEsquema()
{
    static const QRegularExpression comentario(QStringLiteral("--[^\\n]*"));
    static const QRegularExpression crear(
        QStringLiteral("^CREATE\\s+(?:UNIQUE\\s+)?(TABLE|INDEX|VIEW|TRIGGER)\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Objeto> l;
    QString texto = leerRecurso(QStringLiteral(":/db/schema.sql"));
    texto.remove(comentario);
    QString parte;
    for (const QString &s : texto.split(QLatin1Char(';'))) {
        parte += s + QLatin1Char(';');
        if (!sqlite3_complete(parte.toUtf8().constData()))
            continue;
        parte.chop(1);
        const QString sentencia = parte.simplified();
        parte.clear();
        const QRegularExpressionMatch m = crear.match(sentencia);
        if (m.hasMatch())
            l.append({m.captured(1).toLower(), m.captured(2), sentencia});
    }
    return l;
}

// The tables of counts the triggers keep, and the statements that count
// them afresh from the reservations, in order.
const char *const kRecuentos[] = {"reservas_por_cliente", "reservas_por_cliente_cancha"};
const char *const kContar[] = {
    "INSERT INTO reservas_por_cliente (clientes_id, cantidad) "
    "SELECT clientes_id, COUNT(*) FROM reservas WHERE clientes_id IS NOT NULL GROUP BY clientes_id",
    "INSERT INTO reservas_por_cliente_cancha (clientes_id, canchas_id, cantidad) "
    "SELECT clientes_id, canchas_id, COUNT(*) FROM reservas "
    "WHERE clientes_id IS NOT NULL AND canchas_id IS NOT NULL GROUP BY clientes_id, canchas_id",
    "UPDATE reservas_por_cliente SET cancha_frecuente_id = (SELECT canchas_id FROM reservas_por_cliente_cancha c "
    "WHERE c.clientes_id = reservas_por_cliente.clientes_id ORDER BY cantidad DESC, canchas_id LIMIT 1)",
};

// The statements that empty the tables of counts and count them afresh.
QStringList recuento()
{
    QStringList l;
    for (const char *r : kRecuentos)
        l << QStringLiteral("DELETE FROM ") + QLatin1String(r);
    for (const char *s : kContar)
        l << QLatin1String(s);
    return l;
}

// Tables of the user's data made anew, with every row, when a file holds
// them defined otherwise: their codes came to compare without regard to
// letter case, which an index cannot be told afterwards.
const char *const kRehechas[] = {"caja_conceptos", "caja_movimientos"};

// Indexes an earlier version made and this one has not: the one live
// booking per court, date and slot refused an edited booking moved onto a
// taken slot, which the booking rules allow; the stamps of the closings were
// indexed with every unstamped row, now only the stamped ones are.
const char *const kIndicesRetirados[] = {"ux_reservas_turno_vivo", "ix_reservas_arqueo_anticipo",
                                         "ix_reservas_arqueo_saldo"};

// What a server's schema is made of, in the order it is made: the tables,
// indexes and views of the schema, then the functions and triggers of
// postgresql.sql, then each numbered table's trigger that moves its
// numbering on past a number given by hand.
QList<Objeto> objetosDelServidor()
{
    QList<Objeto> l;
    for (const Objeto &o : objetosDelEsquema()) {
        const QString s = Dialecto::ddlPostgresql(o.tipo, o.sentencia);
        if (!s.isEmpty())
            l.append({o.tipo, o.nombre.toLower(), s});
    }
    // A function's body, between $$, holds semicolons of its own.
    static const QRegularExpression comentario(QStringLiteral("--[^\\n]*"));
    static const QRegularExpression crear(QStringLiteral("^CREATE\\s+OR\\s+REPLACE\\s+(FUNCTION|TRIGGER)\\s+(\\w+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString texto = leerRecurso(QStringLiteral(":/db/postgresql.sql"));
    texto.remove(comentario);
    QString parte;
    for (const QString &s : texto.split(QLatin1Char(';'))) {
        parte += s;
        if (parte.count(QLatin1String("$$")) % 2) {
            parte += QLatin1Char(';');
            continue;
        }
        const QString sentencia = parte.trimmed();
        parte.clear();
        if (sentencia.isEmpty())
            continue;
        // Only what can be run again over its former self is made here.
        const QRegularExpressionMatch m = crear.match(sentencia);
        if (!m.hasMatch())
            throw DbError(3000, QStringLiteral("Sentencia del servidor que no se puede repetir: %1").arg(sentencia));
        l.append({m.captured(1).toLower(), m.captured(2).toLower(), sentencia});
    }
    for (const Objeto &o : objetosDelEsquema())
        if (o.tipo == QLatin1String("table") && o.sentencia.contains(QLatin1String("AUTOINCREMENT")))
            l.append({QStringLiteral("trigger"), QStringLiteral("tr_%1_numeracion").arg(o.nombre.toLower()),
                      QStringLiteral("CREATE OR REPLACE TRIGGER tr_%1_numeracion AFTER INSERT ON %1 FOR EACH ROW "
                                     "WHEN (NEW.id > COALESCE(pg_sequence_last_value('%1_id_seq'), 0)) "
                                     "EXECUTE FUNCTION numeracion_sigue('%1_id_seq')")
                          .arg(o.nombre)});
    return l;
}

// The table a trigger is on.
QString tablaDelDisparador(const QString &sentencia)
{
    static const QRegularExpression en(QStringLiteral("\\sON\\s+(\\w+)"), QRegularExpression::CaseInsensitiveOption);
    return en.match(sentencia).captured(1);
}

// A view, function or trigger keeps as its comment the print of the
// statement that made it: one made otherwise (by an earlier version) has
// another print, or none.
QString huella(const QString &sentencia)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(normalizada(sentencia).toUtf8(), QCryptographicHash::Md5).toHex());
}

// The statements that bring the server's schema of c to this version's, in
// order; none when it is up to date. Tables and indexes are made when
// missing; views, functions and triggers also when made otherwise. The
// tables of counts are then counted afresh (when they, or a function or
// trigger keeping them, were missing or different), and a numbered table
// whose trigger was missing has its numbering moved past its highest
// number. One look at the catalogue: it runs at every station's start.
QStringList cambiosServidor(Conexion &c)
{
    QHash<QString, QString> tiene; // "kind:name" -> print
    for (Recordset rs = c.openRecordset(QStringLiteral(
             "WITH e AS (SELECT oid FROM pg_namespace WHERE nspname = current_schema()) "
             "SELECT CASE relkind WHEN 'v' THEN 'view' WHEN 'i' THEN 'index' ELSE 'table' END, relname, "
             "obj_description(oid, 'pg_class') FROM pg_class WHERE relnamespace = (SELECT oid FROM e) "
             "AND relkind IN ('r', 'p', 'v', 'i') "
             "UNION ALL SELECT 'function', proname, obj_description(oid, 'pg_proc') FROM pg_proc "
             "WHERE pronamespace = (SELECT oid FROM e) "
             "UNION ALL SELECT 'trigger', t.tgname, obj_description(t.oid, 'pg_trigger') FROM pg_trigger t "
             "JOIN pg_class r ON r.oid = t.tgrelid WHERE r.relnamespace = (SELECT oid FROM e) AND NOT t.tgisinternal"));
         !rs.eof(); rs.moveNext())
        tiene.insert(rs.texto(0) + QLatin1Char(':') + rs.texto(1), rs.texto(2));
    QStringList cambios;
    QStringList numerar;
    bool recontar = false;
    for (const Objeto &o : objetosDelServidor()) {
        const auto it = tiene.constFind(o.tipo + QLatin1Char(':') + o.nombre);
        const bool conHuella = o.tipo != QLatin1String("table") && o.tipo != QLatin1String("index");
        if (it != tiene.cend() && (!conHuella || *it == huella(o.sentencia)))
            continue;
        if (o.tipo == QLatin1String("view"))
            cambios << QStringLiteral("DROP VIEW IF EXISTS %1").arg(o.nombre);
        cambios << o.sentencia;
        const QString firma = QStringLiteral(" IS '%1'").arg(huella(o.sentencia));
        if (o.tipo == QLatin1String("view"))
            cambios << QStringLiteral("COMMENT ON VIEW ") + o.nombre + firma;
        else if (o.tipo == QLatin1String("function"))
            cambios << QStringLiteral("COMMENT ON FUNCTION ") + o.nombre + firma;
        else if (o.tipo == QLatin1String("trigger"))
            cambios << QStringLiteral("COMMENT ON TRIGGER %1 ON %2").arg(o.nombre, tablaDelDisparador(o.sentencia)) +
                           firma;
        if (o.nombre.endsWith(QLatin1String("_numeracion")))
            numerar << tablaDelDisparador(o.sentencia);
        else
            recontar = recontar || Esquema::esRecuento(o.nombre) || o.tipo == QLatin1String("function") ||
                       o.tipo == QLatin1String("trigger");
    }
    for (const QString &t : numerar)
        cambios << QStringLiteral("SELECT setval('%1_id_seq', m) FROM (SELECT max(id) AS m FROM %1) AS n "
                                  "WHERE m > COALESCE(pg_sequence_last_value('%1_id_seq'), 0)")
                       .arg(t);
    if (recontar)
        cambios << recuento();
    for (const char *i : kIndicesRetirados)
        if (tiene.contains(QStringLiteral("index:") + QLatin1String(i)))
            cambios << QStringLiteral("DROP INDEX ") + QLatin1String(i);
    return cambios;
}

bool esRehecha(const QString &tabla)
{
    for (const char *r : kRehechas)
        if (tabla.compare(QLatin1String(r), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The statements that make table anew as the schema defines it (sentencia),
// with its rows: every column the file has is copied, so a column the
// schema lacks fails the whole update rather than being lost. An
// AUTOINCREMENT table keeps its counter, so no number is handed out twice.
QStringList rehacer(Conexion &c, const QString &tabla, const QString &sentencia)
{
    QStringList columnas;
    for (Recordset rs = c.openRecordset(QStringLiteral("PRAGMA table_info(%1)").arg(tabla)); !rs.eof(); rs.moveNext())
        columnas << QLatin1Char('"') + rs.texto(QStringLiteral("name")) + QLatin1Char('"');
    const QString anterior = tabla + QStringLiteral("_anterior");
    QStringList l{QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(tabla, anterior), sentencia,
                  QStringLiteral("INSERT INTO %1 (%3) SELECT %3 FROM %2").arg(tabla, anterior, columnas.join(','))};
    if (sentencia.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive))
        l << QStringLiteral("DELETE FROM sqlite_sequence WHERE name = '%1'").arg(tabla)
          << QStringLiteral("UPDATE sqlite_sequence SET name = '%1' WHERE name = '%2'").arg(tabla, anterior);
    l << QStringLiteral("DROP TABLE %1").arg(anterior);
    return l;
}

// The statements that bring the database of c to the schema, in order;
// none when it is up to date.
QStringList cambiosPendientes(Conexion &c)
{
    struct Existente {
        QString sentencia; // normalised
        QString tabla;
    };
    QHash<QString, Existente> tiene; // by name in lower case
    for (Recordset rs =
             c.openRecordset(QStringLiteral("SELECT name, sql, tbl_name FROM sqlite_master "
                                            "WHERE type IN ('table', 'index', 'view', 'trigger') AND sql IS NOT NULL"));
         !rs.eof(); rs.moveNext())
        tiene.insert(rs.texto(0).toLower(), {normalizada(rs.texto(1)), rs.texto(2).toLower()});
    QStringList cambios;
    bool recontar = false;
    for (const Objeto &o : objetosDelEsquema()) {
        const QString clave = o.nombre.toLower();
        const auto it = tiene.constFind(clave);
        const bool igual = it != tiene.cend() && it->sentencia == normalizada(o.sentencia);
        // Of the tables only those of counts are made anew, and those of
        // the user's data listed above with their rows; the others stay as
        // they are.
        const bool tabla = o.tipo == QLatin1String("table");
        if (igual || (tabla && it != tiene.cend() && !Esquema::esRecuento(o.nombre) && !esRehecha(o.nombre)))
            continue;
        if (tabla && it != tiene.cend() && esRehecha(o.nombre)) {
            cambios << rehacer(c, o.nombre, o.sentencia);
            // Its indexes and triggers go with the former table.
            for (auto i = tiene.begin(); i != tiene.end();)
                i = i->tabla == clave ? tiene.erase(i) : std::next(i);
            continue;
        }
        if (it != tiene.cend()) {
            cambios << QStringLiteral("DROP %1 %2").arg(o.tipo.toUpper(), o.nombre);
            // The indexes and triggers of a table or view go with it.
            for (auto i = tiene.begin(); i != tiene.end();)
                i = i->tabla == clave && i.key() != clave ? tiene.erase(i) : std::next(i);
        }
        // Counts kept by a trigger that was missing or different may be
        // wrong.
        recontar = recontar || (tabla && Esquema::esRecuento(o.nombre)) || o.tipo == QLatin1String("trigger");
        cambios << o.sentencia;
    }
    if (recontar)
        cambios << recuento();
    for (const char *i : kIndicesRetirados)
        if (tiene.contains(QLatin1String(i)))
            cambios << QStringLiteral("DROP INDEX ") + QLatin1String(i);
    return cambios;
}
} // namespace

bool Esquema::esRecuento(const QString &tabla)
{
    for (const char *r : kRecuentos)
        if (tabla.compare(QLatin1String(r), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString Esquema::claveBase() { return QStringLiteral("pwkte5813"); }

QString Esquema::textoBase()
{
    iniciarRecursos();
    return leerRecurso(QStringLiteral(":/db/schema.sql")) + leerRecurso(QStringLiteral(":/db/seed.sql"));
}

void Esquema::crearBase(const QString &ruta)
{
    iniciarRecursos();
    std::unique_ptr<Conexion> c(Conexion::crear(ruta, claveBase()));
    Transaccion t(*c);
    c->executeScript(leerRecurso(QStringLiteral(":/db/schema.sql")));
    c->executeScript(leerRecurso(QStringLiteral(":/db/seed.sql")));
    t.commit();
}

void Esquema::crearBaseServidor(const DatosServidor &d)
{
    iniciarRecursos();
    std::unique_ptr<Conexion> c(Conexion::abrirServidor(d));
    Transaccion t(*c);
    c->executeScript(Dialecto::preambuloPostgresql());
    if (!d.esquema.isEmpty())
        c->execute(QStringLiteral("CREATE SCHEMA \"%1\"").arg(QString(d.esquema).remove(QLatin1Char('"'))));
    // A database that already holds the club's tables is never written over.
    if (c->existeTabla(QStringLiteral("t_numeradores")))
        throw DbError(3204, QStringLiteral("La base de datos '%1' ya existe.").arg(d.base));
    // Made as the update of an empty schema makes it; the shipped rows then
    // move each numbering on past their numbers.
    for (const QString &s : cambiosServidor(*c))
        c->executeScript(s);
    c->executeScript(leerRecurso(QStringLiteral(":/db/seed.sql")));
    t.commit();
}

void Esquema::actualizar(Conexion &c)
{
    iniciarRecursos();
    if (c.esServidor()) {
        if (cambiosServidor(c).isEmpty())
            return;
        Transaccion t(c);
        // The objects every schema shares, as this version makes them; a
        // station waits for another one's update however long it takes.
        c.executeScript(Dialecto::preambuloPostgresql());
        // Looked at again under the lock: another station may have brought
        // the schema up to date while this one waited for it.
        c.bloquear(QStringLiteral("esquema"));
        for (const QString &s : cambiosServidor(c))
            c.executeScript(s);
        t.commit();
        return;
    }
    if (cambiosPendientes(c).isEmpty())
        return;
    Transaccion t(c);
    // Looked at again under the lock: another station may have brought the
    // file up to date while this one waited for it.
    for (const QString &s : cambiosPendientes(c))
        c.execute(s);
    t.commit();
}
