#include "dbValoresCanchas.h"

#include "Module.h"

namespace dbValoresCanchas {

QList<FilaValor> valoresDeCancha(const QString &canchaId)
{
    // One row per slot; a court may hold duplicate rows for a slot (the table
    // has no key), so the price is the first one found.
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT h.codigo, h.descripcion, "
                       "(SELECT v.importe FROM valores_canchas v "
                       " WHERE v.canchas_id = ? AND v.horarios_codigo = h.codigo LIMIT 1) AS importe "
                       "FROM horarios h ORDER BY h.descripcion") +
            QLatin1String(kCollateEs),
        {canchaId});
    QList<FilaValor> filas;
    for (; !rs.eof(); rs.moveNext())
        filas.append({rs.texto(QStringLiteral("codigo")), rs.texto(QStringLiteral("descripcion")),
                      rs.campo(QStringLiteral("importe")).numero()});
    return filas;
}

std::optional<double> precio(const QString &canchaId, const QString &horarioCodigo)
{
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT importe FROM valores_canchas WHERE canchas_id = ? AND horarios_codigo = ? LIMIT 1"),
        {canchaId, horarioCodigo});
    if (rs.eof())
        return std::nullopt;
    return rs.campo(0).numero();
}

void borrarValores(const QString &canchaId)
{
    gConexion->execute(QStringLiteral("DELETE FROM valores_canchas WHERE canchas_id = ?"), {canchaId});
}

void insertarValor(const QString &canchaId, const QString &horarioCodigo, double importe)
{
    gConexion->execute(
        QStringLiteral("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES (?, ?, ?)"),
        {canchaId, horarioCodigo, importe});
}

int copiarValores(const QString &origenId, const QString &destinoId)
{
    // Whole or not at all, also when called outside an operation.
    Transaccion t(*gConexion);
    borrarValores(destinoId);
    Recordset rs = gConexion->openRecordset(
        QStringLiteral("SELECT horarios_codigo, importe FROM valores_canchas WHERE canchas_id = ?"), {origenId});
    int n = 0;
    for (; !rs.eof(); rs.moveNext(), ++n)
        insertarValor(destinoId, rs.texto(QStringLiteral("horarios_codigo")),
                      rs.campo(QStringLiteral("importe")).numero());
    t.commit();
    return n;
}

} // namespace dbValoresCanchas
