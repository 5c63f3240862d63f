#include "dbCanchas.h"

#include "Module.h"

namespace dbCanchas {

Recordset todas()
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT id, descripcion, cancha_madre_id FROM canchas ORDER BY descripcion") +
        QLatin1String(kCollateEs));
}

Recordset porCodigo()
{
    return gConexion->openRecordset(QStringLiteral("SELECT id, descripcion FROM canchas ORDER BY id"));
}

Recordset lista()
{
    return gConexion->openRecordset(QStringLiteral("SELECT id, descripcion FROM canchas ORDER BY descripcion") +
                                    QLatin1String(kCollateEs));
}

bool existe(const QString &id)
{
    return !gConexion->openRecordset(QStringLiteral("SELECT id FROM canchas WHERE id = ?"), {id}).eof();
}

void insertar(const QString &id, const QString &descripcion, const QString &madreId)
{
    gConexion->execute(QStringLiteral("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES (?, ?, ?)"),
                       {id, descripcion, madreId});
}

bool modificar(const QString &id, const QString &descripcion, const QString &madreId)
{
    return gConexion->execute(QStringLiteral("UPDATE canchas SET descripcion = ?, cancha_madre_id = ? WHERE id = ?"),
                              {descripcion, madreId, id}) > 0;
}

void eliminar(const QString &id)
{
    // Prices first; one transaction so a failing second delete cannot leave
    // a court without its prices.
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM valores_canchas WHERE canchas_id = ?"), {id});
    gConexion->execute(QStringLiteral("DELETE FROM canchas WHERE id = ?"), {id});
    t.commit();
}

} // namespace dbCanchas
