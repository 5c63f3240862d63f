#include "VisorPaginas.h"

#include "reportes/Reporte.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>

namespace {
// The scene is in the report's layout units, CSS pixels (1/96 inch).
constexpr double kPuntosPorPulgada = 96.0;
constexpr double kMmPorPulgada = 25.4;
} // namespace

// One sheet: the paper with its shadow, the report's page painted on it.
class PaginaVista : public QGraphicsItem {
public:
    PaginaVista(VisorPaginas *vista, const Reporte *reporte, int pagina, const QSizeF &papel)
        : m_vista(vista), m_reporte(reporte), m_pagina(pagina), m_papel(papel)
    {
        const qreal borde = qMax(papel.width(), papel.height()) / 25;
        m_contorno = QRectF(QPointF(-borde, -borde), papel + QSizeF(2 * borde, 2 * borde));
        // Painted once per zoom, then drawn from the picture while scrolling.
        setCacheMode(DeviceCoordinateCache);
    }
    int pagina() const { return m_pagina; }
    QRectF boundingRect() const override { return m_contorno; }

    void paint(QPainter *p, const QStyleOptionGraphicsItem *opcion, QWidget *) override
    {
        const QRectF papel(QPointF(0, 0), m_papel);
        p->setClipRect(opcion->exposedRect);
        // A shadow fading out to the right and below the sheet.
        const qreal sombra = papel.width() / 100;
        const QRectF derecha(papel.topRight() + QPointF(0, sombra), papel.bottomRight() + QPointF(sombra, 0));
        QLinearGradient gd(derecha.topLeft(), derecha.topRight());
        gd.setColorAt(0.0, QColor(0, 0, 0, 255));
        gd.setColorAt(1.0, QColor(0, 0, 0, 0));
        p->fillRect(derecha, QBrush(gd));
        const QRectF abajo(papel.bottomLeft() + QPointF(sombra, 0), papel.bottomRight() + QPointF(0, sombra));
        QLinearGradient ga(abajo.topLeft(), abajo.bottomLeft());
        ga.setColorAt(0.0, QColor(0, 0, 0, 255));
        ga.setColorAt(1.0, QColor(0, 0, 0, 0));
        p->fillRect(abajo, QBrush(ga));
        const QRectF esquina(papel.bottomRight(), papel.bottomRight() + QPointF(sombra, sombra));
        QRadialGradient ge(esquina.topLeft(), sombra, esquina.topLeft());
        ge.setColorAt(0.0, QColor(0, 0, 0, 255));
        ge.setColorAt(1.0, QColor(0, 0, 0, 0));
        p->fillRect(esquina, QBrush(ge));

        p->setClipRect(papel & opcion->exposedRect);
        p->fillRect(papel, Qt::white);
        // The report scales by the resolution of the device painted on; the
        // view's transform already gives the zoom.
        p->save();
        const double escala = kPuntosPorPulgada / p->device()->logicalDpiX();
        p->scale(escala, escala);
        m_reporte->pintarPagina(*p, m_pagina);
        p->restore();
        emit m_vista->paginaPintada(m_pagina);
    }

private:
    VisorPaginas *m_vista;
    const Reporte *m_reporte;
    int m_pagina;
    QSizeF m_papel;
    QRectF m_contorno;
};

VisorPaginas::VisorPaginas(QWidget *parent) : QGraphicsView(parent)
{
    setInteractive(false);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    m_escena = new QGraphicsScene(this);
    m_escena->setBackgroundBrush(Qt::gray);
    setScene(m_escena);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &VisorPaginas::seguirPaginaActual);
}

VisorPaginas::~VisorPaginas() = default;

void VisorPaginas::mostrar(const Reporte *reporte)
{
    m_paginas.clear();
    m_escena->clear();
    if (reporte) {
        const QRectF mm = reporte->disenoPagina().fullRect(QPageLayout::Millimeter);
        const QSizeF papel = mm.size() / kMmPorPulgada * kPuntosPorPulgada;
        for (int i = 0; i < reporte->paginas(); ++i) {
            auto *pagina = new PaginaVista(this, reporte, i, papel);
            // One column, each sheet's surround touching the next one's.
            pagina->setPos(0, i * pagina->boundingRect().height());
            m_escena->addItem(pagina);
            m_paginas << pagina;
        }
    }
    m_escena->setSceneRect(m_escena->itemsBoundingRect());
    m_actual = m_paginas.isEmpty() ? 0 : 1;
    if (m_ajuste != Ajuste::Factor)
        ajustar(false);
    if (!m_paginas.isEmpty())
        ensureVisible(m_paginas.first()->sceneBoundingRect().topLeft().x(),
                      m_paginas.first()->sceneBoundingRect().top(), 1, 1, 0, 0);
    m_actual = m_paginas.isEmpty() ? 0 : 1;
    emit cambiada();
}

int VisorPaginas::paginas() const { return int(m_paginas.size()); }

int VisorPaginas::paginaActual() const { return m_actual; }

void VisorPaginas::irAPagina(int pagina)
{
    if (pagina < 1 || pagina > paginas())
        return;
    const int anterior = m_actual;
    m_actual = pagina;
    if (anterior != m_actual) {
        PaginaVista *p = m_paginas.at(pagina - 1);
        if (m_ajuste != Ajuste::PaginaEntera) {
            // The sheet's top a little below the view's.
            const QPointF punto = transform().map(p->pos());
            verticalScrollBar()->setValue(int(punto.y()) - 10);
            horizontalScrollBar()->setValue(int(punto.x()) - 10);
        } else {
            centerOn(p);
        }
    }
    emit cambiada();
}

void VisorPaginas::ajustarAlAncho() { fijarAjuste(Ajuste::AnchoDePagina); }

void VisorPaginas::ajustarPaginaEntera() { fijarAjuste(Ajuste::PaginaEntera); }

void VisorPaginas::fijarAjuste(Ajuste ajuste)
{
    m_ajuste = ajuste;
    ajustar(true);
}

void VisorPaginas::fijarZoom(double factor)
{
    m_ajuste = Ajuste::Factor;
    m_zoom = factor;
    resetTransform();
    const double escala = factor * logicalDpiY() / kPuntosPorPulgada;
    scale(escala, escala);
    emit cambiada();
}

void VisorPaginas::ajustar(bool alPrincipioDeLaPagina)
{
    if (m_ajuste == Ajuste::Factor || m_actual < 1 || m_actual > paginas())
        return;
    const QRect vista = viewport()->rect();
    if (alPrincipioDeLaPagina) {
        // A whole page already in view stays as it is.
        if (m_ajuste == Ajuste::PaginaEntera)
            for (QGraphicsItem *item : items(vista, Qt::ContainsItemBoundingRect))
                if (static_cast<PaginaVista *>(item)->pagina() == m_actual - 1)
                    return;
        m_actual = paginaMasVisible();
    }
    const QRectF objetivo = m_paginas.at(m_actual - 1)->sceneBoundingRect();
    if (m_ajuste == Ajuste::AnchoDePagina) {
        const qreal escala = vista.width() / objetivo.width();
        setTransform(QTransform::fromScale(escala, escala));
        if (alPrincipioDeLaPagina) {
            QRectF enEscena = mapToScene(vista).boundingRect();
            enEscena.moveTop(objetivo.top());
            ensureVisible(enEscena, 0, 0);
        }
    } else {
        fitInView(objetivo, Qt::KeepAspectRatio);
        const int paso = qRound(transform().mapRect(objetivo).height());
        verticalScrollBar()->setSingleStep(paso);
        verticalScrollBar()->setPageStep(paso);
    }
    m_zoom = transform().m11() * kPuntosPorPulgada / logicalDpiY();
    emit cambiada();
}

int VisorPaginas::paginaMasVisible() const
{
    // The page taking most of the view; of two alike, the first.
    int mayor = 0;
    int pagina = m_actual;
    const QRect vista = viewport()->rect();
    for (QGraphicsItem *item : items(vista)) {
        const auto *p = static_cast<PaginaVista *>(item);
        const QRect comun = mapFromScene(p->sceneBoundingRect()).boundingRect() & vista;
        const int area = comun.width() * comun.height();
        if (area > mayor || (area == mayor && p->pagina() + 1 < pagina)) {
            mayor = area;
            pagina = p->pagina() + 1;
        }
    }
    return pagina;
}

void VisorPaginas::seguirPaginaActual()
{
    const int pagina = paginaMasVisible();
    if (pagina != m_actual) {
        m_actual = pagina;
        emit cambiada();
    }
}

void VisorPaginas::resizeEvent(QResizeEvent *evento)
{
    QGraphicsView::resizeEvent(evento);
    ajustar(false);
}

void VisorPaginas::showEvent(QShowEvent *evento)
{
    QGraphicsView::showEvent(evento);
    ajustar(false);
}
