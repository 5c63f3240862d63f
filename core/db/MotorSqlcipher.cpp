#include "MotorSqlcipher.h"

#include "OrdenEspanol.h"
#include "Plegado.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace {

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

MotorSqlcipher::~MotorSqlcipher()
{
    for (sqlite3_stmt *st : std::as_const(m_cache))
        sqlite3_finalize(st);
    m_cache.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
}

void MotorSqlcipher::configurar(const QString &clave)
{
    m_clave = clave;
    const QByteArray k = clave.toUtf8();
    if (sqlite3_key(m_db, k.constData(), k.size()) != SQLITE_OK)
        lanzar(sqlite3_errcode(m_db));
    ejecutarGuion(QStringLiteral("PRAGMA cipher_page_size = 4096;"));
    sqlite3_busy_timeout(m_db, 2000);
    sqlite3_create_collation_v2(m_db, "ES", SQLITE_UTF8, nullptr, compararEs, nullptr);
    Plegado::registrar(m_db);
}

std::unique_ptr<Motor> MotorSqlcipher::abrir(const QString &ruta, const QString &clave)
{
    if (!QFileInfo::exists(ruta))
        throw DbError(3024, QStringLiteral("No se pudo encontrar el archivo '%1'.").arg(ruta));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(ruta.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | kSinCerrojo, nullptr);
    std::unique_ptr<MotorSqlcipher> m(new MotorSqlcipher(db, ruta));
    if (rc != SQLITE_OK)
        m->lanzar(rc);
    // A file the user may not write is opened read-only without a word;
    // refuse it before anything is read, so no -wal/-shm is left behind.
    if (sqlite3_db_readonly(db, "main") == 1)
        throw DbError(3027, QStringLiteral("La base de datos es de sólo lectura (%1)").arg(ruta));
    m->configurar(clave);
    // Reading the schema fails here when the file is not ours or the
    // password is wrong; an empty file (a failed copy) has no tables and is
    // not taken for a database either.
    Recordset rs;
    m->consultar(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, rs);
    if (rs.campo(0).entero() == 0)
        throw DbError(3343,
                      QStringLiteral("El archivo no es una base de datos reconocida o la contraseña no es válida"));
    m->ejecutarGuion(Dialecto::ajustesConexion(TipoMotor::Sqlcipher));
    return m;
}

std::unique_ptr<Motor> MotorSqlcipher::crear(const QString &ruta, const QString &clave)
{
    if (QFileInfo::exists(ruta))
        throw DbError(3204, QStringLiteral("La base de datos '%1' ya existe.").arg(ruta));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(ruta.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | kSinCerrojo, nullptr);
    std::unique_ptr<MotorSqlcipher> m(new MotorSqlcipher(db, ruta));
    if (rc != SQLITE_OK)
        m->lanzar(rc);
    m->configurar(clave);
    m->ejecutarGuion(QStringLiteral("PRAGMA page_size = 4096;"));
    m->ejecutarGuion(Dialecto::ajustesConexion(TipoMotor::Sqlcipher));
    return m;
}

void MotorSqlcipher::lanzar(int rc) const
{
    throw Dialecto::errorSqlite(rc, m_db ? sqlite3_extended_errcode(m_db) : rc, m_db ? sqlite3_system_errno(m_db) : 0,
                                mensajeSqlite(m_db, rc));
}

sqlite3_stmt *MotorSqlcipher::preparar(const QString &sql, const Parametros &valores)
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

int MotorSqlcipher::ejecutar(const QString &sql, const Parametros &valores)
{
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

namespace {

void leerColumnas(sqlite3_stmt *st, QStringList &nombres, std::vector<int> &tipos)
{
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        nombres << QString::fromUtf8(sqlite3_column_name(st, i));
        tipos.push_back(tipoDeclarado(sqlite3_column_decltype(st, i)));
    }
}

// The values of the row the statement stands on, appended to datos.
void leerFila(sqlite3_stmt *st, int columnas, QList<QVariant> &datos)
{
    for (int i = 0; i < columnas; ++i) {
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

// Leaves a statement ready to run again however its run ends.
struct Reinicio {
    sqlite3_stmt *st;
    ~Reinicio() { sqlite3_reset(st); }
};

} // namespace

void MotorSqlcipher::consultar(const QString &sql, const Parametros &valores, Recordset &rs)
{
    sqlite3_stmt *st = preparar(sql, valores);
    const Reinicio reinicio{st};
    leerColumnas(st, nombresDe(rs), tiposDe(rs));
    const int n = sqlite3_column_count(st);
    int rc;
    // A query run again mostly reads about as much as the last time: room
    // for that is taken at once, instead of moving the values as they grow.
    QList<QVariant> &datos = valoresDe(rs);
    datos.reserve(m_leidos.value(st, 0));
    int &leidas = filasDe(rs);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++leidas;
        leerFila(st, n, datos);
    }
    m_leidos.insert(st, datos.size());
    if (datos.capacity() > 2 * datos.size() + 1024)
        datos.squeeze(); // far fewer than the last time: the room is given back
    if (rc != SQLITE_DONE)
        lanzar(rc);
}

void MotorSqlcipher::consultarPorBloques(const QString &sql, const Parametros &valores, int filas,
                                         const std::function<void(Recordset &)> &cadaBloque)
{
    sqlite3_stmt *st = preparar(sql, valores);
    const Reinicio reinicio{st};
    QStringList nombres;
    std::vector<int> tipos;
    leerColumnas(st, nombres, tipos);
    const int n = sqlite3_column_count(st);
    Recordset bloque;
    const auto entregar = [&] {
        nombresDe(bloque) = nombres;
        tiposDe(bloque) = tipos;
        cadaBloque(bloque);
        bloque = Recordset();
    };
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        leerFila(st, n, valoresDe(bloque));
        if (++filasDe(bloque) == filas)
            entregar();
    }
    if (rc != SQLITE_DONE)
        lanzar(rc);
    if (filasDe(bloque) > 0)
        entregar();
}

void MotorSqlcipher::ejecutarGuion(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err)
        sqlite3_free(err);
    if (rc != SQLITE_OK)
        lanzar(rc);
}

void MotorSqlcipher::iniciarCarga(const QString &tabla, const QStringList &columnas)
{
    QStringList nombres;
    for (const QString &c : columnas)
        nombres << Dialecto::identificador(c);
    m_carga.insertar = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                           .arg(Dialecto::identificador(tabla), nombres.join(QLatin1Char(',')));
    m_carga.columnas = columnas.size();
    m_carga.fila =
        QLatin1Char('(') + QStringList(m_carga.columnas, QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    // As many rows a statement as the engine takes values in one.
    m_carga.porSentencia =
        std::max<qsizetype>(1, sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, -1) / m_carga.columnas);
    m_carga.completa = m_carga.insertar + QStringList(m_carga.porSentencia, m_carga.fila).join(QLatin1Char(','));
}

void MotorSqlcipher::cargar(const Parametros &valores)
{
    for (qsizetype desde = 0; desde < valores.size();) {
        const qsizetype filas = std::min(m_carga.porSentencia, (valores.size() - desde) / m_carga.columnas);
        const QString sql = filas == m_carga.porSentencia
                                ? m_carga.completa
                                : m_carga.insertar + QStringList(filas, m_carga.fila).join(QLatin1Char(','));
        ejecutar(sql, valores.mid(desde, filas * m_carga.columnas));
        desde += filas * m_carga.columnas;
    }
}

// Every row was written as it came: the caller's transaction undoes them.
void MotorSqlcipher::terminarCarga(bool) {}

// The engine rolls a whole transaction back on some failures (and on a
// trigger's RAISE(ROLLBACK)).
bool MotorSqlcipher::transaccionPerdida() const { return sqlite3_get_autocommit(m_db) != 0; }

void MotorSqlcipher::abandonar()
{
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

qint64 MotorSqlcipher::ultimoId() const { return sqlite3_last_insert_rowid(m_db); }

void MotorSqlcipher::consolidar()
{
    // Moves every committed write from the write-ahead log into the file;
    // the first column tells whether another connection kept the log busy.
    Recordset rs;
    consultar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), {}, rs);
    if (!rs.eof() && rs.campo(0).entero() != 0)
        throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
}

QStringList MotorSqlcipher::tablas()
{
    return primeraColumna(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name"));
}

QStringList MotorSqlcipher::columnas(const QString &tabla)
{
    Recordset rs;
    consultar(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)"), {tabla},
              rs);
    if (rs.eof())
        return {};
    // Only a name that is a real table gets here as text, never the caller's.
    const QString real = rs.texto(QStringLiteral("name"));
    Recordset cols;
    consultar(QStringLiteral("PRAGMA table_info(\"%1\")").arg(real), {}, cols);
    QStringList l;
    for (; !cols.eof(); cols.moveNext())
        l << cols.texto(QStringLiteral("name")).toLower();
    return l;
}

void MotorSqlcipher::esperarDisco(bool esperar) { ejecutarGuion(Dialecto::esperaDisco(tipo(), esperar)); }

void MotorSqlcipher::vaciarSinDisparadores(const QString &tabla)
{
    // The engine cannot switch a trigger off: the table's triggers are
    // dropped and made again from their own statements, in the caller's
    // transaction. Only names the catalogue gives reach the statements.
    const QString t = tablaEntreComillas(tabla);
    Recordset disparadores;
    consultar(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND lower(tbl_name) = "
                             "lower(?)"),
              {tabla}, disparadores);
    for (; !disparadores.eof(); disparadores.moveNext())
        ejecutarGuion(QStringLiteral("DROP TRIGGER ") + Dialecto::identificador(disparadores.texto(0)));
    ejecutarGuion(QStringLiteral("DELETE FROM ") + t);
    for (disparadores.moveFirst(); !disparadores.eof(); disparadores.moveNext())
        ejecutarGuion(disparadores.texto(1));
}

QString MotorSqlcipher::temporalCompactacion(const QString &ruta) { return ruta + QStringLiteral("_TMP.mdb"); }

QStringList MotorSqlcipher::conLogs(const QString &ruta)
{
    return {ruta, ruta + QLatin1String("-wal"), ruta + QLatin1String("-shm"), ruta + QLatin1String("-journal")};
}

void MotorSqlcipher::borrarConLogs(const QString &ruta)
{
    for (const QString &archivo : conLogs(ruta))
        QFile::remove(archivo);
}

void MotorSqlcipher::compactar()
{
    const QString temporal = temporalCompactacion(m_ruta);
    borrarConLogs(temporal);
    try {
        // Every table and index written anew, packed, into a new file
        // encrypted with the same password. An attached file reads its first
        // page as it is attached, with the engine's default page size: the
        // program's size is the default meanwhile.
        crear(temporal, m_clave).reset();
        Recordset previo;
        consultar(QStringLiteral("PRAGMA cipher_default_page_size"), {}, previo);
        auto fijarDefecto = [this](qint64 n) {
            if (n > 0)
                ejecutarGuion(QStringLiteral("PRAGMA cipher_default_page_size = %1;").arg(n));
        };
        fijarDefecto(4096);
        try {
            ejecutar(QStringLiteral("ATTACH DATABASE ? AS compacta KEY ?"), {temporal, m_clave});
        } catch (...) {
            fijarDefecto(previo.entero(0));
            throw;
        }
        fijarDefecto(previo.entero(0));
        try {
            ejecutarGuion(QStringLiteral("SELECT sqlcipher_export('compacta');"));
        } catch (...) {
            sqlite3_exec(m_db, "DETACH DATABASE compacta", nullptr, nullptr, nullptr);
            throw;
        }
        ejecutarGuion(QStringLiteral("DETACH DATABASE compacta;"));
        // The packed file must open as the database does before it takes
        // the database's place.
        abrir(temporal, m_clave).reset();
        // This connection lets go of the file, which then names the packed
        // one and is opened anew. A log still beside the file belongs to
        // another connection open on it: replacing the file under it would
        // lose its writes.
        for (sqlite3_stmt *st : std::as_const(m_cache))
            sqlite3_finalize(st);
        m_cache.clear();
        m_leidos.clear();
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        const bool otraConexion = QFileInfo(m_ruta + QStringLiteral("-wal")).size() > 0;
        std::error_code ec;
        if (!otraConexion) {
            QFile::remove(m_ruta + QStringLiteral("-shm"));
            std::filesystem::rename(QFile::encodeName(temporal).toStdString(), QFile::encodeName(m_ruta).toStdString(),
                                    ec);
        }
        std::unique_ptr<Motor> nueva = abrir(m_ruta, m_clave);
        std::swap(m_db, static_cast<MotorSqlcipher &>(*nueva).m_db);
        if (otraConexion)
            throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
        if (ec)
            throw DbError(3000, QStringLiteral("No se pudo reemplazar el archivo por el compactado (%1)")
                                    .arg(QString::fromLocal8Bit(ec.message().c_str())));
    } catch (...) {
        borrarConLogs(temporal);
        throw;
    }
}
