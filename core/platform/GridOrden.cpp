// Grid: sorting the data rows (or columns) by keys, and the sort on a click on a title.
#include "Grid.h"
#include "GridTabla.h"

#include <QCollator>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

// Cells hold numbers as the program writes them ("1,234.50": "." decimal,
// "," thousands), whatever the machine's locale.
bool comoNumero(const QString &s, double *v)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    *v = QLocale::c().toDouble(t, &ok);
    return ok;
}

// Day-first dates ("15/03/2024") and moments ("15/03/2024 10:30:00"), so
// that they sort by time and not by their day.
bool comoMomento(const QString &s, QDateTime *v)
{
    static const QRegularExpression forma(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const auto m = forma.match(s.trimmed());
    if (!m.hasMatch())
        return false;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    QTime h(0, 0);
    if (!m.captured(4).isEmpty())
        h = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    *v = QDateTime(d, h);
    return d.isValid() && h.isValid();
}

} // namespace

void Grid::sort(int row, int row2, const QList<ClaveOrden> &claves)
{
    ordenar(true, std::max(row, 1), std::min(row2, MaxRows()), 1, MaxCols(), claves);
}

void Grid::sortColumns(int col, int col2, int row, int row2, const QList<ClaveOrden> &claves)
{
    ordenar(false, std::max(col, 1), std::min(col2, MaxCols()), std::max(row, 1), std::min(row2, MaxRows()), claves);
}

void Grid::ordenar(bool porFilas, int desde, int hasta, int otro1, int otro2, const QList<ClaveOrden> &claves)
{
    QList<ClaveOrden> validas;
    for (const ClaveOrden &k : claves)
        if (k.col >= otro1 && k.col <= otro2)
            validas.append(k);
    if (validas.isEmpty() || hasta <= desde)
        return;

    // Table position (0-based) of the cell at position o of line l.
    auto fila = [porFilas](int l, int o) { return (porFilas ? l : o) - 1; };
    auto columna = [porFilas](int l, int o) { return (porFilas ? o : l) - 1; };
    const int n = hasta - desde + 1;
    // A key cell read once. Its class orders first (empty, number, date,
    // text), so that a line mixing them still sorts consistently.
    enum Clase { Vacia, Numero, Momento, Texto };
    struct Valor {
        QString texto;
        Clase clase = Vacia;
        double numero = 0;
        QDateTime momento;
    };
    struct Linea {
        int origen; // its place in the range before the sort
        std::vector<Valor> claves;
    };
    const ModeloGrid &modelo = *m_tabla->modelo;
    std::vector<Linea> lineas(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Linea &f = lineas[size_t(i)];
        f.origen = i;
        for (const ClaveOrden &k : validas) {
            Valor v;
            v.texto = modelo.texto(fila(desde + i, k.col), columna(desde + i, k.col));
            if (v.texto.trimmed().isEmpty())
                v.clase = Vacia;
            else if (comoNumero(v.texto, &v.numero))
                v.clase = Numero;
            else if (comoMomento(v.texto, &v.momento))
                v.clase = Momento;
            else
                v.clase = Texto;
            f.claves.push_back(std::move(v));
        }
    }

    QCollator coll(QLocale(QLocale::Spanish, QLocale::Spain));
    coll.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(lineas.begin(), lineas.end(), [&](const Linea &a, const Linea &b) {
        for (qsizetype i = 0; i < validas.size(); ++i) {
            const Valor &va = a.claves[size_t(i)];
            const Valor &vb = b.claves[size_t(i)];
            int cmp;
            if (va.clase != vb.clase)
                cmp = va.clase < vb.clase ? -1 : 1;
            else if (va.clase == Numero)
                cmp = va.numero < vb.numero ? -1 : (vb.numero < va.numero ? 1 : 0);
            else if (va.clase == Momento)
                cmp = va.momento < vb.momento ? -1 : (vb.momento < va.momento ? 1 : 0);
            else
                cmp = coll.compare(va.texto, vb.texto);
            if (cmp != 0)
                return validas[i].ascendente ? cmp < 0 : cmp > 0;
        }
        return false;
    });

    std::vector<int> orden(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        orden[size_t(i)] = lineas[size_t(i)].origen;
    // Rows move whole; columns move only their cells of the rows given.
    if (porFilas)
        m_tabla->modelo->permutarFilas(desde - 1, orden);
    else
        m_tabla->modelo->permutarColumnas(desde - 1, orden, otro1 - 1, otro2 - 1);
}

void Grid::fitRowHeights(int row, int row2)
{
    for (int r = std::max(row, 1); r <= std::min(row2, MaxRows()); ++r)
        m_tabla->resizeRowToContents(r - 1);
}

void Grid::setHeaderSort(OrdenCabecera orden, int primeraCol)
{
    m_ordenCabecera = orden;
    m_primeraColOrden = primeraCol;
}

void Grid::alClicCabecera(int c)
{
    const int col = c + 1;
    if (m_ordenCabecera != OrdenCabecera::Ninguno && col >= m_primeraColOrden && MaxRows() > 0)
        sort(1, MaxRows(), {{col, m_ordenCabecera == OrdenCabecera::Ascendente}});
    emit clicked(col, 0);
}
