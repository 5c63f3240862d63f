// The grid's text cells painted as the style paints an item view's cell,
// with each text laid out once (QStaticText) and kept: a refill of the
// agenda or a scroll paints the same few texts again and again, and laying
// them out anew was most of the cost of painting the grid.
#include "GridTabla.h"

#include <QApplication>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace {

// Laid-out texts kept per delegate; past this many the oldest half goes.
constexpr qsizetype kTextosGuardados = 2000;

// True when the style paints an item view's cell with QCommonStyle's own
// steps (background, text, focus frame), the ones repeated here.
bool estiloConocido(const QStyle *st)
{
    return st && st->inherits("QFusionStyle") && !st->inherits("QStyleSheetStyle");
}

} // namespace

size_t qHash(const DelegadoTexto::Clave &c, size_t semilla) noexcept
{
    return qHashMulti(semilla, c.texto, c.ancho, c.alineacion);
}

const QStaticText &DelegadoTexto::textoPreparado(const QString &texto, int ancho, Qt::Alignment alineacion,
                                                 const QFont &fuente, int &alto) const
{
    if (m_alto < 0 || !(fuente == m_fuente)) {
        m_textos.clear();
        m_textos.setMaxCost(kTextosGuardados);
        m_fuente = fuente;
        m_alto = QFontMetrics(fuente).height();
    }
    alto = m_alto;
    const Clave clave{texto, ancho, int(alineacion)};
    if (const QStaticText *hecho = m_textos.object(clave))
        return *hecho;

    // What fits in the width, cut with an ellipsis as the style cuts it: when
    // the laid-out line is wider than the room.
    QTextOption opcion;
    opcion.setWrapMode(QTextOption::ManualWrap);
    opcion.setAlignment(alineacion);
    QString visible = texto;
    {
        QTextLayout medida(texto, fuente);
        medida.setTextOption(opcion);
        medida.beginLayout();
        QTextLine linea = medida.createLine();
        linea.setLineWidth(ancho);
        const bool larga = linea.naturalTextWidth() > ancho;
        medida.endLayout();
        if (larga)
            visible = QFontMetrics(fuente).elidedText(texto, Qt::ElideRight, ancho);
    }
    auto *t = new QStaticText(visible);
    t->setTextFormat(Qt::PlainText);
    t->setTextOption(opcion);
    t->setTextWidth(ancho);
    m_textos.insert(clave, t);
    return *t;
}

void DelegadoTexto::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *w = option.widget;
    const QStyle *st = w ? w->style() : QApplication::style();
    // Anything but one line of plain text in a known style is painted by Qt.
    const bool sencilla = estiloConocido(st) && opt.direction == Qt::LeftToRight &&
                          opt.textElideMode == Qt::ElideRight &&
                          !(opt.features & (QStyleOptionViewItem::HasCheckIndicator |
                                            QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::WrapText)) &&
                          !(opt.state & QStyle::State_Editing) && !opt.text.contains(QChar::LineSeparator);
    if (!sencilla) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }

    // The style's background of the cell: the selection, or a colour of the
    // cell; a plain cell has none, the view's row colour shows through.
    if (opt.backgroundBrush.style() != Qt::NoBrush || (opt.state & (QStyle::State_Selected | QStyle::State_MouseOver)))
        st->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, p, w);
    if (!opt.text.isEmpty()) {
        QPalette::ColorGroup grupo = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (grupo == QPalette::Normal && !(opt.state & QStyle::State_Active))
            grupo = QPalette::Inactive;
        // The text's room: the cell less the focus frame's margin on each side.
        const int margen = st->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
        const QRect r = opt.rect.adjusted(margen, 0, -margen, 0);
        int alto = 0;
        const QStaticText &t =
            textoPreparado(opt.text, r.width(), opt.displayAlignment & Qt::AlignHorizontal_Mask, opt.font, alto);
        // One line, placed in the height as the style places it; cut to the
        // cell only when the row is lower than the line.
        int y = r.top();
        if (opt.displayAlignment & Qt::AlignVCenter)
            y += (r.height() - alto) / 2;
        else if (opt.displayAlignment & Qt::AlignBottom)
            y += r.height() - alto;
        p->save();
        if (alto > r.height())
            p->setClipRect(opt.rect);
        p->setPen(
            opt.palette.color(grupo, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(opt.font);
        p->drawStaticText(QPointF(r.left(), y), t);
        p->restore();
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect foco;
        foco.QStyleOption::operator=(opt);
        foco.rect = st->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, w);
        foco.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup grupo = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        foco.backgroundColor =
            opt.palette.color(grupo, opt.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        p->save();
        p->setClipRect(opt.rect);
        st->drawPrimitive(QStyle::PE_FrameFocusRect, &foco, p, w);
        p->restore();
    }
}

void Grid::Tabla::paintEvent(QPaintEvent *e)
{
    QTableView::paintEvent(e);
    if (!showGrid() || gridStyle() != Qt::NoPen)
        return;
    // The lines the view would draw with a solid pen: below each shown row
    // and at the right of each shown column, across the part of each
    // repainted rectangle that holds cells.
    QStyleOptionViewItem opcion;
    initViewItemOption(&opcion);
    const QColor color =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &opcion, this)));
    const QHeaderView *hh = horizontalHeader();
    const QHeaderView *vh = verticalHeader();
    const bool derechaAIzquierda = isRightToLeft();
    const int finX = hh->length() - hh->offset() - (derechaAIzquierda ? 0 : 1);
    const int finY = vh->length() - vh->offset() - 1;
    QPainter p(viewport());
    for (QRect zona : e->region()) {
        zona.setBottom(std::min(zona.bottom(), finY));
        if (derechaAIzquierda)
            zona.setLeft(std::max(zona.left(), viewport()->width() - finX));
        else
            zona.setRight(std::min(zona.right(), finX));
        if (!zona.isValid())
            continue;
        int izquierda = hh->visualIndexAt(zona.left());
        int derecha = hh->visualIndexAt(zona.right());
        if (derechaAIzquierda)
            std::swap(izquierda, derecha);
        if (izquierda == -1)
            izquierda = 0;
        if (derecha == -1)
            derecha = hh->count() - 1;
        int abajo = vh->visualIndexAt(zona.bottom());
        if (abajo == -1)
            abajo = vh->count() - 1;
        const int arriba = vh->visualIndexAt(zona.top());
        if (arriba == -1 || arriba > abajo)
            continue;
        for (int v = arriba; v <= abajo; ++v) {
            const int fila = vh->logicalIndex(v);
            if (vh->isSectionHidden(fila))
                continue;
            const int y = rowViewportPosition(fila) + rowHeight(fila) - 1;
            p.fillRect(QRect(zona.left(), y, zona.width(), 1), color);
        }
        for (int h = izquierda; h <= derecha; ++h) {
            const int col = hh->logicalIndex(h);
            if (hh->isSectionHidden(col))
                continue;
            const int x = columnViewportPosition(col) + (derechaAIzquierda ? 0 : columnWidth(col) - 1);
            p.fillRect(QRect(x, zona.top(), 1, zona.height()), color);
        }
    }
}
