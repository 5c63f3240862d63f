#include "dbConfiguraciones.h"

#include "Module.h"

void dbConfiguraciones::save(const QString &xCod, const QString &xDesc, const QString &xValor)
{
    m_Codigo = xCod;
    m_descripcion = xDesc;
    m_Valor = xValor;
    // Delete and insert together: a failed insert keeps the previous row.
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM t_configuraciones WHERE codigo = ?"), {m_Codigo});
    gConexion->execute(QStringLiteral("INSERT INTO t_configuraciones (codigo, descripcion, valor) VALUES (?, ?, ?)"),
                       {m_Codigo, m_descripcion, m_Valor});
    t.commit();
}

QString dbConfiguraciones::getValor(const QString &xCod)
{
    Recordset rs =
        gConexion->openRecordset(QStringLiteral("SELECT valor FROM t_configuraciones WHERE codigo = ?"), {xCod});
    return rs.eof() ? QString() : rs.campo(0).texto();
}

Recordset dbConfiguraciones::clientes()
{
    return gConexion->openRecordset(
        QStringLiteral("SELECT id, COALESCE(nombre, '') || ' - ' || COALESCE(telefono, '') AS nombre "
                       "FROM clientes ORDER BY id"));
}
