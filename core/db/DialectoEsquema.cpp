// The server's form of the schema: its tables, keys and triggers as the
// server makes them, and the objects every schema of its database shares.
#include "Dialecto.h"

#include <QRegularExpression>

namespace {

// A CREATE TABLE of the schema taken apart: its name, each column or table
// constraint as written, and the columns of its key.
struct Tabla {
    QString nombre;
    QString cabeza; // "CREATE TABLE nombre ("
    QStringList partes;
    QString cola; // ")" and what follows
    QStringList clave;
};

bool esCodigo(const QString &definicion)
{
    static const QRegularExpression nocase(QStringLiteral("\\bCOLLATE\\s+NOCASE\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return definicion.contains(nocase);
}

QString nombreDe(const QString &parte) { return parte.trimmed().section(QLatin1Char(' '), 0, 0); }

bool esRestriccion(const QString &parte)
{
    static const QRegularExpression r(QStringLiteral("^\\s*(PRIMARY\\s+KEY|UNIQUE|CHECK|FOREIGN|CONSTRAINT)\\b"),
                                      QRegularExpression::CaseInsensitiveOption);
    return parte.contains(r);
}

Tabla partirTabla(const QString &sentencia)
{
    static const QRegularExpression cabeza(QStringLiteral("^\\s*CREATE\\s+(?:TEMP\\s+)?TABLE\\s+(?:IF\\s+NOT\\s+"
                                                          "EXISTS\\s+)?([\\w.]+)\\s*\\("),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression primaria(QStringLiteral("\\bPRIMARY\\s+KEY\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    Tabla t;
    const QRegularExpressionMatch m = cabeza.match(sentencia);
    const qsizetype fin = sentencia.lastIndexOf(QLatin1Char(')'));
    if (!m.hasMatch() || fin < m.capturedEnd())
        return t;
    t.nombre = m.captured(1);
    t.cabeza = sentencia.left(m.capturedEnd());
    t.cola = sentencia.mid(fin);
    int nivel = 0;
    QString parte;
    for (qsizetype i = m.capturedEnd(); i < fin; ++i) {
        const QChar c = sentencia[i];
        if (c == QLatin1Char(',') && nivel == 0) {
            t.partes << parte;
            parte.clear();
            continue;
        }
        nivel += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
        parte += c;
    }
    t.partes << parte;
    for (const QString &p : std::as_const(t.partes)) {
        if (!p.contains(primaria))
            continue;
        if (!esRestriccion(p)) {
            t.clave << nombreDe(p);
            continue;
        }
        const QString lista = p.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
        for (const QString &c : lista.split(QLatin1Char(',')))
            t.clave << c.simplified();
    }
    return t;
}

// The definition of a column of t by name, empty when there is none.
QString columna(const Tabla &t, const QString &nombre)
{
    for (const QString &p : t.partes)
        if (!esRestriccion(p) && nombreDe(p).compare(nombre, Qt::CaseInsensitive) == 0)
            return p;
    return {};
}

// True when t's key holds a code: the server keeps such a key with the
// indexes of clavesPostgresql instead of its own.
bool claveConCodigo(const Tabla &t)
{
    for (const QString &k : t.clave)
        if (esCodigo(columna(t, nombreDe(k))))
            return true;
    return false;
}

// A code as the file's case-ignoring comparison sees it: ASCII letters
// folded, every other character as it is (lower() under the "C" collation).
QString plegadoAscii(const QString &columna) { return QStringLiteral("lower(%1::text COLLATE \"C\")").arg(columna); }

} // namespace

QString Dialecto::ddlPostgresql(const QString &tipo, const QString &sentencia)
{
    // A trigger is a function and a trigger there (disparadorPostgresql).
    if (tipo == QLatin1String("trigger"))
        return {};
    struct Cambio {
        const char *de;
        const char *a;
    };
    static const Cambio cambios[] = {
        {"\\bINTEGER\\s+PRIMARY\\s+KEY\\s+AUTOINCREMENT\\b", "BIGSERIAL PRIMARY KEY"},
        // Codes compare as the file's COLLATE NOCASE does (see the domain
        // codigo in compartidosPostgresql).
        {"\\bTEXT\\s+COLLATE\\s+NOCASE\\b", "codigo"},
        {"\\s+COLLATE\\s+BINARY\\b", ""},
        {"\\bWITHOUT\\s+ROWID\\b", ""},
        {"\\bINTEGER\\b", "BIGINT"},
        {"\\bREAL\\b", "DOUBLE PRECISION"},
        // Dates stay ISO text; the domains tell their columns apart.
        {"\\bDATETIME\\b", "fechahora"},
        {"\\bDATE\\b", "fecha"},
        {"\\bBOOLEAN\\b", "booleano"},
        {"\\bWHERE\\s+0\\s*$", "WHERE false"},
    };
    QString s = sentencia;
    if (tipo == QLatin1String("table")) {
        // A key holding a code is kept by unique indexes (clavesPostgresql):
        // a primary key would compare it as the server's citext does.
        const Tabla t = partirTabla(s);
        if (claveConCodigo(t)) {
            static const QRegularExpression primaria(QStringLiteral("\\s+PRIMARY\\s+KEY\\b"),
                                                     QRegularExpression::CaseInsensitiveOption);
            QStringList partes;
            for (QString p : std::as_const(t.partes)) {
                if (esRestriccion(p) && p.contains(primaria))
                    continue;
                if (p.contains(primaria))
                    p.replace(primaria, QStringLiteral(" NOT NULL"));
                partes << p;
            }
            s = t.cabeza + partes.join(QLatin1Char(',')) + t.cola;
        }
    }
    for (const Cambio &c : cambios)
        s.replace(QRegularExpression(QLatin1String(c.de), QRegularExpression::CaseInsensitiveOption),
                  QLatin1String(c.a));
    return s;
}

QStringList Dialecto::clavesPostgresql(const QString &sentencia)
{
    const Tabla t = partirTabla(sentencia);
    if (!claveConCodigo(t))
        return {};
    static const QRegularExpression exacta(QStringLiteral("\\s+COLLATE\\s+BINARY\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    // The key as the file compares it: a code folded as NOCASE folds it, or
    // exactly where the key says COLLATE BINARY. In a key of several
    // columns the citext column goes before its fold, so that the index
    // also serves the program's lookups (its = compares citext first).
    QStringList columnas;
    bool plegada = false;
    for (const QString &k : t.clave) {
        const QString nombre = nombreDe(k);
        if (!esCodigo(columna(t, nombre))) {
            columnas << nombre;
        } else if (k.contains(exacta)) {
            columnas << nombre << nombre + QStringLiteral(" text_ops");
        } else {
            if (t.clave.size() > 1)
                columnas << nombre;
            columnas << plegadoAscii(nombre);
            plegada = true;
        }
    }
    const QString tabla = t.nombre.toLower();
    QStringList l{QStringLiteral("CREATE UNIQUE INDEX ux_%1_clave ON %1 (%2)").arg(tabla, columnas.join(", "))};
    // A key of one code folded: its column as written, unique, is what
    // ON CONFLICT (column) names and what the program's lookups use.
    if (plegada && t.clave.size() == 1) {
        const QString nombre = nombreDe(t.clave.first());
        l << QStringLiteral("CREATE UNIQUE INDEX ux_%1_codigo ON %1 (%2, %2 text_ops)").arg(tabla, nombre);
    }
    return l;
}

QStringList Dialecto::disparadorPostgresql(const QString &sentencia)
{
    static const QRegularExpression partes(
        QStringLiteral("^CREATE\\s+TRIGGER\\s+(\\w+)\\s+(BEFORE|AFTER|INSTEAD\\s+OF)\\s+(.+?)\\s+ON\\s+(\\w+)\\s+"
                       "(?:FOR\\s+EACH\\s+ROW\\s+)?(?:WHEN\\s+(.+?)\\s+)?BEGIN\\s+(.*)\\bEND\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    // A trigger that refuses a row, or finds it by its rowid, keeps a rule
    // the server keeps with an index of its own (postgresql.sql).
    static const QRegularExpression propio(QStringLiteral("\\bRAISE\\s*\\(|\\browid\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ignorar(QStringLiteral("^(INSERT|UPDATE)\\s+OR\\s+IGNORE\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    // The file's IS and IS NOT compare Nulls as values.
    static const QRegularExpression noEs(QStringLiteral("\\bIS\\s+NOT\\s+(?!NULL\\b|DISTINCT\\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression es(QStringLiteral("\\bIS\\s+(?!NOT\\b|NULL\\b|DISTINCT\\b|TRUE\\b|FALSE\\b)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = partes.match(sentencia);
    if (!m.hasMatch() || sentencia.contains(propio))
        return {};
    const auto nulos = [](QString t) {
        t.replace(noEs, QStringLiteral("IS DISTINCT FROM "));
        t.replace(es, QStringLiteral("IS NOT DISTINCT FROM "));
        return t;
    };
    const QString nombre = m.captured(1);
    const QString momento = m.captured(2).simplified().toUpper();
    QStringList cuerpo;
    for (QString s : m.captured(6).split(QLatin1Char(';'))) {
        s = s.trimmed();
        if (s.isEmpty())
            continue;
        const QRegularExpressionMatch i = ignorar.match(s);
        if (i.hasMatch()) {
            // Those of the file's statements that meet a row already there
            // leave it, and add none.
            const bool alta = i.captured(1).compare(QLatin1String("INSERT"), Qt::CaseInsensitive) == 0;
            s.replace(i.capturedStart(0), i.capturedLength(0), i.captured(1));
            if (alta)
                s += QStringLiteral(" ON CONFLICT DO NOTHING");
        }
        cuerpo << nulos(s) + QLatin1Char(';');
    }
    QString pasos = cuerpo.join(QLatin1Char(' '));
    if (!m.captured(5).isEmpty())
        pasos = QStringLiteral("IF (%1) IS TRUE THEN %2 END IF;").arg(nulos(m.captured(5)), pasos);
    // After the row, what the function returns is not read; before it or
    // instead of it, the row goes on as it is.
    const QString fin = momento == QLatin1String("AFTER")
                            ? QStringLiteral("RETURN NULL;")
                            : QStringLiteral("IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW;");
    // The names in its body are the club's, whatever search path the
    // statement that fires it runs under (pg_restore's is empty).
    return {QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql SET search_path FROM "
                           "CURRENT AS $$ BEGIN %2 %3 END $$")
                .arg(nombre, pasos, fin),
            QStringLiteral("CREATE OR REPLACE TRIGGER %1 %2 %3 ON %4 FOR EACH ROW EXECUTE FUNCTION %1()")
                .arg(nombre, momento, m.captured(3).simplified(), m.captured(4))};
}

QList<Dialecto::Compartido> Dialecto::compartidosPostgresql()
{
    // Made or made anew under the lock kBloqueoCompartidos, by whichever
    // station or creation comes first.
    const auto funcion = [](const char *nombre, const char *sentencia) {
        return Compartido{QStringLiteral("function"), QLatin1String(nombre), QString::fromUtf8(sentencia),
                          QStringLiteral("FUNCTION public.") + QLatin1String(nombre)};
    };
    const auto agregado = [](const char *nombre, const char *sentencia) {
        return Compartido{QStringLiteral("function"), QLatin1String(nombre), QString::fromUtf8(sentencia),
                          QStringLiteral("AGGREGATE public.") + QLatin1String(nombre)};
    };
    // Domains, operators, the collation and the extension are made when
    // missing and never made anew: the columns of every club's tables hold
    // them. One that must change is a new one.
    const auto fijo = [](const char *clase, const char *nombre, const char *sentencia) {
        return Compartido{QLatin1String(clase), QLatin1String(nombre), QString::fromUtf8(sentencia), QString()};
    };
    return {
        fijo("extension", "citext", "CREATE EXTENSION IF NOT EXISTS citext WITH SCHEMA public"),
        fijo("collation", "es", "CREATE COLLATION IF NOT EXISTS public.es (provider = icu, locale = 'es')"),
        fijo("domain", "fecha",
             "DO $$ BEGIN CREATE DOMAIN public.fecha AS text; EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        fijo("domain", "fechahora",
             "DO $$ BEGIN CREATE DOMAIN public.fechahora AS text; EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        fijo("domain", "booleano",
             "DO $$ BEGIN CREATE DOMAIN public.booleano AS bigint; EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        // A code: citext, whose grouping, ordering (its lower case, byte by
        // byte under "C") and LIKE (ASCII letters alone without case under
        // "C") are the file's but for letters beyond ASCII, with an equality
        // of its own below.
        fijo("domain", "codigo",
             "DO $$ BEGIN CREATE DOMAIN public.codigo AS public.citext COLLATE \"C\"; "
             "EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        // Two codes are equal as the file's COLLATE NOCASE has them: when
        // equal with their ASCII letters folded, whatever the server's
        // locale. citext folds every letter, by the locale the database was
        // made with, so ÑA and ña would be one code. The citext comparison
        // stays in front, where the indexes on codes (citext's) find it,
        // and keeps its estimate of the rows; the fold of ASCII letters
        // alone then keeps apart what citext joined, written as a test the
        // planner takes to keep nearly every row (so it does not count the
        // same equality twice). Null with a Null code, as any =.
        funcion("codigo_igual(codigo,codigo)",
                "CREATE OR REPLACE FUNCTION public.codigo_igual(public.codigo, public.codigo) RETURNS boolean "
                "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1::public.citext OPERATOR(public.=) "
                "$2::public.citext AND "
                "(CASE WHEN lower($1::text COLLATE \"C\") <> lower($2::text COLLATE \"C\") THEN NULL ELSE 1 END) "
                "IS NOT NULL $$"),
        fijo("operator", "=(codigo,codigo)",
             "DO $$ BEGIN CREATE OPERATOR public.= (LEFTARG = public.codigo, RIGHTARG = public.codigo, "
             "FUNCTION = public.codigo_igual, COMMUTATOR = OPERATOR(public.=), NEGATOR = OPERATOR(public.<>), "
             "RESTRICT = eqsel, JOIN = eqjoinsel); EXCEPTION WHEN duplicate_function THEN NULL; END $$"),
        funcion("codigo_distinto(codigo,codigo)",
                "CREATE OR REPLACE FUNCTION public.codigo_distinto(public.codigo, public.codigo) RETURNS boolean "
                "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NOT ($1 OPERATOR(public.=) $2) $$"),
        fijo("operator", "<>(codigo,codigo)",
             "DO $$ BEGIN CREATE OPERATOR public.<> (LEFTARG = public.codigo, RIGHTARG = public.codigo, "
             "FUNCTION = public.codigo_distinto, COMMUTATOR = OPERATOR(public.<>), NEGATOR = OPERATOR(public.=), "
             "RESTRICT = neqsel, JOIN = neqjoinsel); EXCEPTION WHEN duplicate_function THEN NULL; END $$"),
        // The search function folds the case of every letter, as on the file.
        // Folding is lowering but for the letters whose folded form is
        // another (micro sign, long s, final sigma, Greek symbol forms), and
        // the dotted capital I, which has no single folded letter and stays.
        funcion("plegar(text)",
                "CREATE OR REPLACE FUNCTION public.plegar(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
                "AS $$ SELECT translate(replace(lower(replace($1, 'İ', U&'\\E000') COLLATE \"es-x-icu\"), "
                "U&'\\E000', 'İ'), 'µſςϐϑϕϖϰϱϵẛι', 'μsσβθφπκρεṡι') $$"),
        // A number folds to its text, as on the file.
        funcion("plegar(numeric)", "CREATE OR REPLACE FUNCTION public.plegar(numeric) RETURNS text LANGUAGE sql "
                                   "IMMUTABLE PARALLEL SAFE AS $$ SELECT $1::text $$"),
        // group_concat(x) and group_concat(x, separator) as on the file.
        funcion("group_concat_paso(text,text,text)",
                "CREATE OR REPLACE FUNCTION public.group_concat_paso(text, text, text) RETURNS text LANGUAGE sql "
                "IMMUTABLE AS $$ SELECT CASE WHEN $2 IS NULL THEN $1 WHEN $1 IS NULL THEN $2 "
                "ELSE $1 || $3 || $2 END $$"),
        funcion("group_concat_paso(text,text)",
                "CREATE OR REPLACE FUNCTION public.group_concat_paso(text, text) RETURNS text LANGUAGE sql "
                "IMMUTABLE AS $$ SELECT public.group_concat_paso($1, $2, ',') $$"),
        agregado("group_concat(text)", "CREATE OR REPLACE AGGREGATE public.group_concat(text) "
                                       "(SFUNC = public.group_concat_paso, STYPE = text)"),
        agregado("group_concat(text,text)", "CREATE OR REPLACE AGGREGATE public.group_concat(text, text) "
                                            "(SFUNC = public.group_concat_paso, STYPE = text)"),
        funcion("instr(text,text)", "CREATE OR REPLACE FUNCTION public.instr(text, text) RETURNS integer "
                                    "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT strpos($1, $2) $$"),
    };
}
