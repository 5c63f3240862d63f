#include "Dialecto.h"

#include "Conexion.h"

#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <sqlite3.h>

QString Dialecto::identificador(const QString &nombre)
{
    return QLatin1Char('"') + QString(nombre).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString Dialecto::inicioTransaccion(TipoMotor m)
{
    if (m == TipoMotor::Postgresql)
        return QStringLiteral("BEGIN");
    // The write lock is taken at once: a second writer waits or is told
    // before any work is done, never at the commit.
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString Dialecto::bloqueoTransaccion(TipoMotor m)
{
    if (m == TipoMotor::Postgresql)
        return QStringLiteral("SELECT pg_advisory_xact_lock(?)");
    return {};
}

QString Dialecto::ajustesConexion(TipoMotor m)
{
    // A station waits for another one's lock as long as the file engine
    // waits for the file, then is told the data is locked.
    if (m == TipoMotor::Postgresql)
        // A station's statements read a few rows by an index: workers of a
        // parallel plan, chosen when the planner misjudges a count, cost
        // more to start than the whole statement.
        return QStringLiteral("SET lock_timeout = '2s'; SET client_min_messages = warning; "
                              "SET max_parallel_workers_per_gather = 0;");
    // A desktop program that must not lose a confirmed write and must stay
    // fast on years of data.
    return QStringLiteral("PRAGMA journal_mode = WAL;"
                          "PRAGMA synchronous = FULL;"
                          // 32 MiB of pages: the indexes the loyalty
                          // report looks into client by client stay in
                          // memory between runs.
                          "PRAGMA cache_size = -32768;"
                          "PRAGMA temp_store = MEMORY;"
                          // A row replaced by INSERT OR REPLACE leaves
                          // through the delete triggers, which keep the
                          // counts of reservations.
                          "PRAGMA recursive_triggers = ON;");
}

QString Dialecto::esperaDisco(TipoMotor m, bool esperar)
{
    if (m == TipoMotor::Postgresql)
        return esperar ? QStringLiteral("SET synchronous_commit = on;")
                       : QStringLiteral("SET synchronous_commit = off;");
    // In write-ahead mode NORMAL skips the wait for the disk at each commit;
    // the next FULL commit makes everything before it durable again.
    return esperar ? QStringLiteral("PRAGMA synchronous = FULL;") : QStringLiteral("PRAGMA synchronous = NORMAL;");
}

DbError Dialecto::errorSqlite(int codigo, int extendido, int errnoSistema, const QString &mensaje)
{
    int numero = 3000;
    QString texto;
    switch (codigo & 0xff) {
    case SQLITE_CONSTRAINT: {
        // A trigger that keeps codes unique without regard to letter case
        // refuses a duplicate with the engine's own words.
        const bool repetidoPorDisparador =
            extendido == SQLITE_CONSTRAINT_TRIGGER && mensaje.startsWith(QLatin1String("UNIQUE constraint failed"));
        if (extendido == SQLITE_CONSTRAINT_UNIQUE || extendido == SQLITE_CONSTRAINT_PRIMARYKEY ||
            repetidoPorDisparador) {
            numero = 3022;
            texto = QStringLiteral("Los cambios no se realizaron porque crearían valores duplicados en la clave");
        } else if (extendido == SQLITE_CONSTRAINT_NOTNULL) {
            numero = 3314;
            texto = QStringLiteral("Falta un valor obligatorio");
        } else {
            numero = 3317;
            texto = QStringLiteral("Un valor no cumple una regla de la tabla");
        }
        break;
    }
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        numero = 3260;
        texto = QStringLiteral("El archivo de base de datos está bloqueado por otro proceso");
        break;
    case SQLITE_CANTOPEN:
        numero = 3024;
        texto = QStringLiteral("No se pudo abrir el archivo de base de datos");
        break;
    case SQLITE_NOTADB:
        numero = 3343;
        texto = QStringLiteral("El archivo no es una base de datos reconocida o la contraseña no es válida");
        break;
    case SQLITE_READONLY:
        numero = 3027;
        texto = QStringLiteral("La base de datos es de sólo lectura");
        break;
    case SQLITE_FULL:
        numero = 3026;
        texto = QStringLiteral("No hay espacio suficiente en el disco");
        break;
    case SQLITE_IOERR:
        // A write refused for lack of space is a full disk, whatever path
        // of the engine reported it.
        if (errnoSistema == ENOSPC) {
            numero = 3026;
            texto = QStringLiteral("No hay espacio suficiente en el disco");
        } else {
            numero = 3043;
            texto = QStringLiteral("Error de lectura o escritura en el disco");
        }
        break;
    case SQLITE_CORRUPT:
        numero = 3049;
        texto = QStringLiteral("La base de datos está dañada");
        break;
    default: texto = QStringLiteral("Error de la base de datos"); break;
    }
    return DbError(numero, texto + QStringLiteral(" (") + mensaje + QStringLiteral(")"));
}

// ---------------------------------------------------------------- server

namespace {

// A statement read as the server reads it: what is code, and what the
// server takes as written (quoted texts and names, comments, $tag$ bodies).
// Each of the latter is set aside while the code is rewritten: the text
// worked on holds two private-use characters in its place (its number),
// characters no rewrite matches and no code of the program holds.
class Apartados {
public:
    explicit Apartados(const QString &sql);
    // The statement with every set-aside part replaced by its mark.
    const QString &codigo() const { return m_codigo; }
    // Where a clause added at the end goes: before the closing blanks,
    // semicolons and comments.
    qsizetype finDelCodigo(const QString &s) const;
    // A rewritten code with what was set aside put back.
    QString unir(const QString &s) const;

private:
    static constexpr char16_t kAlto = 0xE000; // 0xE000 + number / 0x800
    static constexpr char16_t kBajo = 0xF000; // 0xF000 + number % 0x800
    static bool esAlto(QChar c) { return c.unicode() >= kAlto && c.unicode() < kBajo; }
    static bool esBajo(QChar c) { return c.unicode() >= kBajo && c.unicode() < kBajo + 0x800; }
    void apartar(const QString &trozo, bool comentario);

    QString m_codigo;
    QStringList m_trozos;
    std::vector<bool> m_comentario;
};

void Apartados::apartar(const QString &trozo, bool comentario)
{
    const qsizetype n = m_trozos.size();
    m_trozos << trozo;
    m_comentario.push_back(comentario);
    m_codigo += QChar(static_cast<char16_t>(kAlto + n / 0x800));
    m_codigo += QChar(static_cast<char16_t>(kBajo + n % 0x800));
}

Apartados::Apartados(const QString &sql)
{
    m_codigo.reserve(sql.size());
    const qsizetype n = sql.size();
    auto es = [&](qsizetype j, char16_t c) { return j < n && sql[j] == c; };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        qsizetype fin = -1;
        bool comentario = false;
        if (c == u'\'' || c == u'"') {
            // To the closing quote; a doubled quote is the quote itself.
            fin = i + 1;
            while (fin < n && !(sql[fin] == c && !es(fin + 1, c.unicode())))
                fin += sql[fin] == c ? 2 : 1;
            fin = std::min(fin + 1, n);
        } else if (c == u'-' && es(i + 1, u'-')) {
            fin = sql.indexOf(QLatin1Char('\n'), i);
            fin = fin < 0 ? n : fin;
            comentario = true;
        } else if (c == u'/' && es(i + 1, u'*')) {
            // The server's block comments nest.
            fin = i + 2;
            for (int nivel = 1; fin < n && nivel > 0;) {
                if (sql[fin] == u'/' && es(fin + 1, u'*'))
                    ++nivel, fin += 2;
                else if (sql[fin] == u'*' && es(fin + 1, u'/'))
                    --nivel, fin += 2;
                else
                    ++fin;
            }
            comentario = true;
        } else if (c == u'$' && (i == 0 || !(sql[i - 1].isLetterOrNumber() || sql[i - 1] == u'_')) &&
                   !(i + 1 < n && sql[i + 1].isDigit())) {
            // $tag$ ... $tag$, the tag a name or nothing; $1 is a value.
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            if (es(j, u'$')) {
                const QString marca = sql.mid(i, j - i + 1);
                const qsizetype cierre = sql.indexOf(marca, j + 1);
                fin = cierre < 0 ? n : cierre + marca.size();
            }
        }
        if (fin < 0) {
            m_codigo += c;
            ++i;
        } else {
            apartar(sql.mid(i, fin - i), comentario);
            i = fin;
        }
    }
}

qsizetype Apartados::finDelCodigo(const QString &s) const
{
    qsizetype fin = s.size();
    while (fin > 0) {
        const QChar c = s[fin - 1];
        if (fin >= 2 && esBajo(c) && esAlto(s[fin - 2]) &&
            m_comentario[(s[fin - 2].unicode() - kAlto) * 0x800 + c.unicode() - kBajo])
            fin -= 2;
        else if (c.isSpace() || c == u';')
            --fin;
        else
            break;
    }
    return fin;
}

QString Apartados::unir(const QString &s) const
{
    QString r;
    r.reserve(s.size() + 64);
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (esAlto(s[i]) && i + 1 < s.size() && esBajo(s[i + 1])) {
            r += m_trozos[(s[i].unicode() - kAlto) * 0x800 + s[i + 1].unicode() - kBajo];
            ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

} // namespace

QByteArray Dialecto::sentenciaPostgresql(const QString &sql, int &parametros)
{
    // Only the code is rewritten; quoted texts and names, comments and
    // $tag$ bodies reach the server as written.
    const Apartados a(sql);
    const QString &codigo = a.codigo();
    // Values are numbered ($1, $2, ...) where the file engine takes ?.
    QString s;
    s.reserve(codigo.size() + 16);
    parametros = 0;
    int siguiente = 0;
    for (qsizetype i = 0; i < codigo.size(); ++i) {
        if (codigo[i] != u'?') {
            s += codigo[i];
            continue;
        }
        // ?NNN names the value by its number, as $NNN; a bare ? takes the
        // one after the highest so far.
        qsizetype fin = i + 1;
        while (fin < codigo.size() && codigo[fin].isDigit())
            ++fin;
        const int n = fin > i + 1 ? codigo.mid(i + 1, fin - i - 1).toInt() : siguiente + 1;
        siguiente = std::max(siguiente, n);
        parametros = siguiente;
        s += QLatin1Char('$') + QString::number(n);
        i = fin - 1;
    }
    // The file's schema of temporary tables is temp; the server's pg_temp.
    static const QRegularExpression temporal(QStringLiteral("\\btemp\\."), QRegularExpression::CaseInsensitiveOption);
    s.replace(temporal, QStringLiteral("pg_temp."));
    // LIKE ignores the case of ASCII letters on the file; ILIKE does here.
    static const QRegularExpression like(QStringLiteral("\\bLIKE\\b"), QRegularExpression::CaseInsensitiveOption);
    s.replace(like, QStringLiteral("ILIKE"));
    // A table made while the program runs is written as the schema's are.
    static const QRegularExpression crearTabla(QStringLiteral("^\\s*CREATE\\s+(TEMP\\s+)?TABLE\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (s.contains(crearTabla))
        s = ddlPostgresql(QStringLiteral("table"), s);
    // An exact comparison of a code: the case-ignoring text compared as
    // plain text, byte by byte.
    static const QRegularExpression exacta(QStringLiteral("\\s+COLLATE\\s+BINARY\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    s.replace(exacta, QStringLiteral("::text COLLATE \"C\""));
    // INSERT OR REPLACE of the program names the key first.
    static const QRegularExpression reemplazar(
        QStringLiteral("^\\s*INSERT\\s+OR\\s+REPLACE\\s+INTO\\s+(\\w+)\\s*\\(([^)]*)\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch r = reemplazar.match(s);
    if (r.hasMatch()) {
        const QStringList columnas = r.captured(2).split(QLatin1Char(','));
        QStringList cambios;
        for (qsizetype i = 1; i < columnas.size(); ++i)
            cambios << columnas[i].trimmed() + QStringLiteral(" = EXCLUDED.") + columnas[i].trimmed();
        s.replace(r.capturedStart(0), r.capturedLength(0),
                  QStringLiteral("INSERT INTO %1 (%2)").arg(r.captured(1), r.captured(2)));
        s.insert(a.finDelCodigo(s),
                 QStringLiteral(" ON CONFLICT (%1) DO ").arg(columnas.first().trimmed()) +
                     (cambios.isEmpty() ? QStringLiteral("NOTHING")
                                        : QStringLiteral("UPDATE SET ") + cambios.join(QStringLiteral(", "))));
    }
    static const QRegularExpression ignorar(QStringLiteral("^\\s*INSERT\\s+OR\\s+IGNORE\\s+INTO\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (s.contains(ignorar)) {
        s.replace(ignorar, QStringLiteral("INSERT INTO"));
        s.insert(a.finDelCodigo(s), QStringLiteral(" ON CONFLICT DO NOTHING"));
    }
    return a.unir(s).toUtf8();
}

DbError Dialecto::errorPostgresql(const QByteArray &estado, const QString &mensaje)
{
    int numero = 3000;
    QString texto = QStringLiteral("Error de la base de datos");
    if (estado == "23505") {
        numero = 3022;
        texto = QStringLiteral("Los cambios no se realizaron porque crearían valores duplicados en la clave");
    } else if (estado == "23502") {
        numero = 3314;
        texto = QStringLiteral("Falta un valor obligatorio");
    } else if (estado.startsWith("23")) {
        numero = 3317;
        texto = QStringLiteral("Un valor no cumple una regla de la tabla");
    } else if (estado == "55P03" || estado == "40001" || estado == "40P01") {
        // Waited too long for another station's lock, or two stations met
        // on the same rows: as a locked file, the user tries again.
        numero = 3260;
        texto = QStringLiteral("El archivo de base de datos está bloqueado por otro proceso");
    } else if (estado == "42601" && mensaje.contains(QLatin1String("multiple commands"))) {
        numero = 3142;
        texto = QStringLiteral("Hay caracteres después del final de la instrucción SQL.");
    } else if (estado == "08006" || estado == "08007") {
        // The connection was lost while the program ran (08007: with a
        // transaction open, which the server dropped whole).
        numero = 3024;
        texto = estado == "08007"
                    ? QStringLiteral("Se perdió la conexión con el servidor de base de datos: la operación en curso "
                                     "no se guardó. ")
                    : QStringLiteral("No se puede conectar con el servidor de base de datos. ");
        texto += QStringLiteral("Verifique que el servidor esté en marcha y repita la acción: el programa vuelve a "
                                "conectarse solo");
    } else if (estado.startsWith("08") || estado == "57P01" || estado == "28P01" || estado == "28000") {
        numero = 3024;
        texto = QStringLiteral("No se pudo conectar con el servidor de base de datos");
    } else if (estado == "53100") {
        numero = 3026;
        texto = QStringLiteral("No hay espacio suficiente en el disco");
    } else if (estado == "42501") {
        numero = 3033;
        texto = QStringLiteral("No tiene autorización");
    }
    if (mensaje.isEmpty())
        return DbError(numero, texto);
    return DbError(numero, texto + QStringLiteral(" (") + mensaje + QStringLiteral(")"));
}

namespace {
constexpr char16_t kEscape = 0xFFFF;
}

QByteArray Dialecto::textoAlServidor(const QString &texto)
{
    if (!texto.contains(QChar(u'\0')) && !texto.contains(QChar(kEscape)))
        return texto.toUtf8();
    QString s;
    s.reserve(texto.size() + 8);
    for (QChar c : texto) {
        if (c.unicode() == 0)
            s += QChar(kEscape), s += QLatin1Char('0');
        else if (c.unicode() == kEscape)
            s += QChar(kEscape), s += QChar(kEscape);
        else
            s += c;
    }
    return s.toUtf8();
}

QString Dialecto::textoDelServidor(const char *datos, int largo)
{
    const QByteArrayView bytes(datos, largo);
    QString t = QString::fromUtf8(bytes);
    if (!bytes.contains(QByteArrayView("\xEF\xBF\xBF")))
        return t;
    // Only the pairs textoAlServidor writes are read back; any other U+FFFF
    // was not written by it and stays.
    QString s;
    s.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar siguiente = i + 1 < t.size() ? t.at(i + 1) : QChar();
        if (t.at(i).unicode() == kEscape && (siguiente == u'0' || siguiente.unicode() == kEscape)) {
            s += siguiente == u'0' ? QChar(u'\0') : siguiente;
            ++i;
        } else {
            s += t.at(i);
        }
    }
    return s;
}
