#pragma once
// A report opened from a template: its text parameters, title and record
// selection, the rows it reads, and the document it lays them out in, page
// by page, for the preview, the printer or a PDF file.
//
// Every operation that can fail throws ErrorReporte (ErrorReporte.h).
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

class Reporte {
public:
    // Opens the template file at ruta (ArchivoNoEncontrado when it is
    // missing, PlantillaInvalida when it does not parse).
    static std::unique_ptr<Reporte> abrir(const QString &ruta);
    ~Reporte();
    Reporte(const Reporte &) = delete;
    Reporte &operator=(const Reporte &) = delete;

    QString archivo() const;

    // Parameter names as the printing code writes them: "{?club_nombre}".
    QStringList parametros() const;
    // nombre with or without the "{?...}" around it.
    bool tieneParametro(const QString &nombre) const;
    // Clears the current value: the parameter has none (ParametroDesconocido
    // for a name the template does not declare).
    void limpiarParametro(const QString &nombre);
    // Sets the current value (an empty text is a value, shown as nothing).
    void fijarParametro(const QString &nombre, const QString &valor);
    // The current value; nullopt when it has none.
    std::optional<QString> valorParametro(const QString &nombre) const;

    // Report title: the template's until set.
    QString titulo() const;
    void fijarTitulo(const QString &titulo);

    // Record selection formula (see Seleccion.h); read at once, so an
    // unreadable formula throws SeleccionInvalida here. Uses gConexion.
    void fijarSeleccion(const QString &formula);
    QString seleccion() const;

    // Reads the rows (gConexion) and lays out the document; run again after
    // changing parameters or selection. A statement that fails throws with the
    // database's number.
    void generar();
    bool generado() const;

    // After generar(): the laid-out document, the number of pages and the
    // page (size in millimetres, no printer margins: the template's margins
    // are part of the drawing). A page as long as its content is upright
    // whatever its length: its width is the paper's.
    const QTextDocument &documento() const;
    int paginas() const;
    QPageLayout disenoPagina() const;
    // Paints page pagina (from 0) with the painter's origin at the page's
    // top-left corner, at the resolution of the painter's device (the
    // preview paints each page this way as it comes into sight).
    void pintarPagina(QPainter &p, int pagina) const;
    // Paints every page on a device already set to disenoPagina() whose
    // painter is p (a printer or a PDF file).
    void pintarPaginas(QPainter &p, QPagedPaintDevice &d) const;

    // Writes the report to a PDF file, generating it first when needed.
    // Exportacion when the file cannot be written.
    void exportarPdf(const QString &archivo);

private:
    Reporte();
    struct Datos;
    std::unique_ptr<Datos> d;
};
