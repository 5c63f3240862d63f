#include "dbConfiguraciones.h"

#include "Module.h"
#include "platform/Mensajes.h"

bool dbConfiguraciones::save(const QString &xCod, const QString &xDesc, const QString &xValor)
{
    m_Codigo = xCod;
    m_descripcion = xDesc;
    m_Valor = xValor;
    try {
        // Delete and insert together: a failed insert keeps the previous row.
        Transaccion t(*gConexion);
        gConexion->execute(QStringLiteral("DELETE FROM t_configuraciones WHERE codigo = ?"), {m_Codigo});
        gConexion->execute(
            QStringLiteral("INSERT INTO t_configuraciones (codigo, descripcion, valor) VALUES (?, ?, ?)"),
            {m_Codigo, m_descripcion, m_Valor});
        t.commit();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
}

QString dbConfiguraciones::getValor(const QString &xCod)
{
    Recordset rs =
        gConexion->openRecordset(QStringLiteral("SELECT valor FROM t_configuraciones WHERE codigo = ?"), {xCod});
    return rs.eof() ? QString() : rs.campo(0).texto();
}
