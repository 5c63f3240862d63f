#include "Seleccion.h"

#include "ErrorReporte.h"

#include <QRegularExpression>

namespace {

class Lector {
public:
    Lector(const QString &formula, const QStringList &tablas, Conexion &c)
        : m_s(formula), m_tablas(tablas), m_conexion(c)
    {}

    CondicionSeleccion leer()
    {
        CondicionSeleccion r;
        QStringList partes;
        espacios();
        if (fin())
            return r;
        for (;;) {
            // One at a time: the three read the formula in order.
            bool numerico = false;
            const QString izquierda = campo(numerico);
            const QString op = operador();
            QVariant valor = literal();
            if (numerico && valor.typeId() == QMetaType::QString && !comoNumero(valor)) {
                // A number always sorts before a text that is not one, on
                // either engine: = > >= never hold, <> < <= hold for every
                // value; the server would refuse to compare them at all.
                partes << (op == u"<>" || op == u"<" || op == u"<=" ? izquierda + QStringLiteral(" IS NOT NULL")
                                                                    : QStringLiteral("1=0"));
            } else {
                r.valores << valor;
                partes << izquierda + QLatin1Char(' ') + op + QStringLiteral(" ?");
            }
            espacios();
            if (fin())
                break;
            if (!palabra(QStringLiteral("AND")))
                error(QStringLiteral("se esperaba AND o el final"));
        }
        r.sql = partes.join(QStringLiteral(" AND "));
        return r;
    }

private:
    bool fin() const { return m_pos >= m_s.size(); }
    QChar actual() const { return fin() ? QChar() : m_s.at(m_pos); }
    void espacios()
    {
        while (!fin() && actual().isSpace())
            ++m_pos;
    }

    [[noreturn]] void error(const QString &que) const
    {
        throw ErrorReporte(CodigoReporte::SeleccionInvalida,
                           QStringLiteral("La fórmula de selección «%1» no se puede leer: %2 (posición %3).")
                               .arg(m_s.trimmed(), que)
                               .arg(m_pos + 1));
    }

    static bool letra(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
    static bool digito(QChar c) { return c >= u'0' && c <= u'9'; }

    QString identificador()
    {
        const int inicio = m_pos;
        if (!letra(actual()))
            error(QStringLiteral("se esperaba un campo {tabla.columna}"));
        while (!fin() && (letra(actual()) || digito(actual())))
            ++m_pos;
        return m_s.mid(inicio, m_pos - inicio);
    }

    // A text written as a number ("57", " -1.5e3 ") becomes that number, as
    // a numeric column takes it.
    static bool comoNumero(QVariant &v)
    {
        static const QRegularExpression forma(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
        const QString t = v.toString();
        if (!forma.match(t).hasMatch())
            return false;
        bool entero = false;
        const qlonglong n = t.trimmed().toLongLong(&entero);
        v = entero ? QVariant(n) : QVariant(t.trimmed().toDouble());
        return true;
    }

    // {table.column}, checked against the report's tables and the schema;
    // returns the quoted identifier for the statement, and in numerico
    // whether the column holds numbers.
    QString campo(bool &numerico)
    {
        espacios();
        if (actual() != u'{')
            error(QStringLiteral("se esperaba un campo {tabla.columna}"));
        ++m_pos;
        const QString tabla = identificador();
        if (actual() != u'.')
            error(QStringLiteral("se esperaba un campo {tabla.columna}"));
        ++m_pos;
        const QString columna = identificador();
        if (actual() != u'}')
            error(QStringLiteral("se esperaba } al final del campo"));
        ++m_pos;
        const QString nombre = QStringLiteral("{%1.%2}").arg(tabla, columna);
        if (!m_tablas.contains(tabla, Qt::CaseInsensitive))
            throw ErrorReporte(CodigoReporte::SeleccionInvalida,
                               QStringLiteral("El campo %1 de la fórmula de selección no pertenece a las tablas del "
                                              "reporte (%2).")
                                   .arg(nombre, m_tablas.join(QStringLiteral(", "))));
        if (!m_conexion.existeColumna(tabla, columna))
            throw ErrorReporte(CodigoReporte::SeleccionInvalida,
                               QStringLiteral("El campo %1 de la fórmula de selección no existe.").arg(nombre));
        // Both names are plain identifiers known to the schema.
        const QString sql =
            Conexion::nombreEnSentencia(tabla) + QLatin1Char('.') + Conexion::nombreEnSentencia(columna);
        const int tipo =
            m_conexion
                .openRecordset(
                    QStringLiteral("SELECT %1 FROM %2 WHERE 1=0").arg(sql, Conexion::nombreEnSentencia(tabla)))
                .tipo(0);
        numerico = tipo == TipoCampo::Entero || tipo == TipoCampo::Doble || tipo == TipoCampo::Booleano;
        return sql;
    }

    QString operador()
    {
        espacios();
        static const char *const ops[] = {"<=", ">=", "<>", "=", "<", ">"};
        for (const char *op : ops) {
            const QLatin1String o(op);
            if (m_s.mid(m_pos, o.size()) == o) {
                m_pos += o.size();
                return o;
            }
        }
        error(QStringLiteral("se esperaba un operador (=, <>, <, >, <=, >=)"));
    }

    QVariant literal()
    {
        espacios();
        const QChar c = actual();
        if (c == u'\'' || c == u'"')
            return textoEntreComillas(c);
        if (c == u'#')
            return momento();
        if (digito(c) || c == u'-')
            return numero();
        error(QStringLiteral("se esperaba un valor: número, texto entre comillas o fecha entre #"));
    }

    QString textoEntreComillas(QChar comilla)
    {
        ++m_pos;
        QString t;
        for (;;) {
            if (fin())
                error(QStringLiteral("falta la comilla que cierra el texto"));
            const QChar c = actual();
            ++m_pos;
            if (c == comilla) {
                if (actual() != comilla)
                    return t;
                ++m_pos; // a doubled quote is one quote of the text
            }
            t += c;
        }
    }

    QVariant numero()
    {
        const int inicio = m_pos;
        if (actual() == u'-')
            ++m_pos;
        while (digito(actual()))
            ++m_pos;
        bool decimal = false;
        if (actual() == u'.') {
            decimal = true;
            ++m_pos;
            while (digito(actual()))
                ++m_pos;
        }
        if (letra(actual()))
            error(QStringLiteral("número mal escrito"));
        const QString t = m_s.mid(inicio, m_pos - inicio);
        bool ok = false;
        if (!decimal) {
            const qlonglong n = t.toLongLong(&ok);
            if (ok)
                return n;
        }
        const double d = t.toDouble(&ok);
        if (!ok)
            error(QStringLiteral("número mal escrito"));
        return d;
    }

    QVariant momento()
    {
        const int fin = m_s.indexOf(QLatin1Char('#'), m_pos + 1);
        if (fin < 0)
            error(QStringLiteral("falta el # que cierra la fecha"));
        QString t = m_s.mid(m_pos + 1, fin - m_pos - 1).trimmed();
        t.replace(QLatin1Char('-'), QLatin1Char('/'));
        for (const char *formato : {"yyyy/M/d H:m:s", "yyyy/M/d H:m"}) {
            const QDateTime m = QDateTime::fromString(t, QLatin1String(formato));
            if (m.isValid()) {
                m_pos = fin + 1;
                return m.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            }
        }
        const QDate d = QDate::fromString(t, QStringLiteral("yyyy/M/d"));
        if (!d.isValid())
            error(QStringLiteral("fecha inválida #%1#, se espera #aaaa/mm/dd hh:mm:ss#").arg(t));
        m_pos = fin + 1;
        return d.toString(Qt::ISODate);
    }

    bool palabra(const QString &p)
    {
        if (m_s.mid(m_pos, p.size()).compare(p, Qt::CaseInsensitive) != 0)
            return false;
        const QChar despues = m_pos + p.size() < m_s.size() ? m_s.at(m_pos + p.size()) : QChar();
        if (letra(despues) || digito(despues))
            return false;
        m_pos += p.size();
        return true;
    }

    const QString &m_s;
    const QStringList &m_tablas;
    Conexion &m_conexion;
    int m_pos = 0;
};

} // namespace

CondicionSeleccion traducirSeleccion(const QString &formula, const QStringList &tablas, Conexion &conexion)
{
    return Lector(formula, tablas, conexion).leer();
}

namespace Formula {

QString texto(const QString &valor)
{
    return QLatin1Char('\'') + QString(valor).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString momento(const QDateTime &valor)
{
    return QLatin1Char('#') + valor.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QLatin1Char('#');
}

} // namespace Formula
