#include "Formatos.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <iterator>

namespace {
// The pattern of the texts of f, compiled once per format.
QRegularExpression formaDe(const Formatos::FormatoNumero &f)
{
    thread_local QHash<int, QRegularExpression> cache;
    const int clave = f.decimales * 4 + (f.miles ? 2 : 0) + (f.negativos ? 1 : 0);
    if (const auto it = cache.constFind(clave); it != cache.constEnd())
        return *it;
    const QString signo = f.negativos ? QStringLiteral("-?") : QString();
    QString entero = QStringLiteral("[0-9]+");
    if (f.miles)
        entero = QStringLiteral("(?:[0-9]+|[0-9]{1,3}(?:,[0-9]{3})+)");
    const QString decimales = f.decimales > 0 ? QStringLiteral("(?:\\.[0-9]{1,%1})?").arg(f.decimales) : QString();
    QRegularExpression forma(QStringLiteral("^%1(%2)%3$").arg(signo, entero, decimales));
    forma.optimize();
    cache.insert(clave, forma);
    return forma;
}
// The most decimals written from the whole number; more go through QLocale.
constexpr int kMaxDecimales = 16;
} // namespace

QString Formatos::texto(double valor, const FormatoNumero &f)
{
    // Rounded as the decimal number the value stands for (15 significant
    // digits), not its binary approximation: 2.675 and 1.5 x 1.65 end in 5
    // and round up, although as doubles they lie just below. Only a value
    // within a hair of a half needs that slower reading; the others round
    // the same either way.
    static constexpr double kPotencias[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                            1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
    const double escala =
        f.decimales >= 0 && f.decimales <= kMaxDecimales ? kPotencias[f.decimales] : std::pow(10.0, f.decimales);
    const double x = valor * escala;
    double n = std::round(x);
    if (std::abs(x - std::floor(x) - 0.5) < 1e-6)
        n = std::round(QString::number(x, 'g', 15).toDouble());
    if (!(std::abs(n) < 1e15) || f.decimales > kMaxDecimales) {
        QLocale c = QLocale::c(); // "." decimal, "," thousands
        c.setNumberOptions(f.miles ? QLocale::NumberOptions{} : QLocale::OmitGroupSeparator);
        return c.toString(n / escala, 'f', f.decimales);
    }
    // Written from the whole number of hundredths (or units), right to
    // left into one buffer: lists of thousands of amounts fill quickly.
    // Never "-0.00".
    quint64 resto = quint64(std::llabs(std::llround(n)));
    const bool negativo = n < 0 && resto != 0;
    // |n| < 1e15: at most 15 digits, 4 group separators, a sign and a point.
    char16_t buf[24 + kMaxDecimales];
    qsizetype p = std::size(buf);
    for (int i = 0; i < f.decimales; ++i) {
        buf[--p] = char16_t(u'0' + resto % 10);
        resto /= 10;
    }
    if (f.decimales > 0)
        buf[--p] = u'.';
    for (int enGrupo = 0;; ++enGrupo) {
        if (enGrupo == 3) {
            if (f.miles)
                buf[--p] = u',';
            enGrupo = 0;
        }
        buf[--p] = char16_t(u'0' + resto % 10);
        resto /= 10;
        if (resto == 0)
            break;
    }
    if (negativo)
        buf[--p] = u'-';
    return QString(reinterpret_cast<const QChar *>(buf + p), qsizetype(std::size(buf)) - p);
}

double Formatos::leer(const QString &texto, const FormatoNumero &f, bool *ok)
{
    const QRegularExpression forma = formaDe(f);
    const QString t = texto.trimmed();
    const auto m = forma.match(t);
    bool bien = m.hasMatch();
    if (bien) {
        const QString digitos = m.captured(1);
        bien = digitos.size() - digitos.count(QLatin1Char(',')) <= f.digitos;
    }
    double v = bien ? QLocale::c().toDouble(QString(t).remove(QLatin1Char(',')), &bien) : 0.0;
    if (!bien)
        v = 0.0;
    if (ok)
        *ok = bien;
    return v;
}

QString Formatos::importe(double valor) { return texto(valor, kImporte); }

QString Formatos::fecha(const QDate &d)
{
    if (!d.isValid())
        return {};
    int anio = 0, mes = 0, dia = 0;
    d.getDate(&anio, &mes, &dia);
    if (anio < 1000 || anio > 9999)
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    // Written digit by digit: a list of thousands of dates fills quickly.
    const char16_t t[10] = {
        char16_t(u'0' + dia / 10),    char16_t(u'0' + dia % 10),        u'/',
        char16_t(u'0' + mes / 10),    char16_t(u'0' + mes % 10),        u'/',
        char16_t(u'0' + anio / 1000), char16_t(u'0' + anio / 100 % 10), char16_t(u'0' + anio / 10 % 10),
        char16_t(u'0' + anio % 10)};
    return QString(reinterpret_cast<const QChar *>(t), 10);
}

QString Formatos::momento(const QDateTime &m)
{
    return m.isValid() ? m.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

double Formatos::numero(const QString &texto, bool *ok)
{
    // ASCII digits only ([0-9], not \d): other scripts' digits are no number here.
    static const QRegularExpression forma(
        QStringLiteral("^[+-]?(?:(?:[0-9]+|[0-9]{1,3}(?:,[0-9]{3})+)(?:\\.[0-9]*)?|\\.[0-9]+)$"));
    QString t = texto.trimmed();
    bool bien = forma.match(t).hasMatch();
    double v = 0.0;
    if (bien) {
        t.remove(QLatin1Char(','));
        // "2." reads as 2; the C locale wants a digit after the point.
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
        v = QLocale::c().toDouble(t, &bien);
        bien = bien && std::isfinite(v);
    }
    if (!bien)
        v = 0.0;
    if (ok)
        *ok = bien;
    return v;
}

double Formatos::redondear(double v, int decimales)
{
    return QLocale::c().toDouble(texto(v, FormatoNumero{decimales, false, true, 15}));
}

double Formatos::tecleado(const QString &texto, bool *ok, int decimales)
{
    bool bien = false;
    const double v = numero(texto, &bien);
    if (ok)
        *ok = bien;
    return bien ? redondear(v, decimales) : 0.0;
}

QDate Formatos::leerFecha(const QString &texto)
{
    static const QRegularExpression forma(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const auto m = forma.match(texto.trimmed());
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QDate Formatos::aFecha(const QVariant &valor)
{
    switch (valor.typeId()) {
    case QMetaType::QDate: return valor.toDate();
    case QMetaType::QDateTime: return valor.toDateTime().date();
    case QMetaType::QString: break;
    default: return {};
    }
    // A moment's time must be a real time too, or the text is not a date.
    static const QRegularExpression forma(QStringLiteral(
        "^(?:(\\d{4})-(\\d{2})-(\\d{2})|(\\d{1,2})/(\\d{1,2})/(\\d{4}))(?: (\\d{2}):(\\d{2}):(\\d{2}))?$"));
    const auto m = forma.match(valor.toString().trimmed());
    if (!m.hasMatch())
        return {};
    if (m.hasCaptured(7) && !QTime(m.captured(7).toInt(), m.captured(8).toInt(), m.captured(9).toInt()).isValid())
        return {};
    if (m.hasCaptured(1))
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return QDate(m.captured(6).toInt(), m.captured(5).toInt(), m.captured(4).toInt());
}
