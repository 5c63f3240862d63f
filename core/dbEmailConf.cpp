#include "dbEmailConf.h"

#include "Module.h"

std::optional<CuentaEmail> dbEmailConf::leer()
{
    const Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT usuario, \"contraseña\", destinatario FROM t_emailconf LIMIT 1"));
    if (rs.eof())
        return std::nullopt;
    QString clave = rs.campo(1).texto();
    return CuentaEmail{rs.campo(0).texto(), CodificaTexto(clave), rs.campo(2).texto()};
}

void dbEmailConf::guardar(const CuentaEmail &cuenta)
{
    QString clave = cuenta.contrasena;
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM t_emailconf"));
    gConexion->execute(QStringLiteral("INSERT INTO t_emailconf (usuario, \"contraseña\", destinatario, "
                                      "t_usuarios_codigo) VALUES (?, ?, ?, ?)"),
                       {cuenta.usuario, CodificaTexto(clave), cuenta.destinatario, gUsuarioActual});
    t.commit();
}
