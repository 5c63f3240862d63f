#include "Esquema.h"

#include "Conexion.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <memory>

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

// The CREATE INDEX statements of the schema with their index names.
QList<std::pair<QString, QString>> indicesDelEsquema()
{
    static const QRegularExpression comentario(QStringLiteral("--[^\\n]*"));
    static const QRegularExpression indice(QStringLiteral("^CREATE\\s+(?:UNIQUE\\s+)?INDEX\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QList<std::pair<QString, QString>> l;
    QString texto = leerRecurso(QStringLiteral(":/db/schema.sql"));
    texto.remove(comentario);
    for (const QString &s : texto.split(QLatin1Char(';'))) {
        const QString sentencia = s.simplified();
        const QRegularExpressionMatch m = indice.match(sentencia);
        if (m.hasMatch())
            l.append({m.captured(1), sentencia});
    }
    return l;
}
} // namespace

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

void Esquema::actualizarIndices(Conexion &c)
{
    iniciarRecursos();
    QHash<QString, QString> tiene; // by name in lower case
    for (Recordset rs = c.openRecordset(
             QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
         !rs.eof(); rs.moveNext())
        tiene.insert(rs.campo(0).texto().toLower(), normalizada(rs.campo(1).texto()));
    QStringList cambios;
    for (const auto &[nombre, sentencia] : indicesDelEsquema()) {
        const auto it = tiene.constFind(nombre.toLower());
        if (it != tiene.cend() && *it == normalizada(sentencia))
            continue;
        if (it != tiene.cend())
            cambios << QStringLiteral("DROP INDEX ") + nombre;
        cambios << sentencia;
    }
    if (cambios.isEmpty())
        return;
    Transaccion t(c);
    for (const QString &s : std::as_const(cambios))
        c.execute(s);
    t.commit();
}
