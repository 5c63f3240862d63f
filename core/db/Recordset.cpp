#include "Conexion.h"

// Campo and Recordset: the values of a read result, engine apart.

namespace {

// A field's value read as each type; Null reads as "", 0 or an invalid date.
QString comoTexto(const QVariant &v)
{
    if (v.isNull())
        return {};
    // Most values are texts: they are shared as they are, not converted.
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString *>(v.constData());
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

double comoNumero(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

qint64 comoEntero(const QVariant &v) { return v.isNull() ? 0 : v.toLongLong(); }

bool esDigito(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int numeroDe(QStringView s)
{
    int n = 0;
    for (QChar c : s)
        n = n * 10 + (c.unicode() - '0');
    return n;
}

// A date stored as text ("yyyy-MM-dd", maybe followed by a time). The
// common shape is read digit by digit; anything else goes to Qt's reader,
// which decides as before.
QDate comoFecha(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString) {
        const QString &s = *static_cast<const QString *>(v.constData());
        if (s.size() >= 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-')) {
            const QStringView t(s);
            bool digitos = true;
            for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
                digitos = digitos && esDigito(t[i]);
            if (digitos) {
                const int anio = numeroDe(t.first(4));
                // Year 0000 is no date, as Qt's reader has it.
                return anio > 0 ? QDate(anio, numeroDe(t.sliced(5, 2)), numeroDe(t.sliced(8, 2))) : QDate();
            }
        }
        return QDate::fromString(s.left(10), Qt::ISODate);
    }
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

} // namespace

QString Campo::texto() const { return comoTexto(m_valor); }
double Campo::numero() const { return comoNumero(m_valor); }
qint64 Campo::entero() const { return comoEntero(m_valor); }
QDate Campo::fecha() const { return comoFecha(m_valor); }

QDateTime Campo::fechaHora() const
{
    if (m_valor.isNull())
        return {};
    const QString s = m_valor.toString();
    QDateTime dt = QDateTime::fromString(s.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(s.left(10), Qt::ISODate), QTime(0, 0));
    return dt;
}

// ---------------------------------------------------------------- Recordset

int Recordset::indice(const QString &nombre) const
{
    for (int i = 0; i < m_nombres.size(); ++i)
        if (m_nombres[i].compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Campo Recordset::campo(const QString &nombre) const
{
    const int i = indice(nombre);
    if (i < 0)
        throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección: %1").arg(nombre));
    return campo(i);
}

void Recordset::comprobarIndice(int i) const
{
    if (i < 0 || i >= m_nombres.size())
        throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección."));
}

const QVariant &Recordset::valor(int i) const
{
    if (eof())
        throw DbError(3021, QStringLiteral("No hay registro actual."));
    comprobarIndice(i);
    return m_valores[static_cast<qsizetype>(m_pos) * m_nombres.size() + i];
}

int Recordset::tipo(int i) const
{
    comprobarIndice(i);
    return m_tipos[i];
}

Campo Recordset::campo(int i) const
{
    const QVariant &v = valor(i); // checks i first
    return Campo(m_nombres[i], v, m_tipos[i]);
}

QString Recordset::texto(int i) const { return comoTexto(valor(i)); }
double Recordset::numero(int i) const { return comoNumero(valor(i)); }
qint64 Recordset::entero(int i) const { return comoEntero(valor(i)); }
QDate Recordset::fecha(int i) const { return comoFecha(valor(i)); }
