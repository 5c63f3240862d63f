#include "Esquema.h"

#include "Conexion.h"
#include "Dialecto.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
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
QList<Objeto> leerObjetosDelEsquema()
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

// Functions of earlier versions on a server, by name and arguments as the
// catalogue gives them: the counts' triggers, written apart for the server.
const char *const kFuncionesRetiradas[] = {"reservas_cuenta_paso(cliente bigint, cancha citext, paso bigint)",
                                           "reservas_cuenta()"};

// What a server's schema is made of, in the order it is made: the tables
// (with the indexes that keep their keys), indexes, views and triggers of
// the schema, then what postgresql.sql adds, then each numbered table's
// trigger that moves its numbering on past a number given by hand.
QList<Objeto> leerObjetosDelServidor();

// Both lists are read from the program's own resources: made once.
const QList<Objeto> &objetosDelEsquema()
{
    static const QList<Objeto> l = leerObjetosDelEsquema();
    return l;
}
const QList<Objeto> &objetosDelServidor()
{
    static const QList<Objeto> l = leerObjetosDelServidor();
    return l;
}

QList<Objeto> leerObjetosDelServidor()
{
    QList<Objeto> l;
    static const QRegularExpression indice(QStringLiteral("^CREATE\\s+UNIQUE\\s+INDEX\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const Objeto &o : objetosDelEsquema()) {
        // The file's triggers, the counts' among them, are the server's too:
        // each a function and the trigger that runs it.
        if (o.tipo == QLatin1String("trigger")) {
            const QStringList d = Dialecto::disparadorPostgresql(o.sentencia);
            if (!d.isEmpty())
                l << Objeto{QStringLiteral("function"), o.nombre.toLower(), d[0]}
                  << Objeto{QStringLiteral("trigger"), o.nombre.toLower(), d[1]};
            continue;
        }
        const QString s = Dialecto::ddlPostgresql(o.tipo, o.sentencia);
        if (!s.isEmpty())
            l.append({o.tipo, o.nombre.toLower(), s});
        if (o.tipo == QLatin1String("table"))
            for (const QString &clave : Dialecto::clavesPostgresql(o.sentencia))
                l.append({QStringLiteral("index"), indice.match(clave).captured(1), clave});
    }
    // A function's body, between $$, holds semicolons of its own.
    static const QRegularExpression comentario(QStringLiteral("--[^\\n]*"));
    static const QRegularExpression crear(
        QStringLiteral("^CREATE\\s+(?:OR\\s+REPLACE\\s+(FUNCTION|TRIGGER)|UNIQUE\\s+(INDEX))\\s+(\\w+)"),
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
        // Only what can be run again over its former self is made here, and
        // indexes, made when missing.
        const QRegularExpressionMatch m = crear.match(sentencia);
        if (!m.hasMatch())
            throw DbError(3000, QStringLiteral("Sentencia del servidor que no se puede repetir: %1").arg(sentencia));
        l.append({(m.captured(1) + m.captured(2)).toLower(), m.captured(3).toLower(), sentencia});
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

// The statements that turn the citext codes of a table an earlier version
// made on a server into codigo. Its triggers go first (a trigger's
// condition holds the type of the columns it reads; they are made anew
// with the others), then its primary key where indexes keep the key now.
// Codes citext held apart stay apart under codigo's rule, which only ever
// keeps more of them apart.
// Forgets, in tiene, the triggers the schema puts on relacion; the names of
// those the database had.
QStringList quitarDisparadores(const QList<Objeto> &objetos, const QString &relacion, QHash<QString, QString> &tiene)
{
    QStringList l;
    for (const Objeto &o : objetos)
        if (o.tipo == QLatin1String("trigger") &&
            tablaDelDisparador(o.sentencia).compare(relacion, Qt::CaseInsensitive) == 0 &&
            tiene.remove(QStringLiteral("trigger:") + o.nombre))
            l << o.nombre;
    return l;
}

QStringList codigosDeTabla(const Objeto &tabla, const QList<Objeto> &objetos, QHash<QString, QString> &tiene)
{
    const QString prefijo = QStringLiteral("citext:") + tabla.nombre + QLatin1Char('.');
    QStringList columnas;
    for (auto it = tiene.cbegin(); it != tiene.cend(); ++it)
        if (it.key().startsWith(prefijo))
            columnas << QStringLiteral("ALTER COLUMN \"%1\" TYPE codigo").arg(it.key().mid(prefijo.size()));
    if (columnas.isEmpty())
        return {};
    columnas.sort();
    QStringList l;
    for (const QString &d : quitarDisparadores(objetos, tabla.nombre, tiene))
        l << QStringLiteral("DROP TRIGGER %1 ON %2").arg(d, tabla.nombre);
    const QString clave = QStringLiteral("ux_%1_clave").arg(tabla.nombre);
    const bool claveConIndices =
        std::any_of(objetos.cbegin(), objetos.cend(), [&](const Objeto &o) { return o.nombre == clave; });
    if (claveConIndices && tiene.remove(QStringLiteral("index:%1_pkey").arg(tabla.nombre)))
        l << QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %1_pkey").arg(tabla.nombre);
    l << QStringLiteral("ALTER TABLE %1 ").arg(tabla.nombre) + columnas.join(QStringLiteral(", "));
    return l;
}

// What the catalogue of a server's database holds of the club's schema and
// of the objects every schema shares.
struct Catalogo {
    // "kind:name" -> the comment (the print of what made it). Kinds: table,
    // index, view, function, trigger of the schema; firma (a function of
    // the schema by name and arguments); citext (a column still of that
    // type, "table.column"); and, of public, compartido:<clase>.
    QHash<QString, QString> tiene;
    QString esquema;
    int version = 0;
};

QString comentarioDeVersion()
{
    return QStringLiteral("Versión %1 del esquema de la base del club").arg(Esquema::kVersion);
}

// One look at the catalogue: it runs at every station's start.
Catalogo leerCatalogo(Conexion &c)
{
    Catalogo cat;
    for (Recordset rs = c.openRecordset(QStringLiteral(
             "WITH e AS (SELECT oid FROM pg_namespace WHERE nspname = current_schema()), "
             "p AS (SELECT oid FROM pg_namespace WHERE nspname = 'public') "
             "SELECT CASE relkind WHEN 'v' THEN 'view' WHEN 'i' THEN 'index' ELSE 'table' END, relname::text, "
             "obj_description(oid, 'pg_class') FROM pg_class WHERE relnamespace = (SELECT oid FROM e) "
             "AND relkind IN ('r', 'p', 'v', 'i') "
             "UNION ALL SELECT 'function', proname, obj_description(oid, 'pg_proc') FROM pg_proc "
             "WHERE pronamespace = (SELECT oid FROM e) "
             "UNION ALL SELECT 'firma', proname || '(' || pg_get_function_identity_arguments(oid) || ')', NULL "
             "FROM pg_proc WHERE pronamespace = (SELECT oid FROM e) "
             "UNION ALL SELECT 'trigger', t.tgname, obj_description(t.oid, 'pg_trigger') FROM pg_trigger t "
             "JOIN pg_class r ON r.oid = t.tgrelid WHERE r.relnamespace = (SELECT oid FROM e) AND NOT t.tgisinternal "
             "UNION ALL SELECT 'citext', r.relname || '.' || a.attname, NULL FROM pg_attribute a "
             "JOIN pg_class r ON r.oid = a.attrelid JOIN pg_type y ON y.oid = a.atttypid "
             "WHERE r.relnamespace = (SELECT oid FROM e) AND r.relkind = 'r' AND y.typname = 'citext' "
             "AND a.attnum > 0 AND NOT a.attisdropped "
             "UNION ALL SELECT 'compartido:function', proname || '(' || "
             "replace(pg_get_function_identity_arguments(oid), ' ', '') || ')', obj_description(oid, 'pg_proc') "
             "FROM pg_proc WHERE pronamespace = (SELECT oid FROM p) "
             "UNION ALL SELECT 'compartido:domain', typname, NULL FROM pg_type "
             "WHERE typnamespace = (SELECT oid FROM p) AND typtype = 'd' "
             "UNION ALL SELECT 'compartido:operator', oprname || '(' || format_type(oprleft, NULL) || ',' || "
             "format_type(oprright, NULL) || ')', NULL FROM pg_operator WHERE oprnamespace = (SELECT oid FROM p) "
             "UNION ALL SELECT 'compartido:collation', collname, NULL FROM pg_collation "
             "WHERE collnamespace = (SELECT oid FROM p) "
             "UNION ALL SELECT 'compartido:extension', extname, NULL FROM pg_extension "
             "UNION ALL SELECT 'esquema', current_schema(), (SELECT obj_description(oid, 'pg_class') FROM pg_class "
             "WHERE relname = 't_numeradores' AND relnamespace = (SELECT oid FROM e))"));
         !rs.eof(); rs.moveNext()) {
        if (rs.texto(0) == QLatin1String("esquema")) {
            cat.esquema = rs.texto(1);
            cat.version = Esquema::versionDelComentario(rs.texto(2));
        } else {
            cat.tiene.insert(rs.texto(0) + QLatin1Char(':') + rs.texto(1), rs.texto(2));
        }
    }
    return cat;
}

// A station never writes over a schema of a version newer than its own.
void comprobarVersion(int version)
{
    if (version > Esquema::kVersion)
        throw DbError(3041, QStringLiteral("La base de datos fue puesta al día por una versión más nueva del "
                                           "programa (esquema %1; esta versión usa el esquema %2). Actualice el "
                                           "programa en este equipo.")
                                .arg(version)
                                .arg(Esquema::kVersion));
}

// The statements that bring the shared objects of c's database to this
// version's, in order: the missing ones made, and the functions made
// otherwise made anew, with the indexes that compute with them (an index
// keeps what a function gave when its rows were written; made anew rather
// than rebuilt, as a connection keeps the expressions of an index it has
// used). A function made by a newer version is left as it is: its schema
// may rely on it.
QStringList cambiosCompartidos(const Catalogo &cat)
{
    QStringList cambios;
    for (const Dialecto::Compartido &o : Dialecto::compartidosPostgresql()) {
        const auto it = cat.tiene.constFind(QStringLiteral("compartido:") + o.clase + QLatin1Char(':') + o.nombre);
        const QString firma = QString::number(Esquema::kVersion) + QLatin1Char(' ') + huella(o.sentencia);
        if (it != cat.tiene.cend()) {
            if (o.comentario.isEmpty() || *it == firma ||
                Esquema::versionDelComentario(it->section(' ', 0, 0)) > Esquema::kVersion)
                continue;
        }
        cambios << o.sentencia;
        if (o.comentario.isEmpty())
            continue;
        cambios << QStringLiteral("COMMENT ON %1 IS '%2'").arg(o.comentario, firma);
        if (it != cat.tiene.cend() && o.comentario.startsWith(QLatin1String("FUNCTION ")))
            cambios << QStringLiteral("DO $$ DECLARE i record; BEGIN FOR i IN SELECT DISTINCT d.objid::regclass AS "
                                      "nombre, pg_get_indexdef(d.objid) AS sentencia FROM pg_depend d "
                                      "JOIN pg_index x ON x.indexrelid = d.objid "
                                      "WHERE d.classid = 'pg_class'::regclass AND d.refclassid = 'pg_proc'::regclass "
                                      "AND d.refobjid = '%1'::regprocedure LOOP "
                                      "EXECUTE 'DROP INDEX ' || i.nombre::text; EXECUTE i.sentencia; END LOOP; END $$")
                           .arg(o.comentario.mid(9));
    }
    return cambios;
}

// The statements that bring the server's schema of c to this version's, in
// order; none when it is up to date. Tables and indexes are made when
// missing; views, functions and triggers also when made otherwise. A table
// of an earlier version whose codes are citext gets them as codigo, its key
// as the indexes that keep it now. The tables of counts are then counted
// afresh (when they, or a function or trigger keeping them, were missing or
// different), and a numbered table whose trigger was missing has its
// numbering moved past its highest number.
QStringList cambiosServidor(const Catalogo &cat)
{
    QHash<QString, QString> tiene = cat.tiene;
    const QList<Objeto> objetos = objetosDelServidor();
    QStringList cambios;
    QStringList numerar;
    bool recontar = false;
    for (const Objeto &o : objetos) {
        if (o.tipo == QLatin1String("table") && tiene.contains(QStringLiteral("table:") + o.nombre))
            cambios << codigosDeTabla(o, objetos, tiene);
        const auto it = tiene.constFind(o.tipo + QLatin1Char(':') + o.nombre);
        const bool conHuella = o.tipo != QLatin1String("table") && o.tipo != QLatin1String("index");
        if (it != tiene.cend() && (!conHuella || *it == huella(o.sentencia)))
            continue;
        if (o.tipo == QLatin1String("view")) {
            cambios << QStringLiteral("DROP VIEW IF EXISTS %1").arg(o.nombre);
            // Its triggers go with it.
            quitarDisparadores(objetos, o.nombre, tiene);
        }
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
    // Once no trigger runs them.
    for (const char *f : kFuncionesRetiradas)
        if (tiene.contains(QStringLiteral("firma:") + QLatin1String(f)))
            cambios << QStringLiteral("DROP FUNCTION ") + QLatin1String(f);
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

// Everything a server's database needs to be at this version, in order:
// the shared objects, then the schema's.
struct Plan {
    QStringList compartidos;
    QStringList esquema;
    bool vacio() const { return compartidos.isEmpty() && esquema.isEmpty(); }
};

Plan planServidor(const Catalogo &cat) { return {cambiosCompartidos(cat), cambiosServidor(cat)}; }

// Runs bloquear, which takes a lock until the open transaction ends,
// waiting at most as long as the lock_timeout set (espera): a station that
// waited that long for another one's update is told so.
void esperarActualizacion(const std::function<void()> &bloquear, std::chrono::milliseconds espera)
{
    try {
        bloquear();
    } catch (const DbError &e) {
        if (e.numero() != 3260)
            throw;
        throw DbError(3260, QStringLiteral("Otra estación está poniendo al día la base de datos y no terminó en %1 "
                                           "segundos.")
                                .arg((espera.count() + 999) / 1000));
    }
}

// Brings a server's database to this version inside c's transaction
// (joined, or one of its own).
void ponerAlDiaServidor(Conexion &c, std::chrono::milliseconds espera)
{
    Catalogo cat = leerCatalogo(c);
    comprobarVersion(cat.version);
    Plan plan = planServidor(cat);
    if (plan.vacio() && cat.version == Esquema::kVersion)
        return;
    Transaccion t(c);
    // The wait for another station's update, and for the locks of tables
    // other stations are reading, is bounded.
    const QString antes = c.openRecordset(QStringLiteral("SELECT current_setting('lock_timeout')")).texto(0);
    c.execute(QStringLiteral("SELECT set_config('lock_timeout', ?, true)"),
              {QString::number(std::max<qint64>(1, espera.count())) + QStringLiteral("ms")});
    const auto compartidos = [&] {
        esperarActualizacion(
            [&] { c.execute(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {Dialecto::kBloqueoCompartidos}); },
            espera);
    };
    const bool conCompartidos = !plan.compartidos.isEmpty();
    if (conCompartidos)
        compartidos();
    esperarActualizacion([&] { c.bloquear(QStringLiteral("esquema:") + cat.esquema); }, espera);
    // Looked at again under the locks: another station may have brought the
    // database up to date, or further, while this one waited.
    cat = leerCatalogo(c);
    comprobarVersion(cat.version);
    plan = planServidor(cat);
    if (!plan.compartidos.isEmpty() && !conCompartidos)
        compartidos();
    for (const QString &s : std::as_const(plan.compartidos))
        c.executeScript(s);
    for (const QString &s : std::as_const(plan.esquema))
        c.executeScript(s);
    if (cat.version != Esquema::kVersion)
        c.executeScript(QStringLiteral("COMMENT ON TABLE t_numeradores IS '%1'").arg(comentarioDeVersion()));
    c.execute(QStringLiteral("SELECT set_config('lock_timeout', ?, true)"), {antes});
    t.commit();
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

int Esquema::versionDelComentario(const QString &comentario)
{
    static const QRegularExpression numero(QStringLiteral("(\\d+)"));
    return numero.match(comentario).captured(1).toInt();
}

int Esquema::versionDe(Conexion &c)
{
    if (c.esServidor())
        return leerCatalogo(c).version;
    return static_cast<int>(c.openRecordset(QStringLiteral("PRAGMA user_version")).entero(0));
}

void Esquema::crearBase(const QString &ruta)
{
    iniciarRecursos();
    std::unique_ptr<Conexion> c(Conexion::crear(ruta, claveBase()));
    Transaccion t(*c);
    c->executeScript(leerRecurso(QStringLiteral(":/db/schema.sql")));
    c->executeScript(leerRecurso(QStringLiteral(":/db/seed.sql")));
    c->execute(QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
    t.commit();
}

namespace {
// The schema named, when one is (the connection already takes it as its own).
void crearEsquema(Conexion &c, const QString &esquema)
{
    if (!esquema.isEmpty())
        c.execute(QStringLiteral("CREATE SCHEMA IF NOT EXISTS \"%1\"").arg(QString(esquema).remove(QLatin1Char('"'))));
}
} // namespace

void Esquema::crearTablas(Conexion &c, const QString &esquema)
{
    iniciarRecursos();
    Transaccion t(c);
    // On a server, the schema and what every schema relies on, made as an
    // update makes them (another station's newer ones left alone).
    if (c.esServidor()) {
        crearEsquema(c, esquema);
        c.execute(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {Dialecto::kBloqueoCompartidos});
        for (const QString &s : cambiosCompartidos(leerCatalogo(c)))
            c.executeScript(s);
    }
    if (!c.tablas().isEmpty())
        throw DbError(3204, QStringLiteral("La base de datos de destino ya tiene tablas: solo se copia un club en "
                                           "una base vacía."));
    for (const Objeto &o : c.esServidor() ? objetosDelServidor() : objetosDelEsquema())
        if (o.tipo == QLatin1String("table"))
            c.executeScript(o.sentencia);
    t.commit();
}

void Esquema::crearBaseServidor(const DatosServidor &d, std::chrono::milliseconds espera)
{
    iniciarRecursos();
    std::unique_ptr<Conexion> c(Conexion::abrirServidor(d));
    Transaccion t(*c);
    crearEsquema(*c, d.esquema);
    // A database that already holds the club's tables is never written over.
    if (c->existeTabla(QStringLiteral("t_numeradores")))
        throw DbError(3204, QStringLiteral("La base de datos '%1' ya existe.").arg(d.base));
    // Made as the update of an empty schema makes it; the shipped rows then
    // move each numbering on past their numbers.
    ponerAlDiaServidor(*c, espera);
    c->executeScript(leerRecurso(QStringLiteral(":/db/seed.sql")));
    t.commit();
}

void Esquema::actualizar(Conexion &c, std::chrono::milliseconds espera)
{
    iniciarRecursos();
    if (c.esServidor()) {
        ponerAlDiaServidor(c, espera);
        return;
    }
    const int antes = versionDe(c);
    comprobarVersion(antes);
    if (antes == kVersion && cambiosPendientes(c).isEmpty())
        return;
    Transaccion t(c);
    // Looked at again under the lock: another station may have brought the
    // file up to date while this one waited for it.
    const int version = versionDe(c);
    comprobarVersion(version);
    for (const QString &s : cambiosPendientes(c))
        c.execute(s);
    if (version != kVersion)
        c.execute(QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
    t.commit();
}
