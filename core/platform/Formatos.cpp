#include "Formatos.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString Formatos::importe(double valor)
{
    // Rounded as the decimal number the value stands for (15 significant
    // digits), not its binary approximation: 2.675 and 1.5 x 1.65 end in 5
    // and round up, although as doubles they lie just below.
    double r = std::round(QString::number(valor * 100.0, 'g', 15).toDouble()) / 100.0;
    if (r == 0.0)
        r = 0.0;              // no "-0.00"
    QLocale c = QLocale::c(); // "." decimal, "," thousands
    c.setNumberOptions({});
    return c.toString(r, 'f', 2);
}

QString Formatos::fecha(const QDate &d) { return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString(); }

QString Formatos::momento(const QDateTime &m)
{
    return m.isValid() ? m.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

double Formatos::numero(const QString &texto, bool *ok)
{
    static const QRegularExpression plano(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    const QString t = texto.trimmed();
    bool bien = plano.match(t).hasMatch();
    double v = bien ? QLocale::c().toDouble(t, &bien) : 0.0;
    if (!bien)
        v = 0.0;
    if (ok)
        *ok = bien;
    return v;
}

QDate Formatos::leerFecha(const QString &texto)
{
    static const QRegularExpression forma(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const auto m = forma.match(texto.trimmed());
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}
