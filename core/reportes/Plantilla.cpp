#include "Plantilla.h"

#include "ErrorReporte.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <kainjow/mustache.hpp>
#include <nlohmann/json.hpp>

using json = nlohmann::json;

namespace {

[[noreturn]] void invalida(const QString &ruta, const QString &que)
{
    throw ErrorReporte(
        CodigoReporte::PlantillaInvalida,
        QStringLiteral("La plantilla de reporte %1 no es válida: %2").arg(QFileInfo(ruta).fileName(), que));
}

QString texto(const json &j) { return QString::fromStdString(j.get<std::string>()); }

// A list of names, each a plain identifier (they end up in statement text
// and in the layout's data).
QStringList nombres(const json &j, const char *clave, const QString &ruta)
{
    QStringList l;
    if (!j.contains(clave))
        return l;
    static const QRegularExpression identificador(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const json &v = j.at(clave);
    if (!v.is_array())
        invalida(ruta, QStringLiteral("\"%1\" debe ser una lista de nombres.").arg(QLatin1String(clave)));
    for (const json &e : v) {
        if (!e.is_string() || !identificador.match(texto(e)).hasMatch())
            invalida(ruta, QStringLiteral("\"%1\" tiene un nombre inválido.").arg(QLatin1String(clave)));
        l << texto(e);
    }
    return l;
}

double numero(const json &j, const char *clave, const QString &ruta, double porDefecto)
{
    if (!j.contains(clave))
        return porDefecto;
    if (!j.at(clave).is_number() || j.at(clave).get<double>() < 0)
        invalida(ruta, QStringLiteral("\"%1\" debe ser un número no negativo.").arg(QLatin1String(clave)));
    return j.at(clave).get<double>();
}

void soloClaves(const json &j, std::initializer_list<const char *> permitidas, const QString &donde,
                const QString &ruta)
{
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool conocida = false;
        for (const char *p : permitidas)
            conocida = conocida || it.key() == p;
        if (!conocida)
            invalida(ruta,
                     QStringLiteral("clave desconocida \"%1\" en %2.").arg(QString::fromStdString(it.key()), donde));
    }
}

PaginaPlantilla leerPagina(const json &j, const QString &ruta)
{
    PaginaPlantilla p;
    if (!j.is_object())
        invalida(ruta, QStringLiteral("\"pagina\" debe ser un objeto."));
    soloClaves(j, {"tamano", "ancho_mm", "alto_mm", "margenes_mm", "numerar"}, QStringLiteral("\"pagina\""), ruta);
    if (j.contains("tamano")) {
        const QString t = j.at("tamano").is_string() ? texto(j.at("tamano")) : QString();
        if (t == QLatin1String("A4"))
            p.tamanoMm = {210, 297};
        else if (t == QLatin1String("Carta"))
            p.tamanoMm = {215.9, 279.4};
        else
            invalida(ruta, QStringLiteral("tamaño de página desconocido \"%1\".").arg(t));
    }
    p.tamanoMm.setWidth(numero(j, "ancho_mm", ruta, p.tamanoMm.width()));
    p.tamanoMm.setHeight(numero(j, "alto_mm", ruta, j.contains("ancho_mm") ? 0 : p.tamanoMm.height()));
    if (j.contains("margenes_mm")) {
        const json &m = j.at("margenes_mm");
        if (!m.is_array() || m.size() != 4)
            invalida(ruta,
                     QStringLiteral("\"margenes_mm\" lleva cuatro números: superior, derecho, inferior, izquierdo."));
        for (const json &v : m)
            if (!v.is_number() || v.get<double>() < 0)
                invalida(ruta, QStringLiteral("\"margenes_mm\" lleva números no negativos."));
        p.margenesMm = QMarginsF(m[3].get<double>(), m[0].get<double>(), m[1].get<double>(), m[2].get<double>());
    }
    if (j.contains("numerar")) {
        if (!j.at("numerar").is_boolean())
            invalida(ruta, QStringLiteral("\"numerar\" debe ser true o false."));
        p.numerar = j.at("numerar").get<bool>();
    }
    const double anchoUtil = p.tamanoMm.width() - p.margenesMm.left() - p.margenesMm.right();
    const double altoUtil = p.tamanoMm.height() - p.margenesMm.top() - p.margenesMm.bottom();
    if (anchoUtil < 10 || (!p.largoDelContenido() && altoUtil < 10))
        invalida(ruta, QStringLiteral("los márgenes no dejan lugar en la página."));
    return p;
}

std::vector<ConsultaPlantilla> leerConsultas(const json &j, const QString &ruta)
{
    std::vector<ConsultaPlantilla> l;
    if (!j.is_object())
        invalida(ruta, QStringLiteral("\"consultas\" debe ser un objeto nombre -> sentencia."));
    static const QRegularExpression identificador(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    static const QRegularExpression lectura(QStringLiteral("^\\s*(SELECT|WITH)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto it = j.begin(); it != j.end(); ++it) {
        const QString nombre = QString::fromStdString(it.key());
        if (!identificador.match(nombre).hasMatch())
            invalida(ruta, QStringLiteral("nombre de consulta inválido \"%1\".").arg(nombre));
        QString sql;
        if (it->is_string()) {
            sql = texto(*it);
        } else if (it->is_array()) {
            QStringList lineas;
            for (const json &linea : *it) {
                if (!linea.is_string())
                    invalida(ruta, QStringLiteral("la consulta \"%1\" debe ser texto.").arg(nombre));
                lineas << texto(linea);
            }
            sql = lineas.join(QLatin1Char('\n'));
        } else {
            invalida(ruta, QStringLiteral("la consulta \"%1\" debe ser texto.").arg(nombre));
        }
        // A template only reads: its statements never change the data.
        if (!lectura.match(sql).hasMatch())
            invalida(ruta, QStringLiteral("la consulta \"%1\" no es una lectura (SELECT).").arg(nombre));
        l.push_back({nombre, sql});
    }
    return l;
}

} // namespace

Plantilla Plantilla::leer(const QString &ruta)
{
    QFile f(ruta);
    if (!QFileInfo(ruta).isFile() || !f.open(QIODevice::ReadOnly))
        throw ErrorReporte(CodigoReporte::ArchivoNoEncontrado,
                           QStringLiteral("No se encuentra el archivo de reporte %1.").arg(ruta));
    const QString contenido = QString::fromUtf8(f.readAll());
    static const QRegularExpression separador(QStringLiteral("^---[ \\t]*\\r?$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = separador.match(contenido);
    if (!m.hasMatch())
        invalida(ruta, QStringLiteral("falta la línea \"---\" que separa el encabezado del diseño."));
    const QString encabezado = contenido.left(m.capturedStart());
    const QString diseno = contenido.mid(m.capturedEnd()).section(QLatin1Char('\n'), 1);

    json j;
    try {
        j = json::parse(encabezado.toStdString());
    } catch (const json::parse_error &e) {
        const QByteArray antes = encabezado.toUtf8().left(int(e.byte));
        const int linea = antes.count('\n') + 1;
        const int columna = int(antes.size() - antes.lastIndexOf('\n'));
        invalida(ruta,
                 QStringLiteral("error de escritura en el encabezado, línea %1, columna %2.").arg(linea).arg(columna));
    }
    if (!j.is_object())
        invalida(ruta, QStringLiteral("el encabezado debe ser un objeto JSON."));
    soloClaves(j, {"titulo", "pagina", "fuente", "parametros", "tablas", "consultas", "formatos"},
               QStringLiteral("el encabezado"), ruta);

    Plantilla p;
    try {
        if (j.contains("titulo"))
            p.titulo = texto(j.at("titulo"));
        if (j.contains("pagina"))
            p.pagina = leerPagina(j.at("pagina"), ruta);
        if (j.contains("fuente")) {
            const json &fuente = j.at("fuente");
            soloClaves(fuente, {"familia", "puntos"}, QStringLiteral("\"fuente\""), ruta);
            if (fuente.contains("familia"))
                p.fuenteFamilia = texto(fuente.at("familia"));
            p.fuentePuntos = numero(fuente, "puntos", ruta, p.fuentePuntos);
            if (p.fuentePuntos < 4)
                invalida(ruta, QStringLiteral("la fuente es demasiado chica."));
        }
        p.parametros = nombres(j, "parametros", ruta);
        p.tablas = nombres(j, "tablas", ruta);
        if (j.contains("consultas"))
            p.consultas = leerConsultas(j.at("consultas"), ruta);
        if (j.contains("formatos")) {
            static const QStringList conocidos = {QStringLiteral("importe"), QStringLiteral("entero"),
                                                  QStringLiteral("fecha"), QStringLiteral("momento"),
                                                  QStringLiteral("hora")};
            for (auto it = j.at("formatos").begin(); it != j.at("formatos").end(); ++it) {
                const QString formato = texto(*it);
                if (!conocidos.contains(formato))
                    invalida(ruta, QStringLiteral("formato desconocido \"%1\".").arg(formato));
                p.formatos.insert(QString::fromStdString(it.key()).toLower(), formato);
            }
        }
    } catch (const json::exception &) {
        // get<> on a value of another kind.
        invalida(ruta, QStringLiteral("un valor del encabezado no es del tipo esperado."));
    }

    p.diseno = std::make_shared<DisenoMustache>(diseno.toStdString());
    if (!p.diseno->is_valid())
        invalida(
            ruta,
            QStringLiteral("el diseño no se puede leer: %1").arg(QString::fromStdString(p.diseno->error_message())));
    return p;
}
