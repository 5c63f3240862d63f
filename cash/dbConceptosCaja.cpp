#include "dbConceptosCaja.h"

#include "Module.h"

namespace dbConceptosCaja {

Recordset deUsuario()
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT id, descripcion FROM caja_conceptos WHERE sistema = 0 ORDER BY descripcion") +
        QLatin1String(kCollateEs));
}

QString descripcion(const QString &id)
{
    const Recordset rs = gConexion->openRecordset(QStringLiteral("SELECT descripcion FROM caja_conceptos WHERE id = ? "
                                                                 "ORDER BY id = ? COLLATE BINARY DESC LIMIT 1"),
                                                  {id, id});
    return rs.eof() ? QString() : rs.campo(0).texto();
}

void insertar(const QString &id, const QString &descripcion)
{
    gConexion->execute(QStringLiteral("INSERT INTO caja_conceptos (id, descripcion) VALUES (?, ?)"), {id, descripcion});
}

bool modificar(const QString &id, const QString &descripcion)
{
    return gConexion->execute(QStringLiteral("UPDATE caja_conceptos SET descripcion = ? WHERE id = ? COLLATE BINARY"),
                              {descripcion, id}) > 0;
}

void eliminar(const QString &id)
{
    gConexion->execute(QStringLiteral("DELETE FROM caja_conceptos WHERE id = ? COLLATE BINARY"), {id});
}

} // namespace dbConceptosCaja
