#include "NumerosVenta.h"

#include "platform/Formatos.h"

#include <QRegularExpression>

double NumerosVenta::leerImporte(const QString &texto, bool *ok)
{
    static const QRegularExpression agrupado(QStringLiteral("^-?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    QString t = texto.trimmed();
    if (agrupado.match(t).hasMatch())
        t.remove(QLatin1Char(','));
    return Formatos::numero(t, ok);
}
