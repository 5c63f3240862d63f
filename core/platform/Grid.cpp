#include "Grid.h"
#include "GridTabla.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

QColor colorVB(quint32 bgr)
{
    if (bgr & 0x80000000u) {
        // A system colour: its index names a role of the desktop's palette.
        const QPalette p = QGuiApplication::palette();
        switch (bgr & 0xFF) {
        case 0x05: return p.color(QPalette::Base);                     // window
        case 0x08: return p.color(QPalette::Text);                     // window text
        case 0x0D: return p.color(QPalette::Highlight);                // highlight
        case 0x0E: return p.color(QPalette::HighlightedText);          // highlighted text
        case 0x0F: return p.color(QPalette::Button);                   // button face
        case 0x11: return p.color(QPalette::Disabled, QPalette::Text); // grey text
        case 0x12: return p.color(QPalette::ButtonText);               // button text
        default: return p.color(QPalette::Text);
        }
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void DelegadoBoton::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    QStyleOptionButton b;
    b.rect = option.rect.adjusted(1, 1, -1, -1);
    b.text = m_texto;
    b.state = QStyle::State_Raised;
    if (option.state & QStyle::State_Enabled)
        b.state |= QStyle::State_Enabled;
    b.palette = option.palette;
    const QWidget *w = option.widget;
    QStyle *st = w ? w->style() : QApplication::style();
    st->drawControl(QStyle::CE_PushButton, &b, p, w);
}

QSize DelegadoBoton::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {option.fontMetrics.horizontalAdvance(m_texto) + 16, option.fontMetrics.height() + 6};
}

Grid::Tabla::Tabla(Grid *g) : QTableView(g), modelo(new ModeloGrid(this)), m_grid(g)
{
    setModel(modelo);
    setItemDelegate(new DelegadoTexto(this));
    setGridStyle(Qt::NoPen);
}

void Grid::Tabla::quitarDelegado(int c)
{
    // Every column delegate is made by the grid for that column alone.
    QAbstractItemDelegate *d = itemDelegateForColumn(c);
    setItemDelegateForColumn(c, nullptr);
    botones.remove(c);
    numeros.remove(c);
    casillas.remove(c);
    delete d;
}

void Grid::Tabla::olvidarColumnasDesde(int desde)
{
    for (int c = desde; c < modelo->columnCount(); ++c)
        quitarDelegado(c);
    editables.removeIf([desde](int c) { return c >= desde; });
}

bool Grid::Tabla::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!index.isValid() || botones.contains(index.column()) || !editables.contains(index.column()))
        return false;
    const bool abierto = QTableView::edit(index, trigger, event);
    if (abierto) {
        m_editando = QPersistentModelIndex(index);
        m_textoEditado = modelo->texto(index.row(), index.column());
        m_textoAntes = m_textoEditado;
    }
    return abierto;
}

void Grid::Tabla::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (m_editando.isValid() && indexWidget(m_editando) && m_editando.row() >= topLeft.row() &&
        m_editando.row() <= bottomRight.row() && m_editando.column() >= topLeft.column() &&
        m_editando.column() <= bottomRight.column()) {
        const QString &ahora = modelo->texto(m_editando.row(), m_editando.column());
        if (ahora == m_textoEditado) {
            viewport()->update();
            return;
        }
        m_textoEditado = ahora;
    }
    QTableView::dataChanged(topLeft, bottomRight, roles);
}

void Grid::Tabla::terminarEdicion()
{
    if (state() == EditingState && m_editando.isValid())
        if (QWidget *editor = indexWidget(m_editando)) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    // Also an edit whose editor closed but which is not told yet.
    avisarEdicion();
}

void Grid::terminarEdicion() { m_tabla->terminarEdicion(); }

void Grid::deshacerEdicion() { m_tabla->deshacerEdicion(); }

void Grid::Tabla::commitData(QWidget *editor)
{
    QTableView::commitData(editor);
    if (!m_editando.isValid())
        return;
    // Told from the event loop, once the editor has closed: a handler that
    // shows a message would otherwise run while the view is still closing
    // the editor, whose loss of focus commits (and tells) again.
    m_porAvisar = m_editando;
    m_antesPorAvisar = m_textoAntes;
    pedirUnaVez(this, m_avisoPedido, [this] { avisarEdicion(); });
}

void Grid::Tabla::avisarEdicion()
{
    if (!m_porAvisar.isValid())
        return;
    m_avisado = m_porAvisar;
    m_antesAvisado = m_antesPorAvisar;
    m_porAvisar = QPersistentModelIndex();
    emit m_grid->editado(m_avisado.column() + 1, m_avisado.row() + 1);
}

void Grid::Tabla::deshacerEdicion()
{
    if (m_avisado.isValid())
        modelo->ponerTexto(m_avisado.row(), m_avisado.column(), m_antesAvisado);
}

void Grid::Tabla::mousePressEvent(QMouseEvent *e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (e->button() == Qt::RightButton && idx.isValid())
        emit m_grid->rightClicked(idx.column() + 1, idx.row() + 1);
    if (e->button() == Qt::LeftButton && idx.isValid() && botones.contains(idx.column())) {
        // The press is handled here and not by the view, so a modal
        // dialog opened by the signal leaves no half-done drag behind.
        setCurrentIndex(idx);
        m_tragarSoltar = true;
        e->accept();
        emit m_grid->buttonClicked(idx.column() + 1, idx.row() + 1);
        return;
    }
    QTableView::mousePressEvent(e);
}

void Grid::Tabla::mouseDoubleClickEvent(QMouseEvent *e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    QTableView::mouseDoubleClickEvent(e);
    if (idx.isValid() && e->button() == Qt::LeftButton)
        emit m_grid->doubleClicked(idx.column() + 1, idx.row() + 1);
}

void Grid::Tabla::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_tragarSoltar) {
        m_tragarSoltar = false;
        e->accept();
        return;
    }
    QTableView::mouseReleaseEvent(e);
}

Grid::Grid(QWidget *parent) : QWidget(parent), m_tabla(new Tabla(this))
{
    setFocusProxy(m_tabla);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_tabla);

    m_tabla->setAlternatingRowColors(true);
    m_tabla->setWordWrap(false);
    m_tabla->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tabla->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tabla->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_tabla->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *hh = m_tabla->horizontalHeader();
    hh->setHighlightSections(false);
    hh->setSectionsClickable(true);
    hh->setStretchLastSection(true);
    hh->setDefaultAlignment(Qt::AlignCenter);
    QFont fh = hh->font();
    fh.setBold(true);
    hh->setFont(fh);
    // A header click is a command of the window (usually a sort), not a
    // column selection.
    disconnect(hh, SIGNAL(sectionPressed(int)), m_tabla, nullptr);
    disconnect(hh, SIGNAL(sectionEntered(int)), m_tabla, nullptr);

    QHeaderView *vh = m_tabla->verticalHeader();
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setDefaultSectionSize(m_tabla->fontMetrics().height() + 8);
    vh->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    connect(m_tabla, &QTableView::clicked, this,
            [this](const QModelIndex &i) { emit clicked(i.column() + 1, i.row() + 1); });
    connect(m_tabla->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &i) {
        if (i.isValid())
            emit activeCellChanged(i.column() + 1, i.row() + 1);
    });
    connect(hh, &QHeaderView::sectionClicked, this, &Grid::alClicCabecera);
    connect(this, &Grid::clicked, this, &Grid::alternarCasilla);
    connect(hh, &QHeaderView::sectionDoubleClicked, this, [this](int c) { emit doubleClicked(c + 1, 0); });
    connect(vh, &QHeaderView::sectionClicked, this, [this](int r) { emit clicked(0, r + 1); });
    connect(vh, &QHeaderView::sectionDoubleClicked, this, [this](int r) { emit doubleClicked(0, r + 1); });
    // The top left corner is the table's only button.
    if (auto *esquina = m_tabla->findChild<QAbstractButton *>())
        connect(esquina, &QAbstractButton::clicked, this, [this] { emit clicked(0, 0); });
    // The headers ignore the right button; it is watched here.
    hh->viewport()->installEventFilter(this);
    vh->viewport()->installEventFilter(this);
}

bool Grid::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(e);
        if (me->button() == Qt::RightButton) {
            const QPoint p = me->position().toPoint();
            QHeaderView *hh = m_tabla->horizontalHeader();
            QHeaderView *vh = m_tabla->verticalHeader();
            if (obj == hh->viewport()) {
                const int c = hh->logicalIndexAt(p);
                if (c >= 0)
                    emit rightClicked(c + 1, 0);
            } else if (obj == vh->viewport()) {
                const int r = vh->logicalIndexAt(p);
                if (r >= 0)
                    emit rightClicked(0, r + 1);
            }
        }
    }
    return QWidget::eventFilter(obj, e);
}

bool Grid::columnaDeBotones(int c) const { return m_tabla->botones.contains(c); }

int Grid::MaxRows() const { return m_tabla->modelo->rowCount(); }

void Grid::setMaxRows(int filas) { m_tabla->modelo->ponerFilas(std::max(0, filas)); }

int Grid::MaxCols() const { return m_tabla->modelo->columnCount(); }

void Grid::setMaxCols(int columnas)
{
    columnas = std::max(0, columnas);
    m_tabla->olvidarColumnasDesde(columnas);
    m_tabla->modelo->ponerColumnas(columnas);
}

int Grid::DataRowCnt() const { return m_tabla->modelo->filasConTexto(); }

QString Grid::text(int col, int row) const
{
    if (col < 0 || row < 0 || col > MaxCols() || row > MaxRows() || (col == 0 && row == 0))
        return {};
    if (row == 0)
        return m_tabla->modelo->titulo(col - 1);
    if (col == 0)
        return m_tabla->modelo->cabeceraFila(row - 1);
    return m_tabla->modelo->texto(row - 1, col - 1);
}

void Grid::setText(int col, int row, const QString &texto)
{
    if (col < 0 || row < 0 || col > MaxCols() || row > MaxRows() || (col == 0 && row == 0))
        return;
    if (row == 0) {
        m_tabla->modelo->ponerTitulo(col - 1, texto);
        if (const int ancho = m_tabla->columnWidth(col - 1); ancho > 0)
            setColumnWidth(col, ancho);
    } else if (col == 0)
        m_tabla->modelo->ponerCabeceraFila(row - 1, texto);
    else
        m_tabla->modelo->ponerTexto(row - 1, col - 1, texto);
}

int Grid::ActiveCol() const
{
    const QModelIndex i = m_tabla->currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

int Grid::ActiveRow() const
{
    const QModelIndex i = m_tabla->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void Grid::setActiveCell(int col, int row)
{
    if (!esCelda(*this, col, row))
        return;
    m_tabla->selectionModel()->setCurrentIndex(m_tabla->model()->index(row - 1, col - 1),
                                               QItemSelectionModel::NoUpdate);
}

void Grid::selectBlock(int col, int row, int col2, int row2)
{
    if (MaxRows() == 0 || MaxCols() == 0)
        return;
    if (col2 < col)
        std::swap(col, col2);
    if (row2 < row)
        std::swap(row, row2);
    col = std::max(col, 1);
    row = std::max(row, 1);
    col2 = std::min(col2, MaxCols());
    row2 = std::min(row2, MaxRows());
    if (col > col2 || row > row2)
        return;
    QAbstractItemModel *m = m_tabla->model();
    const QModelIndex a = m->index(row - 1, col - 1);
    const QModelIndex b = m->index(row2 - 1, col2 - 1);
    m_tabla->selectionModel()->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
    m_tabla->selectionModel()->setCurrentIndex(a, QItemSelectionModel::NoUpdate);
    m_tabla->scrollTo(a);
}

void Grid::clearSelection() { m_tabla->clearSelection(); }

bool Grid::isBlockSelected() const { return m_tabla->selectionModel()->hasSelection(); }

int Grid::selectedRow() const
{
    int menor = 0;
    const QItemSelection sel = m_tabla->selectionModel()->selection();
    for (const QItemSelectionRange &r : sel)
        if (menor == 0 || r.top() + 1 < menor)
            menor = r.top() + 1;
    return menor;
}

void Grid::setCellBackColor(int col, int row, const QColor &c)
{
    if (esCelda(*this, col, row))
        m_tabla->modelo->ponerFondo(row - 1, col - 1, c);
}

void Grid::setCellForeColor(int col, int row, const QColor &c)
{
    if (esCelda(*this, col, row))
        m_tabla->modelo->ponerTinta(row - 1, col - 1, c);
}

QColor Grid::cellBackColor(int col, int row) const
{
    return esCelda(*this, col, row) ? m_tabla->modelo->fondo(row - 1, col - 1) : QColor();
}

QColor Grid::cellForeColor(int col, int row) const
{
    return esCelda(*this, col, row) ? m_tabla->modelo->tinta(row - 1, col - 1) : QColor();
}

void Grid::setRowBackColor(int row, const QColor &c)
{
    for (int col = 1; col <= MaxCols(); ++col)
        setCellBackColor(col, row, c);
}

void Grid::setRowForeColor(int row, const QColor &c)
{
    for (int col = 1; col <= MaxCols(); ++col)
        setCellForeColor(col, row, c);
}

void Grid::setColumnWidth(int col, int ancho)
{
    if (col == 0)
        m_tabla->verticalHeader()->setFixedWidth(std::max(0, ancho));
    else if (col >= 1 && col <= MaxCols())
        // A shown column is never narrower than its title.
        m_tabla->setColumnWidth(col - 1, ancho > 0 ? std::max(ancho, anchoTitulo(col - 1)) : 0);
}

int Grid::anchoTitulo(int c) const
{
    const QHeaderView *hh = m_tabla->horizontalHeader();
    int texto = 0;
    for (const QString &linea : m_tabla->modelo->titulo(c).split(QLatin1Char('\n')))
        texto = std::max(texto, hh->fontMetrics().horizontalAdvance(linea));
    return texto == 0 ? 0 : texto + 2 * hh->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, hh);
}

int Grid::columnWidth(int col) const
{
    if (col == 0)
        return m_tabla->verticalHeader()->width();
    if (col >= 1 && col <= MaxCols())
        return m_tabla->columnWidth(col - 1);
    return 0;
}

void Grid::setColumnHidden(int col, bool oculta)
{
    if (col == 0)
        m_tabla->verticalHeader()->setVisible(!oculta);
    else if (col >= 1 && col <= MaxCols())
        m_tabla->setColumnHidden(col - 1, oculta);
}

bool Grid::isColumnHidden(int col) const
{
    if (col == 0)
        return m_tabla->verticalHeader()->isHidden();
    if (col >= 1 && col <= MaxCols())
        return m_tabla->isColumnHidden(col - 1);
    return false;
}

void Grid::setColumnButton(int col, const QString &caption)
{
    if (col < 1 || col > MaxCols())
        return;
    const int c = col - 1;
    m_tabla->quitarDelegado(c);
    auto *d = new DelegadoBoton(caption, m_tabla);
    m_tabla->botones.insert(c, d);
    m_tabla->setItemDelegateForColumn(c, d);
    const int ancho = m_tabla->fontMetrics().horizontalAdvance(caption) + 24;
    if (m_tabla->columnWidth(c) > ancho * 2 || m_tabla->columnWidth(c) < ancho)
        m_tabla->setColumnWidth(c, ancho);
}

void Grid::setColumnEditable(int col, bool editable)
{
    if (col < 1 || col > MaxCols())
        return;
    if (editable)
        m_tabla->editables.insert(col - 1);
    else
        m_tabla->editables.remove(col - 1);
}

void Grid::setRowHeaderVisible(bool visible) { m_tabla->verticalHeader()->setVisible(visible); }

QRect Grid::cellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col > MaxCols() || row > MaxRows())
        return {};
    QHeaderView *hh = m_tabla->horizontalHeader();
    QHeaderView *vh = m_tabla->verticalHeader();
    QRect r;
    if (row == 0 && col == 0) {
        if (auto *esquina = m_tabla->findChild<QAbstractButton *>())
            return QRect(esquina->mapTo(this, QPoint(0, 0)), esquina->size());
        return {};
    }
    if (row == 0) {
        r = QRect(hh->sectionViewportPosition(col - 1), 0, hh->sectionSize(col - 1), hh->height());
        return hh->isVisible() ? QRect(hh->viewport()->mapTo(this, r.topLeft()), r.size()) : QRect();
    }
    if (col == 0) {
        r = QRect(0, vh->sectionViewportPosition(row - 1), vh->width(), vh->sectionSize(row - 1));
        return vh->isVisible() ? QRect(vh->viewport()->mapTo(this, r.topLeft()), r.size()) : QRect();
    }
    r = m_tabla->visualRect(m_tabla->model()->index(row - 1, col - 1)) & m_tabla->viewport()->rect();
    return r.isEmpty() ? QRect() : QRect(m_tabla->viewport()->mapTo(this, r.topLeft()), r.size());
}

void Grid::showCell(int col, int row)
{
    if (esCelda(*this, col, row))
        m_tabla->scrollTo(m_tabla->model()->index(row - 1, col - 1));
}

bool Grid::isCellSelected(int col, int row) const
{
    if (!esCelda(*this, col, row))
        return false;
    return m_tabla->selectionModel()->isSelected(m_tabla->model()->index(row - 1, col - 1));
}
