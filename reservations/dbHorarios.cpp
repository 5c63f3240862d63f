#include "dbHorarios.h"

#include "Module.h"

namespace dbHorarios {

Recordset todos()
{
    return gConexion->openRecordset(QStringLiteral("SELECT codigo, descripcion FROM horarios ORDER BY descripcion") +
                                    QLatin1String(kCollateEs));
}

bool existe(const QString &codigo)
{
    return !gConexion->openRecordset(QStringLiteral("SELECT codigo FROM horarios WHERE codigo = ?"), {codigo}).eof();
}

void insertar(const QString &codigo, const QString &descripcion)
{
    gConexion->execute(QStringLiteral("INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)"),
                       {codigo, descripcion});
}

bool modificar(const QString &codigo, const QString &descripcion)
{
    return gConexion->execute(QStringLiteral("UPDATE horarios SET descripcion = ? WHERE codigo = ?"),
                              {descripcion, codigo}) > 0;
}

void eliminar(const QString &codigo)
{
    // Prices first; one transaction so a failing second delete cannot leave
    // a slot without its prices.
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM valores_canchas WHERE horarios_codigo = ?"), {codigo});
    gConexion->execute(QStringLiteral("DELETE FROM horarios WHERE codigo = ?"), {codigo});
    t.commit();
}

} // namespace dbHorarios
