#include "sentencias_planas.h"

#include "db/Dialecto.h"

#include <libpq-fe.h>
#include <vector>

SentenciasPlanas::SentenciasPlanas(Conexion &c, const DatosServidor *servidor) : m_conexion(c)
{
    if (!servidor)
        return;
    const QByteArray host = servidor->host.toUtf8(), puerto = servidor->puerto.toUtf8(), base = servidor->base.toUtf8(),
                     usuario = servidor->usuario.toUtf8();
    const char *claves[] = {"host", "port", "dbname", "user", "client_encoding", nullptr};
    const char *valores[] = {host.isEmpty() ? nullptr : host.constData(),
                             puerto.isEmpty() ? nullptr : puerto.constData(),
                             base.constData(),
                             usuario.isEmpty() ? nullptr : usuario.constData(),
                             "UTF8",
                             nullptr};
    m_pg = PQconnectdbParams(claves, valores, 0);
    if (PQstatus(m_pg) != CONNECTION_OK) {
        const QString error = QString::fromUtf8(PQerrorMessage(m_pg));
        PQfinish(m_pg);
        throw DbError(3024, error);
    }
    if (!servidor->esquema.isEmpty())
        valor(QStringLiteral("SELECT length(set_config('search_path', ?1 || ', public', false))"), {servidor->esquema});
}

SentenciasPlanas::~SentenciasPlanas()
{
    if (m_pg)
        PQfinish(m_pg);
}

void SentenciasPlanas::exigir(PGresult *r, int estado) const
{
    if (PQresultStatus(r) == estado)
        return;
    const QString error = QString::fromUtf8(PQresultErrorMessage(r));
    PQclear(r);
    throw DbError(3146, error);
}

void SentenciasPlanas::simple(const char *sql)
{
    PGresult *r = PQexec(m_pg, sql);
    exigir(r, PGRES_COMMAND_OK);
    PQclear(r);
}

void SentenciasPlanas::empezar(bool sinEsperarDisco)
{
    if (m_pg)
        return simple(sinEsperarDisco ? "BEGIN; SET LOCAL synchronous_commit = off" : "BEGIN");
    if (sinEsperarDisco)
        m_sinEsperar.emplace(m_conexion);
    m_conexion.beginTrans();
}

void SentenciasPlanas::confirmar()
{
    if (m_pg)
        return simple("COMMIT");
    m_conexion.commitTrans();
    m_sinEsperar.reset();
}

void SentenciasPlanas::deshacer()
{
    if (m_pg)
        return simple("ROLLBACK");
    m_conexion.rollbackTrans();
    m_sinEsperar.reset();
}

PGresult *SentenciasPlanas::correr(const QString &sql, const Parametros &valores)
{
    auto it = m_preparadas.constFind(sql);
    if (it == m_preparadas.cend()) {
        const QByteArray nombre = "p" + QByteArray::number(m_preparadas.size());
        int parametros = 0;
        PGresult *r =
            PQprepare(m_pg, nombre.constData(), Dialecto::sentenciaPostgresql(sql, parametros).constData(), 0, nullptr);
        exigir(r, PGRES_COMMAND_OK);
        PQclear(r);
        it = m_preparadas.insert(sql, nombre);
    }
    QList<QByteArray> textos;
    std::vector<const char *> punteros;
    for (const QVariant &v : valores) {
        switch (v.typeId()) {
        case QMetaType::Double: textos << QByteArray::number(v.toDouble(), 'g', 17); break;
        case QMetaType::Bool: textos << (v.toBool() ? "1" : "0"); break;
        case QMetaType::QDateTime:
            textos << v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            break;
        default: textos << v.toString().toUtf8(); break;
        }
        punteros.push_back(v.isNull() ? nullptr : textos.last().constData());
    }
    return PQexecPrepared(m_pg, it->constData(), int(punteros.size()), punteros.data(), nullptr, nullptr, 0);
}

int SentenciasPlanas::ejecutar(const QString &sql, const Parametros &valores)
{
    if (!m_pg)
        return m_conexion.execute(sql, valores);
    PGresult *r = correr(sql, valores);
    exigir(r, PQresultStatus(r) == PGRES_TUPLES_OK ? PGRES_TUPLES_OK : PGRES_COMMAND_OK);
    const int filas = QByteArray(PQcmdTuples(r)).toInt();
    PQclear(r);
    return filas;
}

qint64 SentenciasPlanas::valor(const QString &sql, const Parametros &valores)
{
    if (!m_pg) {
        const Recordset rs = m_conexion.openRecordset(sql, valores);
        return rs.eof() ? 0 : rs.campo(0).entero();
    }
    PGresult *r = correr(sql, valores);
    exigir(r, PGRES_TUPLES_OK);
    const qint64 v = PQntuples(r) > 0 ? QByteArray(PQgetvalue(r, 0, 0)).toLongLong() : 0;
    PQclear(r);
    return v;
}
