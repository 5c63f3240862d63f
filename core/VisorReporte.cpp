#include "VisorReporte.h"

#include "VisorPaginas.h"
#include "platform/Aperturas.h"
#include "platform/Escritorio.h"
#include "platform/InterfazImpresion.h"
#include "platform/Mensajes.h"
#include "reportes/ErrorReporte.h"
#include "reportes/Reporte.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Zoom choices, in the order of the combo; 0 means a fitting mode.
const struct {
    const char *texto;
    double factor;
} kZooms[] = {{"Ancho de página", 0}, {"Página entera", 0}, {"50%", 0.5}, {"75%", 0.75},
              {"100%", 1.0},          {"150%", 1.5},        {"200%", 2.0}};
} // namespace

VisorReporte::VisorReporte(QWidget *parent) : QWidget(parent)
{
    auto *barra = new QHBoxLayout();
    barra->setContentsMargins(4, 4, 4, 4);
    m_primera = boton(QStringLiteral("cmdPrimera"), QStringLiteral("Primera"), QStringLiteral("Primera página"),
                      QStyle::SP_MediaSkipBackward);
    m_anterior = boton(QStringLiteral("cmdAnterior"), QStringLiteral("Anterior"), QStringLiteral("Página anterior"),
                       QStyle::SP_MediaSeekBackward);
    m_pagina = new QLabel(this);
    m_pagina->setObjectName(QStringLiteral("labPagina"));
    m_pagina->setMinimumWidth(110);
    m_pagina->setAlignment(Qt::AlignCenter);
    m_siguiente = boton(QStringLiteral("cmdSiguiente"), QStringLiteral("Siguiente"), QStringLiteral("Página siguiente"),
                        QStyle::SP_MediaSeekForward);
    m_ultima = boton(QStringLiteral("cmdUltima"), QStringLiteral("Última"), QStringLiteral("Última página"),
                     QStyle::SP_MediaSkipForward);
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("cboZoom"));
    for (const auto &z : kZooms)
        m_zoom->addItem(QString::fromUtf8(z.texto));
    m_imprimir = boton(QStringLiteral("cmdImprimir"), QStringLiteral("Imprimir"),
                       QStringLiteral("Imprimir en la impresora predeterminada"), -1);
    m_imprimir->installEventFilter(this);
    auto *pdf = boton(QStringLiteral("cmdExportar"), QStringLiteral("Guardar PDF"),
                      QStringLiteral("Guardar el reporte como archivo PDF"), -1);
    for (QWidget *w :
         {static_cast<QWidget *>(m_primera), static_cast<QWidget *>(m_anterior), static_cast<QWidget *>(m_pagina),
          static_cast<QWidget *>(m_siguiente), static_cast<QWidget *>(m_ultima)})
        barra->addWidget(w);
    barra->addSpacing(12);
    barra->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    barra->addWidget(m_zoom);
    barra->addStretch();
    barra->addWidget(m_imprimir);
    barra->addWidget(pdf);

    m_vista = new VisorPaginas(this);
    m_vista->setObjectName(QStringLiteral("vista"));
    auto *todo = new QVBoxLayout(this);
    todo->setContentsMargins(0, 0, 0, 0);
    todo->setSpacing(0);
    todo->addLayout(barra);
    todo->addWidget(m_vista, 1);

    connect(m_vista, &VisorPaginas::cambiada, this, &VisorReporte::actualizarEstado);
    Aperturas::conectar(m_primera, &QToolButton::clicked, this, [this] { irAPagina(1); });
    Aperturas::conectar(m_anterior, &QToolButton::clicked, this, [this] { irAPagina(paginaActual() - 1); });
    Aperturas::conectar(m_siguiente, &QToolButton::clicked, this, [this] { irAPagina(paginaActual() + 1); });
    Aperturas::conectar(m_ultima, &QToolButton::clicked, this, [this] { irAPagina(paginas()); });
    Aperturas::conectar(m_zoom, &QComboBox::activated, this, &VisorReporte::cambiarZoom);
    Aperturas::conectar(m_imprimir, &QToolButton::clicked, this, &VisorReporte::imprimir);
    Aperturas::conectar(pdf, &QToolButton::clicked, this, &VisorReporte::exportarPdf);
    actualizarEstado();
}

VisorReporte::~VisorReporte() = default;

QToolButton *VisorReporte::boton(const QString &nombre, const QString &texto, const QString &ayuda, int icono)
{
    auto *b = new QToolButton(this);
    b->setObjectName(nombre);
    b->setText(texto);
    b->setToolTip(ayuda);
    if (icono >= 0) {
        b->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icono)));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    return b;
}

void VisorReporte::ReportSource(std::unique_ptr<Reporte> reporte)
{
    // The pages shown are the report's own: they go before it does.
    m_vista->mostrar(nullptr);
    m_reporte = std::move(reporte);
    if (m_reporte && !m_reporte->generado())
        m_reporte->generar();
}

void VisorReporte::ViewReport()
{
    // A full page is read best across the viewer's width; a narrow receipt at
    // its real size.
    int zoom = 0;
    if (m_reporte && m_reporte->disenoPagina().fullRect(QPageLayout::Millimeter).width() < 120)
        zoom = m_zoom->findText(QStringLiteral("100%"));
    m_zoom->setCurrentIndex(zoom);
    cambiarZoom(zoom);
    // From the first page; only the pages in sight are painted, as they come
    // into it.
    m_vista->mostrar(m_reporte.get());
}

int VisorReporte::paginas() const { return m_reporte ? m_vista->paginas() : 0; }
int VisorReporte::paginaActual() const { return m_reporte ? m_vista->paginaActual() : 0; }

void VisorReporte::irAPagina(int pagina)
{
    if (pagina >= 1 && pagina <= paginas())
        m_vista->irAPagina(pagina);
    actualizarEstado();
}

void VisorReporte::cambiarZoom(int indice)
{
    if (indice == 0)
        m_vista->ajustarAlAncho();
    else if (indice == 1)
        m_vista->ajustarPaginaEntera();
    else if (indice > 0 && indice < int(std::size(kZooms)))
        m_vista->fijarZoom(kZooms[indice].factor);
}

void VisorReporte::actualizarEstado()
{
    const int n = paginas();
    const int actual = paginaActual();
    m_pagina->setText(n ? QStringLiteral("Página %1 de %2").arg(actual).arg(n) : QString());
    m_primera->setEnabled(actual > 1);
    m_anterior->setEnabled(actual > 1);
    m_siguiente->setEnabled(actual < n);
    m_ultima->setEnabled(actual < n);
}

void VisorReporte::imprimir()
{
    if (!m_reporte)
        return;
    ImprimirEnPredeterminada(QStringLiteral("el reporte"), m_reporte->titulo(),
                             [this](const QString &archivo, const QString &) {
                                 try {
                                     m_reporte->exportarPdf(archivo);
                                 } catch (const ErrorReporte &) {
                                     return QPageLayout();
                                 }
                                 return m_reporte->disenoPagina();
                             });
}

bool VisorReporte::eventFilter(QObject *objeto, QEvent *evento)
{
    // A double click on "Imprimir" is one order to print: its second press
    // lets the button go, so that no second click follows.
    if (objeto == m_imprimir && evento->type() == QEvent::MouseButtonDblClick) {
        m_imprimir->setDown(false);
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

void VisorReporte::exportarPdf()
{
    if (!m_reporte)
        return;
    QString nombre = m_reporte->titulo().trimmed();
    nombre.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    if (nombre.isEmpty())
        nombre = QFileInfo(m_reporte->archivo()).completeBaseName();
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString archivo = Escritorio::guardarComo(this, QStringLiteral("Guardar el reporte como PDF"),
                                              QDir(carpeta).filePath(nombre + QStringLiteral(".pdf")),
                                              QStringLiteral("Documentos PDF (*.pdf)"));
    if (archivo.isEmpty())
        return;
    if (QFileInfo(archivo).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        archivo += QStringLiteral(".pdf");
    try {
        m_reporte->exportarPdf(archivo);
    } catch (const ErrorReporte &e) {
        MsgBox(e.descripcion(), vb::Critical);
    }
}
