#include "Conexion.h"

#include "Plegado.h"

#include <QCollator>
#include <QFileInfo>
#include <QVarLengthArray>
#include <array>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>

DbError::DbError(int numero, const QString &descripcion)
    : std::runtime_error(descripcion.toStdString()), m_numero(numero), m_descripcion(descripcion)
{}

QString DbError::mensaje() const
{
    return QStringLiteral("Error: ") + QString::number(m_numero) + QStringLiteral(" - ") + m_descripcion;
}

// ---------------------------------------------------------------- Campo

namespace {

// A field's value read as each type; Null reads as "", 0 or an invalid date.
QString comoTexto(const QVariant &v)
{
    if (v.isNull())
        return {};
    // Most values are texts: they are shared as they are, not converted.
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString *>(v.constData());
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

double comoNumero(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

qint64 comoEntero(const QVariant &v) { return v.isNull() ? 0 : v.toLongLong(); }

bool esDigito(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int numeroDe(QStringView s)
{
    int n = 0;
    for (QChar c : s)
        n = n * 10 + (c.unicode() - '0');
    return n;
}

// A date stored as text ("yyyy-MM-dd", maybe followed by a time). The
// common shape is read digit by digit; anything else goes to Qt's reader,
// which decides as before.
QDate comoFecha(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString) {
        const QString &s = *static_cast<const QString *>(v.constData());
        if (s.size() >= 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-')) {
            const QStringView t(s);
            bool digitos = true;
            for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
                digitos = digitos && esDigito(t[i]);
            if (digitos) {
                const int anio = numeroDe(t.first(4));
                // Year 0000 is no date, as Qt's reader has it.
                return anio > 0 ? QDate(anio, numeroDe(t.sliced(5, 2)), numeroDe(t.sliced(8, 2))) : QDate();
            }
        }
        return QDate::fromString(s.left(10), Qt::ISODate);
    }
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

} // namespace

QString Campo::texto() const { return comoTexto(m_valor); }
double Campo::numero() const { return comoNumero(m_valor); }
qint64 Campo::entero() const { return comoEntero(m_valor); }
QDate Campo::fecha() const { return comoFecha(m_valor); }

QDateTime Campo::fechaHora() const
{
    if (m_valor.isNull())
        return {};
    const QString s = m_valor.toString();
    QDateTime dt = QDateTime::fromString(s.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(s.left(10), Qt::ISODate), QTime(0, 0));
    return dt;
}

// ---------------------------------------------------------------- Recordset

int Recordset::indice(const QString &nombre) const
{
    for (int i = 0; i < m_nombres.size(); ++i)
        if (m_nombres[i].compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Campo Recordset::campo(const QString &nombre) const
{
    const int i = indice(nombre);
    if (i < 0)
        throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección: %1").arg(nombre));
    return campo(i);
}

const QVariant &Recordset::valor(int i) const
{
    if (eof())
        throw DbError(3021, QStringLiteral("No hay registro actual."));
    if (i < 0 || i >= m_nombres.size())
        throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección."));
    return m_valores[static_cast<qsizetype>(m_pos) * m_nombres.size() + i];
}

Campo Recordset::campo(int i) const
{
    const QVariant &v = valor(i); // checks i first
    return Campo(m_nombres[i], v, m_tipos[i]);
}

QString Recordset::texto(int i) const { return comoTexto(valor(i)); }
double Recordset::numero(int i) const { return comoNumero(valor(i)); }
qint64 Recordset::entero(int i) const { return comoEntero(valor(i)); }
QDate Recordset::fecha(int i) const { return comoFecha(valor(i)); }

// ---------------------------------------------------------------- Conexion

namespace {

using Utf16 = QVarLengthArray<char16_t, 128>;

// The UTF-8 text as UTF-16 in out, when it holds characters of one or two
// bytes only (every Spanish text); false otherwise.
bool aUtf16(const unsigned char *p, int n, Utf16 &out)
{
    out.resize(n);
    char16_t *d = out.data();
    for (int i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            *d++ = static_cast<char16_t>(c);
            ++i;
        } else if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            *d++ = static_cast<char16_t>(((c & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        } else {
            return false;
        }
    }
    out.resize(d - out.data());
    return true;
}

// The place in Spanish order of a space (first) and of the ASCII letters,
// either case; 0 for every other byte.
constexpr std::array<unsigned char, 256> kPesoAscii = [] {
    std::array<unsigned char, 256> t{};
    t[' '] = 1;
    for (int c = 0; c < 26; ++c) {
        t['a' + c] = static_cast<unsigned char>(c + 2);
        t['A' + c] = static_cast<unsigned char>(c + 2);
    }
    return t;
}();

// A character that cannot join the one before it: the end, an ASCII one or
// a precomposed Latin-1 letter (a combining accent could).
bool sinAcento(const unsigned char *p, int n, int i) { return i >= n || p[i] < 0x80 || p[i] == 0xC3; }

// Texts equal byte for byte, but for the case of ASCII letters, up to where
// both have a different ASCII letter or a space, each standing alone, are
// ordered by those two: case counts only between texts equal otherwise.
// This settles most comparisons of names without the collator; 0 when it
// cannot tell.
int compararAscii(const unsigned char *a, int n1, const unsigned char *b, int n2)
{
    const int n = n1 < n2 ? n1 : n2;
    int i = 0;
    while (i < n && (a[i] == b[i] || (kPesoAscii[a[i]] != 0 && kPesoAscii[a[i]] == kPesoAscii[b[i]])))
        ++i;
    if (i == n)
        return 0;
    const int pa = kPesoAscii[a[i]];
    const int pb = kPesoAscii[b[i]];
    if (pa == 0 || pb == 0 || !sinAcento(a, n1, i + 1) || !sinAcento(b, n2, i + 1))
        return 0;
    return pa < pb ? -1 : 1;
}

// Spanish order, then the UTF-16 code units (so that only equal texts
// compare equal). A sort calls it many times per row: equal texts are told
// at once, most pairs of names by their first differing ASCII letters, and
// the others are compared from buffers kept between calls instead of two
// new strings each time.
int compararEs(void *, int n1, const void *s1, int n2, const void *s2)
{
    static thread_local QCollator col(QLocale(QLocale::Spanish, QLocale::Spain));
    static thread_local Utf16 x;
    static thread_local Utf16 y;
    const auto *a = static_cast<const unsigned char *>(s1);
    const auto *b = static_cast<const unsigned char *>(s2);
    if (n1 == n2 && std::memcmp(a, b, static_cast<size_t>(n1)) == 0)
        return 0;
    if (const int r = compararAscii(a, n1, b, n2))
        return r;
    if (aUtf16(a, n1, x) && aUtf16(b, n2, y)) {
        const QStringView va(x.data(), x.size());
        const QStringView vb(y.data(), y.size());
        const int r = col.compare(va, vb);
        return r != 0 ? r : va.compare(vb);
    }
    const QString qa = QString::fromUtf8(reinterpret_cast<const char *>(a), n1);
    const QString qb = QString::fromUtf8(reinterpret_cast<const char *>(b), n2);
    const int r = col.compare(qa, qb);
    return r != 0 ? r : qa.compare(qb);
}

// A connection is used by the thread that opened it only: the engine need
// not lock it around every call (each value read took a lock and its
// release).
constexpr int kSinCerrojo = SQLITE_OPEN_NOMUTEX;

int tipoDeclarado(const char *decl)
{
    if (!decl)
        return TipoCampo::Variante;
    const QString d = QString::fromLatin1(decl).toUpper();
    if (d.startsWith(QLatin1String("INT")))
        return TipoCampo::Entero;
    if (d == QLatin1String("REAL") || d.startsWith(QLatin1String("DOUBLE")) || d.startsWith(QLatin1String("NUMERIC")))
        return TipoCampo::Doble;
    if (d == QLatin1String("DATE"))
        return TipoCampo::Fecha;
    if (d == QLatin1String("DATETIME"))
        return TipoCampo::FechaHora;
    if (d.startsWith(QLatin1String("BOOL")))
        return TipoCampo::Booleano;
    if (d.startsWith(QLatin1String("TEXT")) || d.startsWith(QLatin1String("VARCHAR")) ||
        d.startsWith(QLatin1String("CHAR")))
        return TipoCampo::Texto;
    return TipoCampo::Variante;
}

QString mensajeSqlite(sqlite3 *db, int rc)
{
    const char *m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(m ? m : sqlite3_errstr(rc));
}

} // namespace

Conexion::Conexion(sqlite3 *db, QString ruta) : m_db(db), m_ruta(std::move(ruta)) {}

Conexion::~Conexion()
{
    for (sqlite3_stmt *st : std::as_const(m_cache))
        sqlite3_finalize(st);
    m_cache.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
}

void Conexion::configurar(const QString &clave)
{
    const QByteArray k = clave.toUtf8();
    if (sqlite3_key(m_db, k.constData(), k.size()) != SQLITE_OK)
        lanzar(sqlite3_errcode(m_db));
    // Settings for a desktop program that must not lose a confirmed write and
    // must stay fast on years of data.
    executeScript(QStringLiteral("PRAGMA cipher_page_size = 4096;"));
    sqlite3_busy_timeout(m_db, 2000);
    sqlite3_create_collation_v2(m_db, "ES", SQLITE_UTF8, nullptr, compararEs, nullptr);
    Plegado::registrar(m_db);
}

static void ajustarMotor(Conexion &c)
{
    c.executeScript(QStringLiteral("PRAGMA journal_mode = WAL;"
                                   "PRAGMA synchronous = FULL;"
                                   "PRAGMA cache_size = -65536;"
                                   "PRAGMA temp_store = MEMORY;"
                                   // A row replaced by INSERT OR REPLACE leaves
                                   // through the delete triggers, which keep
                                   // the counts of reservations.
                                   "PRAGMA recursive_triggers = ON;"));
}

Conexion *Conexion::abrir(const QString &ruta, const QString &clave)
{
    if (!QFileInfo::exists(ruta))
        throw DbError(3024, QStringLiteral("No se pudo encontrar el archivo '%1'.").arg(ruta));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(ruta.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | kSinCerrojo, nullptr);
    auto *c = new Conexion(db, ruta);
    try {
        if (rc != SQLITE_OK)
            c->lanzar(rc);
        // A file the user may not write is opened read-only without a word;
        // refuse it before anything is read, so no -wal/-shm is left behind.
        if (sqlite3_db_readonly(db, "main") == 1)
            throw DbError(3027, QStringLiteral("La base de datos es de sólo lectura (%1)").arg(ruta));
        c->configurar(clave);
        // Reading the schema fails here when the file is not ours or the
        // password is wrong; an empty file (a failed copy) has no tables and
        // is not taken for a database either.
        if (c->openRecordset(QStringLiteral("SELECT count(*) FROM sqlite_master")).campo(0).entero() == 0)
            throw DbError(3343,
                          QStringLiteral("El archivo no es una base de datos reconocida o la contraseña no es válida"));
        ajustarMotor(*c);
    } catch (...) {
        delete c;
        throw;
    }
    return c;
}

Conexion *Conexion::crear(const QString &ruta, const QString &clave)
{
    if (QFileInfo::exists(ruta))
        throw DbError(3204, QStringLiteral("La base de datos '%1' ya existe.").arg(ruta));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(ruta.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | kSinCerrojo, nullptr);
    auto *c = new Conexion(db, ruta);
    try {
        if (rc != SQLITE_OK)
            c->lanzar(rc);
        c->configurar(clave);
        c->executeScript(QStringLiteral("PRAGMA page_size = 4096;"));
        ajustarMotor(*c);
    } catch (...) {
        delete c;
        throw;
    }
    return c;
}

void Conexion::lanzar(int rc) const
{
    const int primario = rc & 0xff;
    const QString msg = mensajeSqlite(m_db, rc);
    int numero = 3000;
    QString texto;
    switch (primario) {
    case SQLITE_CONSTRAINT: {
        const int ext = m_db ? sqlite3_extended_errcode(m_db) : rc;
        // A trigger that keeps codes unique without regard to letter case
        // refuses a duplicate with the engine's own words.
        const bool repetidoPorDisparador =
            ext == SQLITE_CONSTRAINT_TRIGGER && msg.startsWith(QLatin1String("UNIQUE constraint failed"));
        if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY || repetidoPorDisparador) {
            numero = 3022;
            texto = QStringLiteral("Los cambios no se realizaron porque crearían valores duplicados en la clave");
        } else if (ext == SQLITE_CONSTRAINT_NOTNULL) {
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
        if (m_db && sqlite3_system_errno(m_db) == ENOSPC) {
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
    throw DbError(numero, texto + QStringLiteral(" (") + msg + QStringLiteral(")"));
}

sqlite3_stmt *Conexion::preparar(const QString &sql, const Parametros &valores)
{
    sqlite3_stmt *st = m_cache.value(sql, nullptr);
    if (!st) {
        const QByteArray u = sql.toUtf8();
        const char *resto = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, u.constData(), u.size(), &st, &resto);
        if (rc != SQLITE_OK)
            lanzar(rc);
        if (!st)
            throw DbError(3000, QStringLiteral("Sentencia vacía"));
        // Only the first statement of a text would run: refuse the text
        // rather than skip the rest silently.
        if (resto && !QByteArray(resto, u.constData() + u.size() - resto).trimmed().isEmpty()) {
            sqlite3_finalize(st);
            throw DbError(3142, QStringLiteral("Hay caracteres después del final de la instrucción SQL."));
        }
        if (m_cache.size() >= 256) {
            for (sqlite3_stmt *v : std::as_const(m_cache))
                sqlite3_finalize(v);
            m_cache.clear();
            m_leidos.clear();
        }
        m_cache.insert(sql, st);
    } else {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
    const int n = sqlite3_bind_parameter_count(st);
    if (n != valores.size())
        throw DbError(3061, QStringLiteral("Se esperaban %1 valores y se recibieron %2.").arg(n).arg(valores.size()));
    for (int i = 0; i < n; ++i) {
        const QVariant &v = valores[i];
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(st, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool: rc = sqlite3_bind_int(st, i + 1, v.toBool() ? 1 : 0); break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short: rc = sqlite3_bind_int64(st, i + 1, v.toLongLong()); break;
            case QMetaType::Double:
            case QMetaType::Float: rc = sqlite3_bind_double(st, i + 1, v.toDouble()); break;
            case QMetaType::QDate:
                rc = sqlite3_bind_text(st, i + 1, v.toDate().toString(Qt::ISODate).toUtf8().constData(), -1,
                                       SQLITE_TRANSIENT);
                break;
            case QMetaType::QDateTime:
                rc = sqlite3_bind_text(
                    st, i + 1, v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8().constData(), -1,
                    SQLITE_TRANSIENT);
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(st, i + 1, b.constData(), b.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(st, i + 1, t.constData(), t.size(), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            lanzar(rc);
    }
    return st;
}

int Conexion::execute(const QString &sql, const Parametros &valores)
{
    // The engine rolls a whole transaction back on some failures (and on a
    // trigger's RAISE(ROLLBACK)); a write now would be committed on its own,
    // outside the operation the caller believes it is in.
    if (m_enTransaccion && sqlite3_get_autocommit(m_db))
        throw DbError(3000, QStringLiteral("La transacción en curso se deshizo; la operación no se completó."));
    sqlite3_stmt *st = preparar(sql, valores);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        sqlite3_reset(st);
        lanzar(rc);
    }
    sqlite3_reset(st);
    return sqlite3_changes(m_db);
}

Recordset Conexion::openRecordset(const QString &sql, const Parametros &valores, const TiposColumnas &tipos)
{
    sqlite3_stmt *st = preparar(sql, valores);
    Recordset rs;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        rs.m_nombres << QString::fromUtf8(sqlite3_column_name(st, i));
        rs.m_tipos.push_back(tipoDeclarado(sqlite3_column_decltype(st, i)));
    }
    for (auto it = tipos.cbegin(); it != tipos.cend(); ++it) {
        // A misspelt name would silently leave the column untyped.
        const int i = rs.indice(it.key());
        if (i < 0)
            throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección: %1").arg(it.key()));
        rs.m_tipos[i] = it.value();
    }
    int rc;
    // A query run again mostly reads about as much as the last time: room
    // for that is taken at once, instead of moving the values as they grow.
    QList<QVariant> &datos = rs.m_valores;
    datos.reserve(m_leidos.value(st, 0));
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++rs.m_filas;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: datos.emplace_back(static_cast<qlonglong>(sqlite3_column_int64(st, i))); break;
            case SQLITE_FLOAT: datos.emplace_back(sqlite3_column_double(st, i)); break;
            case SQLITE_TEXT:
                datos.emplace_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                                     sqlite3_column_bytes(st, i)));
                break;
            case SQLITE_BLOB:
                datos.emplace_back(
                    QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i)));
                break;
            default: datos.emplace_back(); break;
            }
        }
    }
    m_leidos.insert(st, datos.size());
    if (datos.capacity() > 2 * datos.size() + 1024)
        datos.squeeze(); // far fewer than the last time: the room is given back
    if (rc != SQLITE_DONE) {
        sqlite3_reset(st);
        lanzar(rc);
    }
    sqlite3_reset(st);
    return rs;
}

void Conexion::executeScript(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err)
        sqlite3_free(err);
    if (rc != SQLITE_OK)
        lanzar(rc);
}

void Conexion::beginTrans()
{
    if (m_enTransaccion)
        throw DbError(3000, QStringLiteral("Ya hay una transacción abierta en la conexión."));
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    m_enTransaccion = true;
    m_puntos = 0;
}

void Conexion::commitTrans()
{
    if (!m_enTransaccion)
        throw DbError(3034, QStringLiteral("Se intentó confirmar sin una transacción abierta."));
    if (m_puntos != 0)
        throw DbError(3034, QStringLiteral("Se intentó confirmar con una parte de la transacción aún abierta."));
    execute(QStringLiteral("COMMIT"));
    m_enTransaccion = false;
}

void Conexion::rollbackTrans()
{
    if (!m_enTransaccion)
        throw DbError(3034, QStringLiteral("Se intentó deshacer sin una transacción abierta."));
    m_enTransaccion = false;
    m_puntos = 0;
    if (!sqlite3_get_autocommit(m_db))
        execute(QStringLiteral("ROLLBACK"));
}

// Savepoint names are made here from a number, never from outside text.
static QString nombrePunto(int punto) { return QStringLiteral("punto_%1").arg(punto); }

int Conexion::abrirPunto()
{
    execute(QStringLiteral("SAVEPOINT ") + nombrePunto(m_puntos + 1));
    return ++m_puntos;
}

void Conexion::liberarPunto(int punto)
{
    if (!m_enTransaccion || punto != m_puntos)
        throw DbError(3034,
                      QStringLiteral("Se intentó confirmar una parte de una transacción que ya no está abierta."));
    execute(QStringLiteral("RELEASE ") + nombrePunto(punto));
    --m_puntos;
}

void Conexion::volverAPunto(int punto)
{
    if (!m_enTransaccion || punto != m_puntos)
        return;
    --m_puntos;
    // Nothing to undo when the engine already abandoned the transaction.
    if (sqlite3_get_autocommit(m_db))
        return;
    try {
        execute(QStringLiteral("ROLLBACK TO ") + nombrePunto(punto));
        execute(QStringLiteral("RELEASE ") + nombrePunto(punto));
    } catch (...) {
        // The inner work could not be undone alone: abandon the whole
        // transaction rather than let the outer commit keep it.
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

qint64 Conexion::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

void Conexion::checkpoint()
{
    if (m_enTransaccion)
        throw DbError(3000, QStringLiteral("No se puede consolidar la base con una transacción abierta."));
    // The first column tells whether another connection kept the log busy.
    const Recordset rs = openRecordset(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    if (!rs.eof() && rs.campo(0).entero() != 0)
        throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
}

bool Conexion::existeTabla(const QString &tabla) const { return existeColumna(tabla, QString()); }

bool Conexion::existeColumna(const QString &tabla, const QString &columna) const
{
    const QString clave = tabla.toLower();
    if (!m_columnas.contains(clave)) {
        // Only a name that is a real table gets here as a value, never as text.
        auto *self = const_cast<Conexion *>(this);
        Recordset rs = self->openRecordset(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)"), {tabla});
        if (rs.eof())
            return false;
        const QString real = rs.texto(QStringLiteral("name"));
        Recordset cols = self->openRecordset(QStringLiteral("PRAGMA table_info(\"%1\")").arg(real));
        QStringList nombres;
        for (; !cols.eof(); cols.moveNext())
            nombres << cols.texto(QStringLiteral("name")).toLower();
        m_columnas.insert(clave, nombres);
    }
    return columna.isEmpty() || m_columnas.value(clave).contains(columna.toLower());
}

// ---------------------------------------------------------------- Transaccion

Transaccion::Transaccion(Conexion &c) : m_c(c)
{
    if (m_c.enTransaccion())
        m_punto = m_c.abrirPunto();
    else
        m_c.beginTrans();
}

Transaccion::~Transaccion()
{
    if (m_terminada || !m_c.enTransaccion())
        return;
    try {
        if (m_punto == 0)
            m_c.rollbackTrans();
        else
            m_c.volverAPunto(m_punto);
    } catch (...) {
        // A destructor must not throw; the outermost guard still rolls back.
    }
}

void Transaccion::commit()
{
    if (m_punto == 0)
        m_c.commitTrans();
    else
        m_c.liberarPunto(m_punto);
    m_terminada = true;
}

// ---------------------------------------------------------------- SinEsperarDisco

SinEsperarDisco::SinEsperarDisco(Conexion &c) : m_c(c), m_activo(!c.enTransaccion())
{
    // In write-ahead mode NORMAL skips the wait for the disk at each commit;
    // the next FULL commit makes everything before it durable again.
    if (m_activo)
        m_c.executeScript(QStringLiteral("PRAGMA synchronous = NORMAL;"));
}

SinEsperarDisco::~SinEsperarDisco()
{
    if (!m_activo)
        return;
    try {
        m_c.executeScript(QStringLiteral("PRAGMA synchronous = FULL;"));
    } catch (...) {
    }
}
