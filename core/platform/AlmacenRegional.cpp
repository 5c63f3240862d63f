#include "AlmacenRegional.h"

#include "CarpetaPrograma.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSettings>

namespace {
QSet<int> g_fallos;

bool itemConocido(int item)
{
    static const QSet<int> items{ItemRegional::SeparadorDecimal, ItemRegional::SeparadorMiles,
                                 ItemRegional::SimboloMoneda,    ItemRegional::DecimalMoneda,
                                 ItemRegional::MilesMoneda,      ItemRegional::FechaCorta,
                                 ItemRegional::FechaLarga,       ItemRegional::FormatoHora};
    return items.contains(item);
}

// The locale's long time format without its time-zone part ("HH:mm:ss t").
QString formatoHora(const QLocale &l)
{
    QString f = l.timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("\\s*\\(?\\bt+\\b\\)?")));
    return f.trimmed();
}
} // namespace

QString AlmacenRegional::archivo() { return CarpetaPrograma::archivo(QStringLiteral("regional.ini")); }

QString AlmacenRegional::valorSistema(int item)
{
    const QLocale l = QLocale::system();
    switch (item) {
    case ItemRegional::SeparadorDecimal:
    case ItemRegional::DecimalMoneda: return l.decimalPoint();
    case ItemRegional::SeparadorMiles:
    case ItemRegional::MilesMoneda: return l.groupSeparator();
    case ItemRegional::SimboloMoneda: return l.currencySymbol(QLocale::CurrencySymbol);
    case ItemRegional::FechaCorta: return l.dateFormat(QLocale::ShortFormat);
    case ItemRegional::FechaLarga: return l.dateFormat(QLocale::LongFormat);
    case ItemRegional::FormatoHora: return formatoHora(l);
    default: return QString();
    }
}

QString AlmacenRegional::leer(int item)
{
    if (!itemConocido(item))
        return QString();
    const QSettings s(archivo(), QSettings::IniFormat);
    const QVariant v = s.value(QString::number(item));
    return v.isValid() ? v.toString() : valorSistema(item);
}

bool AlmacenRegional::escribir(int item, const QString &valor)
{
    if (!itemConocido(item) || g_fallos.contains(item))
        return false;
    QSettings s(archivo(), QSettings::IniFormat);
    s.setValue(QString::number(item), valor);
    s.sync();
    return s.status() == QSettings::NoError;
}

void AlmacenRegional::simularFallos(const QSet<int> &items) { g_fallos = items; }
