// The model of the grid: cells kept row by row, and their writes announced
// to the view once per burst.
#include "GridTabla.h"

#include <QBrush>

#include <algorithm>

namespace {
const QString kVacio;
} // namespace

int ModeloGrid::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_filas.size());
}

int ModeloGrid::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_columnas; }

QVariant ModeloGrid::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        // A cell never written has no text at all, as an empty cell of a
        // table widget.
        const QString &t = texto(r, c);
        return t.isNull() ? QVariant() : QVariant(t);
    }
    case Qt::TextAlignmentRole: {
        const auto a = alineacion(c);
        return a ? QVariant(int(*a | Qt::AlignVCenter)) : QVariant();
    }
    case Qt::BackgroundRole: {
        const Adorno *a = adornoLeido(r, c);
        return a && a->fondo.isValid() ? QVariant(QBrush(a->fondo)) : QVariant();
    }
    case Qt::ForegroundRole: {
        const Adorno *a = adornoLeido(r, c);
        return a && a->tinta.isValid() ? QVariant(QBrush(a->tinta)) : QVariant();
    }
    case kRolDato: return dato(r, c);
    default: return {};
    }
}

bool ModeloGrid::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    ponerTexto(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags ModeloGrid::flags(const QModelIndex &index) const
{
    // Every cell may be edited as far as the model goes; the view decides
    // which columns open an editor.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant ModeloGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columnas ? QVariant(m_titulos[size_t(section)]) : QVariant();
    return section < rowCount() ? QVariant(cabeceraFila(section)) : QVariant();
}

void ModeloGrid::ponerFilas(int n)
{
    const int antes = rowCount();
    if (n > antes)
        insertarFilas(antes, n - antes);
    else if (n < antes)
        quitarFilas(n, antes - n);
}

void ModeloGrid::ponerColumnas(int n)
{
    const int antes = m_columnas;
    if (n == antes)
        return;
    avisar();
    if (n > antes) {
        beginInsertColumns(QModelIndex(), antes, n - 1);
        m_columnas = n;
        m_titulos.resize(size_t(n));
        endInsertColumns();
        return;
    }
    beginRemoveColumns(QModelIndex(), n, antes - 1);
    m_columnas = n;
    m_titulos.resize(size_t(n));
    for (Fila &f : m_filas) {
        if (f.textos.size() > n)
            f.textos.resize(n);
        if (f.adornos.size() > size_t(n))
            f.adornos.resize(size_t(n));
    }
    m_alineaciones.removeIf([n](QHash<int, Qt::Alignment>::iterator it) { return it.key() >= n; });
    endRemoveColumns();
}

void ModeloGrid::insertarFilas(int r, int n)
{
    if (n <= 0 || r < 0 || r > rowCount())
        return;
    avisar();
    beginInsertRows(QModelIndex(), r, r + n - 1);
    m_filas.insert(m_filas.begin() + r, size_t(n), Fila());
    if (!m_cabeceras.empty())
        m_cabeceras.insert(m_cabeceras.begin() + r, size_t(n), std::nullopt);
    endInsertRows();
}

void ModeloGrid::quitarFilas(int r, int n)
{
    n = std::min(n, rowCount() - r);
    if (n <= 0 || r < 0)
        return;
    avisar();
    beginRemoveRows(QModelIndex(), r, r + n - 1);
    m_filas.erase(m_filas.begin() + r, m_filas.begin() + r + n);
    if (!m_cabeceras.empty())
        m_cabeceras.erase(m_cabeceras.begin() + r, m_cabeceras.begin() + r + n);
    endRemoveRows();
}

const QString &ModeloGrid::texto(int r, int c) const
{
    const Fila &f = m_filas[size_t(r)];
    return c < f.textos.size() ? f.textos.at(c) : kVacio;
}

QString &ModeloGrid::textoDe(int r, int c)
{
    Fila &f = m_filas[size_t(r)];
    if (f.textos.size() <= c)
        f.textos.resize(m_columnas);
    return f.textos[c];
}

void ModeloGrid::ponerTexto(int r, int c, const QString &t)
{
    textoDe(r, c) = t;
    marcar(r, c, r, c);
}

void ModeloGrid::ponerTextos(int r, int c, const QStringList &textos)
{
    const int n = std::min(int(textos.size()), m_columnas - c);
    if (n <= 0)
        return;
    Fila &f = m_filas[size_t(r)];
    if (c == 0 && n == m_columnas && textos.size() == n && f.textos.isEmpty())
        f.textos = textos;
    else
        for (int i = 0; i < n; ++i)
            textoDe(r, c + i) = textos[i];
    marcar(r, c, r, c + n - 1);
}

void ModeloGrid::vaciar(int r1, int c1, int r2, int c2)
{
    for (int r = r1; r <= r2; ++r) {
        Fila &f = m_filas[size_t(r)];
        for (int c = c1; c <= c2; ++c) {
            if (c < f.textos.size())
                f.textos[c] = QString();
            if (size_t(c) < f.adornos.size())
                f.adornos[size_t(c)] = Adorno();
        }
    }
    marcar(r1, c1, r2, c2);
}

const ModeloGrid::Adorno *ModeloGrid::adornoLeido(int r, int c) const
{
    const Fila &f = m_filas[size_t(r)];
    return size_t(c) < f.adornos.size() ? &f.adornos[size_t(c)] : nullptr;
}

ModeloGrid::Adorno &ModeloGrid::adornoDe(int r, int c)
{
    Fila &f = m_filas[size_t(r)];
    if (f.adornos.size() <= size_t(c))
        f.adornos.resize(size_t(m_columnas));
    return f.adornos[size_t(c)];
}

QVariant ModeloGrid::dato(int r, int c) const
{
    const Adorno *a = adornoLeido(r, c);
    return a ? a->dato : QVariant();
}

void ModeloGrid::ponerDato(int r, int c, const QVariant &d)
{
    adornoDe(r, c).dato = d;
    marcar(r, c, r, c);
}

QColor ModeloGrid::fondo(int r, int c) const
{
    const Adorno *a = adornoLeido(r, c);
    return a ? a->fondo : QColor();
}

QColor ModeloGrid::tinta(int r, int c) const
{
    const Adorno *a = adornoLeido(r, c);
    return a ? a->tinta : QColor();
}

void ModeloGrid::ponerFondo(int r, int c, const QColor &color)
{
    adornoDe(r, c).fondo = color;
    marcar(r, c, r, c);
}

void ModeloGrid::ponerTinta(int r, int c, const QColor &color)
{
    adornoDe(r, c).tinta = color;
    marcar(r, c, r, c);
}

int ModeloGrid::filasConTexto() const
{
    for (int r = rowCount() - 1; r >= 0; --r)
        for (const QString &t : m_filas[size_t(r)].textos)
            if (!t.isEmpty())
                return r + 1;
    return 0;
}

const QString &ModeloGrid::titulo(int c) const { return m_titulos[size_t(c)]; }

void ModeloGrid::ponerTitulo(int c, const QString &t)
{
    m_titulos[size_t(c)] = t;
    emit headerDataChanged(Qt::Horizontal, c, c);
}

QString ModeloGrid::cabeceraFila(int r) const
{
    if (size_t(r) < m_cabeceras.size() && m_cabeceras[size_t(r)])
        return *m_cabeceras[size_t(r)];
    return QString::number(r + 1);
}

void ModeloGrid::ponerCabeceraFila(int r, const QString &t)
{
    if (m_cabeceras.size() < m_filas.size())
        m_cabeceras.resize(m_filas.size());
    m_cabeceras[size_t(r)] = t;
    emit headerDataChanged(Qt::Vertical, r, r);
}

std::optional<Qt::Alignment> ModeloGrid::alineacion(int c) const
{
    const auto it = m_alineaciones.constFind(c);
    return it == m_alineaciones.cend() ? std::nullopt : std::optional<Qt::Alignment>(*it);
}

void ModeloGrid::ponerAlineacion(int c, Qt::Alignment a)
{
    m_alineaciones.insert(c, a);
    if (rowCount() > 0)
        marcar(0, c, rowCount() - 1, c);
}

void ModeloGrid::permutarFilas(int desde, const std::vector<int> &orden)
{
    if (orden.empty())
        return;
    std::vector<Fila> antes;
    antes.reserve(orden.size());
    for (size_t i = 0; i < orden.size(); ++i)
        antes.push_back(std::move(m_filas[size_t(desde) + i]));
    for (size_t i = 0; i < orden.size(); ++i)
        m_filas[size_t(desde) + i] = std::move(antes[size_t(orden[i])]);
    if (m_columnas > 0)
        marcar(desde, 0, desde + int(orden.size()) - 1, m_columnas - 1);
}

void ModeloGrid::permutarColumnas(int desde, const std::vector<int> &orden, int fila1, int fila2)
{
    if (orden.empty() || fila1 > fila2)
        return;
    const size_t n = orden.size();
    for (int r = fila1; r <= fila2; ++r) {
        Fila &f = m_filas[size_t(r)];
        auto permutar = [&](auto &celdas) {
            if (celdas.empty())
                return;
            celdas.resize(m_columnas);
            std::decay_t<decltype(celdas)> antes;
            antes.reserve(n);
            for (size_t i = 0; i < n; ++i)
                antes.push_back(std::move(celdas[desde + int(i)]));
            for (size_t i = 0; i < n; ++i)
                celdas[desde + int(i)] = std::move(antes[orden[i]]);
        };
        permutar(f.textos);
        permutar(f.adornos);
    }
    marcar(fila1, desde, fila2, desde + int(n) - 1);
}

void ModeloGrid::marcar(int r1, int c1, int r2, int c2)
{
    if (m_r1 < 0) {
        m_r1 = r1;
        m_c1 = c1;
        m_r2 = r2;
        m_c2 = c2;
    } else {
        m_r1 = std::min(m_r1, r1);
        m_c1 = std::min(m_c1, c1);
        m_r2 = std::max(m_r2, r2);
        m_c2 = std::max(m_c2, c2);
    }
    pedirUnaVez(this, m_avisoPedido, [this] { avisar(); });
}

void ModeloGrid::avisar()
{
    if (m_r1 < 0)
        return;
    const int r2 = std::min(m_r2, rowCount() - 1);
    const int c2 = std::min(m_c2, m_columnas - 1);
    const int r1 = m_r1;
    const int c1 = m_c1;
    m_r1 = -1;
    if (r1 <= r2 && c1 <= c2)
        emit dataChanged(index(r1, c1), index(r2, c2));
}
