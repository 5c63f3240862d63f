#include "Permisos.h"

#include "Claves.h"
#include "Module.h"

#include <QStringList>

namespace Permisos {

Credenciales verificar(const QString &codigo, const QString &clave)
{
    const Recordset rs = gConexion->openRecordset(QStringLiteral("Select * from t_usuarios Where Codigo=?"), {codigo});
    if (rs.eof())
        return Credenciales::CodigoInexistente;
    return Claves::verificar(rs.texto(QStringLiteral("Clave")), clave) ? Credenciales::Correctas
                                                                       : Credenciales::ClaveErronea;
}

bool tieneOpciones(const QString &codigo)
{
    return !gConexion->openRecordset(QStringLiteral("Select * from t_opcionesasignadas where codigo=?"), {codigo})
                .eof();
}

bool tieneOpcion(const QString &codigo, const QString &opcion)
{
    return !gConexion
                ->openRecordset(QStringLiteral("Select * from t_opcionesasignadas where codigo=? and Opcion=?"),
                                {codigo, opcion})
                .eof();
}

QStringList opciones(const QString &codigo)
{
    QStringList l;
    for (Recordset rs = gConexion->openRecordset(
             QStringLiteral("SELECT opcion FROM t_opcionesasignadas WHERE codigo = ?"), {codigo});
         !rs.eof(); rs.moveNext())
        l << rs.texto(QStringLiteral("opcion"));
    return l;
}

void asignar(const QString &codigo, const QStringList &opciones)
{
    Transaccion t(*gConexion);
    gConexion->execute(QStringLiteral("DELETE FROM t_opcionesasignadas WHERE codigo = ?"), {codigo});
    for (const QString &o : opciones)
        gConexion->execute(QStringLiteral("INSERT INTO t_opcionesasignadas (codigo, opcion) VALUES (?, ?)"),
                           {codigo, o});
    t.commit();
}

bool esAdministrador(const QString &codigo) { return codigo.compare(QLatin1String("ADMIN"), Qt::CaseInsensitive) == 0; }

bool esOpcionSiempreVisible(const QString &nombre)
{
    static const QStringList siempre = {QStringLiteral("mnu_Sistema"),    QStringLiteral("mnu_raya"),
                                        QStringLiteral("mnu_conectarse"), QStringLiteral("mnu_desconectarse"),
                                        QStringLiteral("mnu_Salir"),      QStringLiteral("mnu_Ayuda"),
                                        QStringLiteral("mnu_Soporte"),    QStringLiteral("mnu_AcercaDe")};
    return siempre.contains(nombre, Qt::CaseInsensitive);
}

} // namespace Permisos
