#include "MotorPostgresql.h"

#include <QLocale>
#include <QRegularExpression>
#include <libpq-fe.h>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace {

// Type numbers of the server's built-in types the results use.
constexpr Oid kBool = 16;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kOid = 26;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;
constexpr Oid kText = 25;
constexpr Oid kBpchar = 1042;
constexpr Oid kVarchar = 1043;
// Objects numbered below this are the server's own (its catalogue, its types).
constexpr Oid kPrimerObjetoPropio = 16384;

// True when the socket has something to read, without waiting.
bool hayParaLeer(int socket)
{
    if (socket < 0)
        return false;
    pollfd p{};
    p.fd = static_cast<decltype(p.fd)>(socket);
    p.events = POLLIN;
#ifdef _WIN32
    return WSAPoll(&p, 1, 0) > 0;
#else
    return poll(&p, 1, 0) > 0;
#endif
}

// Statements about the transaction itself run as they are, never inside a
// savepoint of their own.
bool esDeControl(const QString &sql)
{
    const QString s = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return s == QLatin1String("BEGIN") || s == QLatin1String("COMMIT") || s == QLatin1String("ROLLBACK") ||
           s == QLatin1String("SAVEPOINT") || s == QLatin1String("RELEASE") || s == QLatin1String("SET");
}

QByteArray comoTextoDelServidor(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? "1" : "0";
    case QMetaType::Double:
    // The shortest text that reads back as the same number.
    case QMetaType::Float: return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    case QMetaType::QByteArray: return v.toByteArray();
    default: return Dialecto::textoAlServidor(v.toString());
    }
}

// The values of a statement as the server takes them: each as text, Null
// as no text at all.
struct ValoresDelServidor {
    explicit ValoresDelServidor(const Parametros &valores)
    {
        textos.reserve(valores.size());
        for (const QVariant &v : valores) {
            if (v.isNull()) {
                punteros.push_back(nullptr);
            } else {
                textos << comoTextoDelServidor(v);
                punteros.push_back(textos.last().constData());
            }
        }
    }
    int cantidad() const { return static_cast<int>(punteros.size()); }
    QList<QByteArray> textos;
    std::vector<const char *> punteros;
};

int tipoPorNombre(const QByteArray &t)
{
    if (t == "fecha")
        return TipoCampo::Fecha;
    if (t == "fechahora")
        return TipoCampo::FechaHora;
    if (t == "booleano")
        return TipoCampo::Booleano;
    if (t == "int2" || t == "int4" || t == "int8")
        return TipoCampo::Entero;
    if (t == "float4" || t == "float8" || t == "numeric")
        return TipoCampo::Doble;
    if (t == "text" || t == "citext" || t == "codigo" || t == "varchar" || t == "bpchar")
        return TipoCampo::Texto;
    return TipoCampo::Variante;
}

struct Resultado {
    PGresult *r;
    ~Resultado() { PQclear(r); }
};

} // namespace

std::unique_ptr<Motor> MotorPostgresql::abrir(const DatosServidor &d)
{
    const QByteArray host = d.host.toUtf8(), puerto = d.puerto.toUtf8(), base = d.base.toUtf8(),
                     usuario = d.usuario.toUtf8();
    // A server out of reach is told after a while, not after the system's
    // own wait for a network connection (minutes).
    const char *claves[] = {"host", "port", "dbname", "user", "application_name", "client_encoding", "connect_timeout",
                            nullptr};
    const char *valores[] = {host.isEmpty() ? nullptr : host.constData(),
                             puerto.isEmpty() ? nullptr : puerto.constData(),
                             base.constData(),
                             usuario.isEmpty() ? nullptr : usuario.constData(),
                             "club",
                             "UTF8",
                             "10",
                             nullptr};
    PGconn *pg = PQconnectdbParams(claves, valores, 0);
    std::unique_ptr<MotorPostgresql> m(new MotorPostgresql(pg, d.esquema));
    if (!pg || PQstatus(pg) != CONNECTION_OK)
        throw Dialecto::errorPostgresql("08001", pg ? QString::fromUtf8(PQerrorMessage(pg)).simplified() : QString());
    m->ajustar();
    return m;
}

MotorPostgresql::~MotorPostgresql()
{
    if (m_pg)
        PQfinish(m_pg);
}

void MotorPostgresql::ajustar()
{
    if (!m_esquema.isEmpty())
        ejecutar(QStringLiteral("SELECT set_config('search_path', ?, false)"),
                 {m_esquema + QStringLiteral(", public")});
    ejecutarGuion(Dialecto::ajustesConexion(TipoMotor::Postgresql));
}

bool MotorPostgresql::enLinea() const { return !m_cortada && PQstatus(m_pg) == CONNECTION_OK; }

void MotorPostgresql::revisarConexion()
{
    // libpq does not always mark a connection it found closed as bad; one
    // whose socket can no longer be read is gone as well.
    if (!enLinea() || !PQconsumeInput(m_pg))
        m_cortada = true;
}

void MotorPostgresql::reanudar()
{
    if (enLinea()) {
        if (PQtransactionStatus(m_pg) != PQTRANS_IDLE)
            return;
        // A server that stopped or restarted while the station was idle
        // said so and closed the connection: read it now, before a
        // statement is sent on a connection that is gone.
        for (int i = 0; i < 8 && enLinea() && hayParaLeer(PQsocket(m_pg)); ++i)
            revisarConexion();
        if (enLinea())
            return;
    }
    // What the lost connection held is gone with it: its prepared
    // statements, its settings and what was read of its catalogue.
    m_preparadas.clear();
    m_tipos.clear();
    m_textos.clear();
    m_perdidaEnTransaccion = false;
    m_abierta = false;
    m_hayUltimo = false;
    PQreset(m_pg);
    m_cortada = PQstatus(m_pg) != CONNECTION_OK;
    if (m_cortada)
        sinConexion(QString::fromUtf8(PQerrorMessage(m_pg)));
    ajustar();
}

void MotorPostgresql::sinConexion(const QString &detalle)
{
    if (!m_perdidaEnTransaccion && m_abierta) {
        m_perdidaEnTransaccion = true;
        m_detallePerdida = detalle.simplified();
    }
    throw Dialecto::errorPostgresql(m_perdidaEnTransaccion ? "08007" : "08006",
                                    m_perdidaEnTransaccion ? m_detallePerdida : detalle.simplified());
}

DbError MotorPostgresql::errorTransaccionPerdida() const
{
    if (!enLinea())
        return Dialecto::errorPostgresql("08007", m_detallePerdida);
    return Motor::errorTransaccionPerdida();
}

void MotorPostgresql::lanzar(PGresult *r)
{
    const char *estado = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    // The user is told the server's own words as the file's engine tells
    // them: its primary message, without severity, position or context.
    const char *primario = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString msg = QString::fromUtf8(primario ? primario
                                          : r      ? PQresultErrorMessage(r)
                                                   : PQerrorMessage(m_pg))
                            .trimmed();
    const QByteArray sqlstate = estado ? estado : "";
    PQclear(r);
    // An error of libpq's own (none of the server's) may be the connection
    // failing.
    if (sqlstate.isEmpty())
        revisarConexion();
    // The connection went with the statement: the server stopped, restarted
    // or cannot be reached; whatever its own words, that is the error.
    if (!enLinea())
        sinConexion(msg);
    throw Dialecto::errorPostgresql(sqlstate, msg);
}

void MotorPostgresql::simple(const char *sql)
{
    PGresult *r = PQexec(m_pg, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        lanzar(r);
    PQclear(r);
}

void MotorPostgresql::comenzar()
{
    if (!enLinea())
        sinConexion(QString::fromUtf8(PQerrorMessage(m_pg)));
    const PGTransactionStatusType t = PQtransactionStatus(m_pg);
    m_abierta = t == PQTRANS_INTRANS || t == PQTRANS_INERROR;
}

PGresult *MotorPostgresql::correrUna(const QByteArray &nombre, const Parametros &valores)
{
    const ValoresDelServidor v(valores);
    return PQexecPrepared(m_pg, nombre.constData(), v.cantidad(), v.punteros.data(), nullptr, nullptr, 0);
}

MotorPostgresql::Preparada MotorPostgresql::preparada(const QString &sql)
{
    const auto it = m_preparadas.constFind(sql);
    if (it != m_preparadas.cend())
        return *it;
    Preparada p;
    const QByteArray texto = Dialecto::sentenciaPostgresql(sql, p.parametros);
    p.nombre = "s" + QByteArray::number(m_preparadas.size() + 1);
    PGresult *r = PQprepare(m_pg, p.nombre.constData(), texto.constData(), 0, nullptr);
    if (PQresultStatus(r) != PGRES_COMMAND_OK)
        lanzar(r);
    PQclear(r);
    m_preparadas.insert(sql, p);
    return p;
}

PGresult *MotorPostgresql::correr(const QString &sql, const Parametros &valores)
{
    comenzar();
    if (esDeControl(sql)) {
        if (!valores.isEmpty())
            throw DbError(3061, QStringLiteral("Se esperaban 0 valores y se recibieron %1.").arg(valores.size()));
        PGresult *r = PQexec(m_pg, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK)
            lanzar(r);
        return r;
    }
    // No savepoint of its own: inside a transaction a failed statement leaves
    // it failed, to be undone to the savepoint of the innermost guard (see
    // Transaccion), or whole.
    const Preparada p = preparada(sql);
    if (p.parametros != valores.size())
        throw DbError(
            3061, QStringLiteral("Se esperaban %1 valores y se recibieron %2.").arg(p.parametros).arg(valores.size()));
    PGresult *r = correrUna(p.nombre, valores);
    const ExecStatusType e = PQresultStatus(r);
    if (e != PGRES_COMMAND_OK && e != PGRES_TUPLES_OK)
        lanzar(r);
    return r;
}

int MotorPostgresql::ejecutar(const QString &sql, const Parametros &valores)
{
    Resultado r{correr(sql, valores)};
    return QByteArray(PQcmdTuples(r.r)).toInt();
}

int MotorPostgresql::tipoDeclarado(PGresult *r, int columna)
{
    const Oid tabla = PQftable(r, columna);
    const int col = PQftablecol(r, columna);
    if (tabla == InvalidOid || col <= 0)
        return TipoCampo::Variante;
    const quint64 clave = (static_cast<quint64>(tabla) << 16) | static_cast<quint64>(col);
    const auto it = m_tipos.constFind(clave);
    if (it != m_tipos.cend())
        return *it;
    const QByteArray t = QByteArray::number(tabla);
    const char *p[] = {t.constData()};
    Resultado a{PQexecParams(m_pg,
                             "SELECT a.attnum, t.typname FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
                             "WHERE a.attrelid = $1 AND a.attnum > 0",
                             1, nullptr, p, nullptr, nullptr, 0)};
    for (int i = 0; i < PQntuples(a.r); ++i)
        m_tipos.insert((static_cast<quint64>(tabla) << 16) | QByteArray(PQgetvalue(a.r, i, 0)).toULongLong(),
                       tipoPorNombre(QByteArray(PQgetvalue(a.r, i, 1))));
    return m_tipos.value(clave, TipoCampo::Variante);
}

bool MotorPostgresql::esTextoDelPrograma(PGresult *r, int columna)
{
    // The server's own catalogue holds no text of the program.
    const Oid tabla = PQftable(r, columna);
    if (tabla != InvalidOid && tabla < kPrimerObjetoPropio)
        return false;
    const Oid tipo = PQftype(r, columna);
    if (tipo == kText || tipo == kVarchar || tipo == kBpchar)
        return true;
    if (tipo < kPrimerObjetoPropio)
        return false;
    // A type of an extension: the case-ignoring text of the codes.
    const auto it = m_textos.constFind(tipo);
    if (it != m_textos.cend())
        return *it;
    const QByteArray t = QByteArray::number(tipo);
    const char *p[] = {t.constData()};
    Resultado a{PQexecParams(m_pg, "SELECT typname FROM pg_type WHERE oid = $1", 1, nullptr, p, nullptr, nullptr, 0)};
    const bool texto = PQntuples(a.r) == 1 && tipoPorNombre(QByteArray(PQgetvalue(a.r, 0, 0))) == TipoCampo::Texto;
    m_textos.insert(tipo, texto);
    return texto;
}

void MotorPostgresql::consultar(const QString &sql, const Parametros &valores, Recordset &rs)
{
    Resultado r{correr(sql, valores)};
    leer(r.r, rs);
}

void MotorPostgresql::leer(PGresult *r, Recordset &rs)
{
    const int n = PQnfields(r);
    std::vector<Oid> oids(n);
    std::vector<bool> textos(n);
    for (int i = 0; i < n; ++i) {
        nombresDe(rs) << QString::fromUtf8(PQfname(r, i));
        tiposDe(rs).push_back(tipoDeclarado(r, i));
        oids[i] = PQftype(r, i);
        textos[i] = esTextoDelPrograma(r, i);
    }
    const int filas = PQntuples(r);
    QList<QVariant> &datos = valoresDe(rs);
    datos.reserve(static_cast<qsizetype>(filas) * n);
    for (int f = 0; f < filas; ++f) {
        for (int i = 0; i < n; ++i) {
            if (PQgetisnull(r, f, i)) {
                datos.emplace_back();
                continue;
            }
            const char *v = PQgetvalue(r, f, i);
            switch (oids[i]) {
            case kInt2:
            case kInt4:
            case kInt8:
            case kOid: datos.emplace_back(static_cast<qlonglong>(QByteArray(v).toLongLong())); break;
            case kFloat4:
            case kFloat8:
            case kNumeric: datos.emplace_back(QByteArray(v).toDouble()); break;
            case kBool: datos.emplace_back(static_cast<qlonglong>(v[0] == 't' ? 1 : 0)); break;
            default:
                datos.emplace_back(textos[i] ? Dialecto::textoDelServidor(v, PQgetlength(r, f, i))
                                             : QString::fromUtf8(v, PQgetlength(r, f, i)));
                break;
            }
        }
    }
    filasDe(rs) = filas;
}

void MotorPostgresql::consultarPorBloques(const QString &sql, const Parametros &valores, int filas,
                                          const std::function<void(Recordset &)> &cadaBloque)
{
    int n = 0;
    const QByteArray texto = "DECLARE bloques NO SCROLL CURSOR FOR " + Dialecto::sentenciaPostgresql(sql, n);
    if (n != valores.size())
        throw DbError(3061, QStringLiteral("Se esperaban %1 valores y se recibieron %2.").arg(n).arg(valores.size()));
    // The rows come through a cursor, which lives in a transaction: one of
    // its own when none is open, else a savepoint that a failure goes back to.
    const bool propia = PQtransactionStatus(m_pg) == PQTRANS_IDLE;
    simple(propia ? "BEGIN" : "SAVEPOINT bloques");
    try {
        const ValoresDelServidor v(valores);
        PGresult *d =
            PQexecParams(m_pg, texto.constData(), v.cantidad(), nullptr, v.punteros.data(), nullptr, nullptr, 0);
        if (PQresultStatus(d) != PGRES_COMMAND_OK)
            lanzar(d);
        PQclear(d);
        const QByteArray siguiente = "FETCH FORWARD " + QByteArray::number(filas) + " FROM bloques";
        for (;;) {
            PGresult *r = PQexec(m_pg, siguiente.constData());
            if (PQresultStatus(r) != PGRES_TUPLES_OK)
                lanzar(r);
            Recordset bloque;
            {
                Resultado leido{r};
                leer(r, bloque);
            }
            if (bloque.recordCount() > 0)
                cadaBloque(bloque);
            if (bloque.recordCount() < filas)
                break;
        }
        simple(propia ? "COMMIT" : "CLOSE bloques; RELEASE SAVEPOINT bloques");
    } catch (...) {
        PQclear(PQexec(m_pg, propia ? "ROLLBACK" : "ROLLBACK TO SAVEPOINT bloques; RELEASE SAVEPOINT bloques"));
        throw;
    }
}

void MotorPostgresql::ejecutarGuion(const QString &sql)
{
    comenzar();
    // Temporary tables made while the program runs are written as the
    // schema's tables are.
    static const QRegularExpression temporales(QStringLiteral("^\\s*CREATE\\s+TEMP\\s+TABLE\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QString texto = sql.contains(temporales) ? Dialecto::ddlPostgresql(QStringLiteral("table"), sql) : sql;
    PGresult *r = PQexec(m_pg, texto.toUtf8().constData());
    const ExecStatusType e = PQresultStatus(r);
    if (e != PGRES_COMMAND_OK && e != PGRES_TUPLES_OK && e != PGRES_EMPTY_QUERY)
        lanzar(r);
    PQclear(r);
}

void MotorPostgresql::iniciarCarga(const QString &tabla, const QStringList &columnas)
{
    // The server's tables and columns are in lower case.
    const auto citado = [](const QString &nombre) { return Dialecto::identificador(nombre.toLower()); };
    QStringList nombres;
    for (const QString &c : columnas)
        nombres << citado(c);
    const QByteArray sql =
        QStringLiteral("COPY %1 (%2) FROM STDIN").arg(citado(tabla), nombres.join(QLatin1Char(','))).toUtf8();
    // A refused row leaves the transaction as it was before the carga, as a
    // refused statement does.
    m_carga.enPunto = PQtransactionStatus(m_pg) == PQTRANS_INTRANS;
    if (m_carga.enPunto)
        simple("SAVEPOINT carga");
    PGresult *r = PQexec(m_pg, sql.constData());
    if (PQresultStatus(r) != PGRES_COPY_IN) {
        if (m_carga.enPunto)
            PQclear(PQexec(m_pg, "ROLLBACK TO SAVEPOINT carga; RELEASE SAVEPOINT carga"));
        lanzar(r);
    }
    PQclear(r);
    m_carga.columnas = columnas.size();
    m_carga.pendiente.clear();
}

void MotorPostgresql::cargar(const Parametros &valores)
{
    QByteArray &b = m_carga.pendiente;
    for (qsizetype i = 0; i < valores.size(); ++i) {
        const QVariant &v = valores.at(i);
        if (v.isNull()) {
            b += "\\N";
        } else {
            // COPY's text form: a backslash, tab, line feed or carriage
            // return inside a value is written as its escape.
            for (const char c : comoTextoDelServidor(v)) {
                switch (c) {
                case '\\': b += "\\\\"; break;
                case '\t': b += "\\t"; break;
                case '\n': b += "\\n"; break;
                case '\r': b += "\\r"; break;
                default: b += c; break;
                }
            }
        }
        b += (i + 1) % m_carga.columnas == 0 ? '\n' : '\t';
    }
    if (b.size() >= 256 * 1024)
        enviarCarga();
}

void MotorPostgresql::enviarCarga()
{
    if (!m_carga.pendiente.isEmpty() &&
        PQputCopyData(m_pg, m_carga.pendiente.constData(), static_cast<int>(m_carga.pendiente.size())) != 1)
        throw DbError(3024, QStringLiteral("No se pudo conectar con el servidor de base de datos (%1)")
                                .arg(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed()));
    m_carga.pendiente.clear();
}

void MotorPostgresql::terminarCarga(bool confirmar)
{
    if (confirmar) {
        try {
            enviarCarga();
        } catch (const DbError &) {
            terminarCarga(false);
            throw;
        }
    }
    m_carga.pendiente.clear();
    PQputCopyEnd(m_pg, confirmar ? nullptr : "carga abandonada");
    PGresult *r = PQgetResult(m_pg);
    const bool bien = PQresultStatus(r) == PGRES_COMMAND_OK;
    for (PGresult *resto = PQgetResult(m_pg); resto; resto = PQgetResult(m_pg))
        PQclear(resto);
    if (m_carga.enPunto)
        PQclear(
            PQexec(m_pg, bien ? "RELEASE SAVEPOINT carga" : "ROLLBACK TO SAVEPOINT carga; RELEASE SAVEPOINT carga"));
    if (!bien && confirmar)
        lanzar(r);
    PQclear(r);
}

bool MotorPostgresql::transaccionPerdida() const
{
    if (!enLinea())
        return true;
    const PGTransactionStatusType t = PQtransactionStatus(m_pg);
    return t != PQTRANS_INTRANS && t != PQTRANS_INERROR;
}

bool MotorPostgresql::transaccionFallida() const { return enLinea() && PQtransactionStatus(m_pg) == PQTRANS_INERROR; }

void MotorPostgresql::abandonar() { PQclear(PQexec(m_pg, "ROLLBACK")); }

qint64 MotorPostgresql::ultimoId() const
{
    auto *self = const_cast<MotorPostgresql *>(this);
    // lastval() fails until the connection has handed out a number; inside
    // a transaction that failure must not leave it failed, so the first
    // asking runs in a savepoint of its own.
    const bool punto = !m_hayUltimo && PQtransactionStatus(m_pg) == PQTRANS_INTRANS;
    try {
        if (punto)
            self->simple("SAVEPOINT ultimo");
        Recordset rs;
        self->consultar(QStringLiteral("SELECT lastval()"), {}, rs);
        if (punto)
            self->simple("RELEASE SAVEPOINT ultimo");
        self->m_hayUltimo = true;
        return rs.eof() ? 0 : rs.entero(0);
    } catch (const DbError &) {
        if (punto)
            PQclear(PQexec(m_pg, "ROLLBACK TO SAVEPOINT ultimo; RELEASE SAVEPOINT ultimo"));
        return 0; // no number handed out yet on this connection
    }
}

// The server keeps every committed write itself; a dump reads them all.
void MotorPostgresql::consolidar() {}

QStringList MotorPostgresql::columnas(const QString &tabla)
{
    return primeraColumna(QStringLiteral("SELECT lower(column_name) FROM information_schema.columns "
                                         "WHERE table_schema = current_schema() AND lower(table_name) = lower(?) "
                                         "ORDER BY ordinal_position"),
                          {tabla});
}

QStringList MotorPostgresql::tablas()
{
    // Only the club's schema: other schemas of the database are other clubs.
    return primeraColumna(
        QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
                       "AND table_type = 'BASE TABLE' ORDER BY table_name"));
}

void MotorPostgresql::esperarDisco(bool esperar) { ejecutarGuion(Dialecto::esperaDisco(tipo(), esperar)); }

void MotorPostgresql::vaciarSinDisparadores(const QString &tabla)
{
    // The triggers the program made are switched off while the table is
    // emptied (in the caller's transaction, which other stations wait for);
    // those the server keeps for its own constraints stay.
    const QString t = tablaEntreComillas(tabla);
    ejecutarGuion(
        QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER; DELETE FROM %1; ALTER TABLE %1 ENABLE TRIGGER USER")
            .arg(t));
}

void MotorPostgresql::compactar()
{
    // Only the club's own tables: other schemas of the database (other
    // clubs) are not waited for nor touched.
    QStringList nombres;
    for (const QString &t : tablas())
        nombres << Dialecto::identificador(t);
    if (!nombres.isEmpty())
        ejecutarGuion(QStringLiteral("VACUUM ANALYZE ") + nombres.join(QStringLiteral(", ")));
}
