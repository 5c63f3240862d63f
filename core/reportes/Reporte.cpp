#include "Reporte.h"

#include "ErrorReporte.h"
#include "Module.h"
#include "Plantilla.h"
#include "Seleccion.h"
#include "platform/Formatos.h"
#include "platform/Reloj.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextLayout>
#include <kainjow/mustache.hpp>

namespace mu = kainjow::mustache;

namespace {

// The document is laid out in CSS pixels (1/96 inch) whatever the screen,
// so a report has the same pages on every machine and on paper.
constexpr double kPuntosPorPulgada = 96.0;
constexpr double kMmPorPulgada = 25.4;

double aUnidades(double mm) { return mm / kMmPorPulgada * kPuntosPorPulgada; }
double aMm(double unidades) { return unidades / kPuntosPorPulgada * kMmPorPulgada; }

// The device the layout measures fonts on: a 96 dpi image.
QPaintDevice *dispositivoDeMedida()
{
    static QImage imagen = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int puntosPorMetro = qRound(kPuntosPorPulgada / 0.0254);
        i.setDotsPerMeterX(puntosPorMetro);
        i.setDotsPerMeterY(puntosPorMetro);
        return i;
    }();
    return &imagen;
}

QString nombrePlano(const QString &nombre)
{
    QString n = nombre.trimmed();
    if (n.startsWith(QLatin1String("{?")) && n.endsWith(QLatin1Char('}')))
        n = n.mid(2, n.size() - 3);
    return n;
}

// A value for the layout: empty is false, so sections hide it.
mu::data valorDiseno(const QString &texto)
{
    if (texto.isEmpty())
        return mu::data(false);
    return mu::data(texto.toStdString());
}

QString textoCampo(const Campo &c, const QString &formato)
{
    if (c.esNulo())
        return {};
    if (formato == QLatin1String("importe"))
        return Formatos::importe(c.numero());
    if (formato == QLatin1String("entero"))
        return QString::number(qRound64(c.numero()));
    if (formato == QLatin1String("fecha"))
        return Formatos::fecha(c.fecha());
    if (formato == QLatin1String("momento"))
        return Formatos::momento(c.fechaHora());
    if (formato == QLatin1String("hora"))
        return c.fechaHora().time().toString(QStringLiteral("HH:mm:ss"));
    return c.texto();
}

} // namespace

struct Reporte::Datos {
    QString archivo;
    Plantilla plantilla;
    QHash<QString, std::optional<QString>> valores; // by plain name
    QString titulo;
    QString formula;
    CondicionSeleccion condicion;
    std::unique_ptr<QTextDocument> documento;
    double altoPagina = 0; // layout units, content area of one page
    int paginas = 0;

    QString nombreDeclarado(const QString &nombre) const
    {
        const QString n = nombrePlano(nombre);
        for (const QString &p : plantilla.parametros)
            if (p.compare(n, Qt::CaseInsensitive) == 0)
                return p;
        return {};
    }
    QString exigirParametro(const QString &nombre) const
    {
        const QString n = nombreDeclarado(nombre);
        if (n.isEmpty())
            throw ErrorReporte(
                CodigoReporte::ParametroDesconocido,
                QStringLiteral("El reporte %1 no tiene el parámetro %2.").arg(QFileInfo(archivo).fileName(), nombre));
        return n;
    }
    QSizeF areaUtil() const // layout units
    {
        const PaginaPlantilla &p = plantilla.pagina;
        return {aUnidades(p.tamanoMm.width() - p.margenesMm.left() - p.margenesMm.right()),
                aUnidades(p.tamanoMm.height() - p.margenesMm.top() - p.margenesMm.bottom())};
    }
    mu::data datos() const;
};

Reporte::Reporte() : d(std::make_unique<Datos>()) {}
Reporte::~Reporte() = default;

std::unique_ptr<Reporte> Reporte::abrir(const QString &ruta)
{
    std::unique_ptr<Reporte> r(new Reporte());
    r->d->archivo = ruta;
    r->d->plantilla = Plantilla::leer(ruta);
    r->d->titulo = r->d->plantilla.titulo;
    return r;
}

QString Reporte::archivo() const { return d->archivo; }

QStringList Reporte::parametros() const
{
    QStringList l;
    for (const QString &p : d->plantilla.parametros)
        l << QStringLiteral("{?%1}").arg(p);
    return l;
}

bool Reporte::tieneParametro(const QString &nombre) const { return !d->nombreDeclarado(nombre).isEmpty(); }

void Reporte::limpiarParametro(const QString &nombre) { d->valores.remove(d->exigirParametro(nombre)); }

void Reporte::fijarParametro(const QString &nombre, const QString &valor)
{
    d->valores.insert(d->exigirParametro(nombre), valor);
}

std::optional<QString> Reporte::valorParametro(const QString &nombre) const
{
    return d->valores.value(d->exigirParametro(nombre));
}

QString Reporte::titulo() const { return d->titulo; }
void Reporte::fijarTitulo(const QString &titulo) { d->titulo = titulo; }

void Reporte::fijarSeleccion(const QString &formula)
{
    d->condicion = traducirSeleccion(formula, d->plantilla.tablas, *gConexion);
    d->formula = formula;
}

QString Reporte::seleccion() const { return d->formula; }

mu::data Reporte::Datos::datos() const
{
    mu::data raiz = mu::data::type::object;
    raiz.set("titulo", valorDiseno(titulo));
    raiz.set("impreso", valorDiseno(Formatos::momento(Reloj::ahora())));
    for (const QString &p : plantilla.parametros)
        raiz.set(p.toStdString(), valorDiseno(valores.value(p).value_or(QString())));

    const QString marca = QStringLiteral("{seleccion}");
    for (const ConsultaPlantilla &c : plantilla.consultas) {
        // The selection is pasted as its text with placeholders and a
        // parameter {?name} as one placeholder; the values are bound, in the
        // order the markers appear (an unset parameter is Null).
        QString sql = c.sql;
        Parametros valores;
        for (int i = sql.indexOf(QLatin1Char('{')); i >= 0; i = sql.indexOf(QLatin1Char('{'), i)) {
            if (sql.mid(i, marca.size()) == marca) {
                const QString condicion = QLatin1Char('(') + this->condicion.sql + QLatin1Char(')');
                sql.replace(i, marca.size(), condicion);
                i += condicion.size();
                valores += this->condicion.valores;
                continue;
            }
            const int fin = sql.indexOf(QLatin1Char('}'), i);
            const QString nombre =
                fin > i + 2 && sql.at(i + 1) == QLatin1Char('?') ? sql.mid(i + 2, fin - i - 2) : QString();
            if (nombre.isEmpty() || !plantilla.parametros.contains(nombre)) {
                ++i;
                continue;
            }
            sql.replace(i, fin - i + 1, QStringLiteral("?"));
            ++i;
            const std::optional<QString> v = this->valores.value(nombre);
            valores << (v ? QVariant(*v) : QVariant());
        }
        Recordset rs;
        try {
            rs = gConexion->openRecordset(sql, valores);
        } catch (const DbError &e) {
            // The database's number stays; the description says which rows.
            throw ErrorReporte(
                e.numero(),
                QStringLiteral("No se pudieron leer los datos del reporte (%1): %2").arg(c.nombre, e.descripcion()));
        }
        mu::data filas = mu::data::type::list;
        const QStringList columnas = rs.nombres();
        for (; !rs.eof(); rs.moveNext()) {
            mu::data fila = mu::data::type::object;
            for (int i = 0; i < columnas.size(); ++i)
                fila.set(columnas[i].toStdString(),
                         valorDiseno(textoCampo(rs.campo(i), plantilla.formatos.value(columnas[i].toLower()))));
            filas.push_back(fila);
        }
        raiz.set(c.nombre.toStdString(), filas);
    }
    return raiz;
}

void Reporte::generar()
{
    const std::string html = d->plantilla.diseno->render(d->datos());
    if (!d->plantilla.diseno->is_valid())
        throw ErrorReporte(
            CodigoReporte::PlantillaInvalida,
            QStringLiteral("La plantilla de reporte %1 no se pudo completar: %2")
                .arg(QFileInfo(d->archivo).fileName(), QString::fromStdString(d->plantilla.diseno->error_message())));

    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(dispositivoDeMedida());
    doc->setUseDesignMetrics(true);
    doc->setDocumentMargin(0);
    QFont fuente = doc->defaultFont();
    if (!d->plantilla.fuenteFamilia.isEmpty())
        fuente.setFamily(d->plantilla.fuenteFamilia);
    fuente.setPointSizeF(d->plantilla.fuentePuntos);
    doc->setDefaultFont(fuente);
    // The page (or the width) is set before the text, which is then laid out
    // once, on it: set after, it would have the whole text laid out again.
    const QSizeF util = d->areaUtil();
    const bool largoDelContenido = d->plantilla.pagina.largoDelContenido();
    if (largoDelContenido)
        doc->setTextWidth(util.width());
    else
        doc->setPageSize(util);
    doc->setHtml(QString::fromStdString(html));

    if (largoDelContenido) {
        d->altoPagina = std::max(1.0, doc->documentLayout()->documentSize().height());
        d->paginas = 1;
    } else {
        d->altoPagina = util.height();
        d->paginas = std::max(1, doc->pageCount());
    }
    d->documento = std::move(doc);
}

bool Reporte::generado() const { return d->documento != nullptr; }

const QTextDocument &Reporte::documento() const
{
    Q_ASSERT(d->documento);
    return *d->documento;
}

int Reporte::paginas() const { return d->paginas; }

QPageLayout Reporte::disenoPagina() const
{
    const PaginaPlantilla &p = d->plantilla.pagina;
    QSizeF mm = p.tamanoMm;
    // A page as long as its content comes off a roll as wide as the page,
    // however short it is: always upright. A page size is otherwise given
    // upright, and a wide page is an upright one turned.
    bool apaisada = mm.width() > mm.height();
    if (p.largoDelContenido()) {
        mm.setHeight(p.margenesMm.top() + aMm(d->altoPagina) + p.margenesMm.bottom());
        apaisada = false;
    }
    QPageLayout diseno(
        QPageSize(apaisada ? mm.transposed() : mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
        apaisada ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    diseno.setMode(QPageLayout::FullPageMode);
    return diseno;
}

void Reporte::pintarPagina(QPainter &p, int pagina) const
{
    if (!d->documento || pagina < 0 || pagina >= d->paginas)
        return;
    const PaginaPlantilla &pag = d->plantilla.pagina;
    const double escala = p.device()->logicalDpiX() / kPuntosPorPulgada;
    const double ancho = d->areaUtil().width();

    p.save();
    p.scale(escala, escala);
    p.translate(aUnidades(pag.margenesMm.left()), aUnidades(pag.margenesMm.top()));
    p.save();
    const QRectF recorte(0, pagina * d->altoPagina, ancho, d->altoPagina);
    p.translate(0, -recorte.top());
    p.setClipRect(recorte);
    QAbstractTextDocumentLayout::PaintContext contexto;
    contexto.clip = recorte;
    contexto.palette.setColor(QPalette::Text, Qt::black);
    d->documento->documentLayout()->draw(&p, contexto);
    p.restore();

    if (pag.numerar) {
        // Laid out on the measuring device, as the document's text is, and
        // never with a font handed to the painter: that font would be resolved
        // at the printer's resolution, and Qt keeps one font engine per pixel
        // size for screen and printer alike; resolving it at another resolution
        // rewrites that engine's point size, and every menu and list drawn at
        // that pixel size afterwards shows its text as tiny dashes.
        QFont f(d->documento->defaultFont(), dispositivoDeMedida());
        f.setPointSizeF(std::max(6.0, d->plantilla.fuentePuntos - 1));
        QTextLayout pie(QStringLiteral("Página %1 de %2").arg(pagina + 1).arg(d->paginas), f, dispositivoDeMedida());
        pie.setTextOption(QTextOption(Qt::AlignHCenter));
        pie.beginLayout();
        QTextLine linea = pie.createLine();
        linea.setLineWidth(ancho);
        pie.endLayout();
        p.setPen(Qt::black);
        pie.draw(&p, QPointF(0, d->altoPagina + (aUnidades(pag.margenesMm.bottom()) - linea.height()) / 2));
    }
    p.restore();
}

void Reporte::pintarPaginas(QPainter &p, QPagedPaintDevice &dispositivo) const
{
    for (int i = 0; i < d->paginas; ++i) {
        if (i > 0)
            dispositivo.newPage();
        pintarPagina(p, i);
    }
}

void Reporte::exportarPdf(const QString &archivo)
{
    if (!generado())
        generar();
    QPdfWriter pdf(archivo);
    pdf.setResolution(600);
    pdf.setPageLayout(disenoPagina());
    pdf.setTitle(d->titulo);
    pdf.setCreator(QCoreApplication::applicationName());
    QPainter p;
    if (!p.begin(&pdf))
        throw ErrorReporte(CodigoReporte::Exportacion,
                           QStringLiteral("No se pudo escribir el archivo %1.").arg(archivo));
    pintarPaginas(p, pdf);
    p.end();
}
