#include "dbCierresCaja.h"

#include "Module.h"

#include <QRegularExpression>

namespace dbCierresCaja {

Recordset listado(Estado estado, const QDate &desde, const QDate &hasta, const QString &usuario)
{
    QString sql =
        QStringLiteral("SELECT * FROM caja_cabeza WHERE fecha_hora_apertura >= ? AND fecha_hora_apertura <= ?");
    Parametros p{QDateTime(desde, QTime(0, 0)), QDateTime(hasta, QTime(23, 59, 59))};
    if (estado == Estado::Abierta)
        sql += QStringLiteral(" AND fecha_hora_cierre IS NULL");
    else if (estado == Estado::Cerrada)
        sql += QStringLiteral(" AND fecha_hora_cierre IS NOT NULL");
    if (!usuario.isEmpty()) {
        sql += QStringLiteral(" AND t_usuarios_codigo = ?");
        p << usuario;
    }
    return gConexion->openRecordset(sql + QStringLiteral(" ORDER BY fecha_hora_apertura, id"), p);
}

QString nombrePdf(const QString &club, const QDateTime &cierre)
{
    // A name is not a path: a slash in the club's name must not lead the
    // file into another folder, nor a character Windows refuses spoil it.
    QString nombre = club;
    nombre.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    return nombre + QLatin1Char('_') +
           (cierre.isValid() ? cierre.date().toString(QStringLiteral("yyyy_MM_dd")) : QString()) +
           QStringLiteral(".pdf");
}

QString asunto(const QString &id, const QString &cierre, const QString &club)
{
    return QStringLiteral("Informe Caja N° %1 - %2 - %3  ").arg(id, cierre, club);
}

} // namespace dbCierresCaja
