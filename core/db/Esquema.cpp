#include "Esquema.h"

#include "Conexion.h"

#include <QFile>
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
