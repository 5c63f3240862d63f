#include "AyudaReportes.h"

#include "reportes/ErrorReporte.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"
#include "reportes/Seleccion.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

using namespace ayuda;

namespace {

// A template listing sales with their user, in the engine's own format.
const char *kListado = R"({
  "titulo": "Ventas",
  "pagina": { "tamano": "A4", "margenes_mm": [10, 10, 10, 10], "numerar": true },
  "parametros": ["club_nombre", "club_telefono", "nota"],
  "tablas": ["ventas"],
  "consultas": {
    "ventas": "SELECT id, t_usuarios_codigo AS usuario, importe_total FROM ventas WHERE {seleccion} ORDER BY id",
    "total": ["SELECT SUM(importe_total) AS suma", "FROM ventas WHERE {seleccion}"]
  },
  "formatos": { "importe_total": "importe", "suma": "importe" }
}
---
<h1>{{titulo}}</h1>
{{#club_nombre}}<p>Club: {{club_nombre}}</p>{{/club_nombre}}
{{#nota}}<p>Nota: {{nota}}</p>{{/nota}}
{{#ventas}}<p>Venta {{id}} de {{usuario}}: {{importe_total}}</p>{{/ventas}}
{{^ventas}}<p>Sin ventas</p>{{/ventas}}
{{#total}}<p>Suma: {{suma}}</p>{{/total}}
)";

class ReportesTest : public Entorno {
protected:
    QString escribirPlantilla(const QString &nombre, const QString &contenido)
    {
        QDir(carpeta()).mkpath(QStringLiteral("rptcr"));
        QFile f(rutaPlantilla(nombre));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenido.toUtf8());
        return f.fileName();
    }
    std::unique_ptr<Reporte> listado()
    {
        escribirPlantilla("listado.rpt", QString::fromUtf8(kListado));
        return abrirPlantilla("listado.rpt");
    }
    // The number of the engine error that f throws; 0 when none.
    static int errorDe(const std::function<void()> &f, QString *descripcion = nullptr)
    {
        try {
            f();
        } catch (const ErrorReporte &e) {
            if (descripcion)
                *descripcion = e.descripcion();
            return e.numero();
        }
        return 0;
    }
    QString texto(Reporte &r)
    {
        r.generar();
        return r.documento().toPlainText();
    }
};

} // namespace

TEST_F(ReportesTest, SeleccionLeeLasFormasDeLosReportesYAtaSusValores)
{
    const QStringList tablas = {"ventas", "caja_movimientos", "tmp_informe_ventas"};
    CondicionSeleccion c = traducirSeleccion("{ventas.id}=57", tablas, db());
    EXPECT_EQ(c.sql, "\"ventas\".\"id\" = ?");
    EXPECT_EQ(c.valores, Parametros{qlonglong(57)});

    c = traducirSeleccion("{tmp_informe_ventas.t_usuarios_codigo}='o''brien' ", tablas, db());
    EXPECT_EQ(c.valores, Parametros{"o'brien"});

    c = traducirSeleccion("{caja_movimientos.caja_conceptos_id}='LUZ'  AND {caja_movimientos.fecha_hora} >= "
                          "#2026/12/01 00:00:00# and {caja_movimientos.fecha_hora}<=#2026/12/31 23:59:59#",
                          tablas, db());
    EXPECT_EQ(c.sql, "\"caja_movimientos\".\"caja_conceptos_id\" = ? AND \"caja_movimientos\".\"fecha_hora\" >= ? "
                     "AND \"caja_movimientos\".\"fecha_hora\" <= ?");
    EXPECT_EQ(c.valores, (Parametros{"LUZ", "2026-12-01 00:00:00", "2026-12-31 23:59:59"}));

    c = traducirSeleccion("{ventas.importe_total} <> -12.5 AND {ventas.fecha}<#2026/1/2#", tablas, db());
    EXPECT_EQ(c.valores, (Parametros{-12.5, "2026-01-02"}));
    EXPECT_EQ(traducirSeleccion("   ", tablas, db()).sql, "1=1");
    // A numeric column takes a text as the number it spells; a text that
    // spells none sorts after every number, alike on every engine.
    EXPECT_EQ(traducirSeleccion("{ventas.id}=' 57'", tablas, db()).valores, Parametros{qlonglong(57)});
    c = traducirSeleccion("{ventas.id}='5 OR 1=1' AND {ventas.importe_total}<'x'", tablas, db());
    EXPECT_EQ(c.sql, "1=0 AND \"ventas\".\"importe_total\" IS NOT NULL");
    EXPECT_TRUE(c.valores.isEmpty());

    // The literal helpers write what the reader reads back.
    EXPECT_EQ(Formula::texto("o'brien"), "'o''brien'");
    EXPECT_EQ(traducirSeleccion("{ventas.comentarios}=" + Formula::texto("a ' OR '1'='1"), tablas, db()).valores,
              Parametros{"a ' OR '1'='1"});
    EXPECT_EQ(Formula::momento(QDateTime(QDate(2026, 12, 1), QTime(23, 59, 59))), "#2026/12/01 23:59:59#");
}

TEST_F(ReportesTest, SeleccionIlegibleOFueraDelReporteEsUnErrorYNuncaTodasLasFilas)
{
    const QStringList tablas = {"ventas"};
    const struct {
        const char *formula;
        const char *parteDelMensaje;
    } casos[] = {
        {"{ventas.id}=57 OR {ventas.id}=58", "se esperaba AND"},
        {"{ventas.id}=57 OR 1=1", "se esperaba AND"},
        {"{ventas.id}=57; DELETE FROM ventas", "se esperaba AND"},
        {"{ventas.id}=57 AND 1=1", "se esperaba un campo"},
        {"{ventas.id}='57", "falta la comilla"},
        {"{ventas.id}=", "se esperaba un valor"},
        {"{ventas.id} LIKE '5%'", "se esperaba un operador"},
        {"{ventas.id}=57abc", "número mal escrito"},
        {"{ventas.fecha} >= #2026/13/45#", "fecha inválida"},
        {"{ventas.fecha} >= #2026/12/01", "falta el #"},
        {"{ventas id}=1", "se esperaba un campo"},
        {"{clientes.nombre}='Ana'", "no pertenece a las tablas del reporte (ventas)"},
        {"{ventas.no_existe}=1", "no existe"},
    };
    for (const auto &c : casos) {
        QString descripcion;
        EXPECT_EQ(errorDe([&] { traducirSeleccion(c.formula, tablas, db()); }, &descripcion),
                  CodigoReporte::SeleccionInvalida)
            << c.formula;
        EXPECT_TRUE(descripcion.contains(QString::fromUtf8(c.parteDelMensaje))) << descripcion.toStdString();
    }
}

TEST_F(ReportesTest, ParametrosTituloYSeleccionLleganAlDocumento)
{
    insertarVenta(db(), "2026-12-01 10:00:00", {{"A", 2, 100}}, -1, "ana");
    insertarVenta(db(), "2026-12-01 11:00:00", {{"A", 1, 50}}, -1, "o'brien");
    insertarVenta(db(), "2026-12-01 12:00:00", {{"B", 3, 10}}, -1, "ana");
    auto r = listado();
    EXPECT_EQ(r->parametros(), (QStringList{"{?club_nombre}", "{?club_telefono}", "{?nota}"}));
    EXPECT_TRUE(r->tieneParametro("nota"));
    EXPECT_FALSE(r->tieneParametro("{?otro}"));
    EXPECT_EQ(errorDe([&] { r->fijarParametro("{?otro}", "x"); }), CodigoReporte::ParametroDesconocido);

    // Nothing set: no value, nothing shown; a value set and cleared again is gone.
    EXPECT_FALSE(r->valorParametro("{?nota}").has_value());
    r->fijarParametro("{?nota}", "primera");
    r->limpiarParametro("{?nota}");
    r->fijarTitulo("Ventas de diciembre");
    QString t = texto(*r);
    EXPECT_FALSE(t.contains("Nota:"));
    EXPECT_TRUE(t.contains("Ventas de diciembre"));
    EXPECT_TRUE(t.contains("Venta 1 de ana: 200.00"));
    EXPECT_TRUE(t.contains("Suma: 280.00"));

    // The user's own rows only, also for a user whose code holds a quote.
    r->fijarParametro("{?nota}", "<b>solo</b> o'brien");
    r->fijarSeleccion("{ventas.t_usuarios_codigo}=" + Formula::texto("o'brien"));
    t = texto(*r);
    EXPECT_TRUE(t.contains("Nota: <b>solo</b> o'brien")) << t.toStdString(); // shown as text, not markup
    EXPECT_TRUE(t.contains("Venta 2 de o'brien: 50.00"));
    EXPECT_FALSE(t.contains("de ana"));
    EXPECT_TRUE(t.contains("Suma: 50.00"));

    // A quote inside the value cannot reach the statement: no sale has that user.
    r->fijarSeleccion("{ventas.t_usuarios_codigo}='ana'' OR ''1''=''1'");
    t = texto(*r);
    EXPECT_TRUE(t.contains("Sin ventas"));
    EXPECT_FALSE(t.contains("Venta "));
    EXPECT_EQ(contar("SELECT count(*) FROM ventas"), 3);

    // A refused formula keeps the selection that was set before.
    r->fijarSeleccion("{ventas.t_usuarios_codigo}='ana'");
    EXPECT_EQ(errorDe([&] { r->fijarSeleccion("{ventas.t_usuarios_codigo}='ana' OR 1=1"); }),
              CodigoReporte::SeleccionInvalida);
    EXPECT_EQ(r->seleccion(), "{ventas.t_usuarios_codigo}='ana'");
    t = texto(*r);
    EXPECT_TRUE(t.contains("Venta 3 de ana"));
    EXPECT_FALSE(t.contains("de o'brien"));
}

TEST_F(ReportesTest, PlantillasQueFaltanONoSeLeenDicenPorQue)
{
    QString descripcion;
    EXPECT_EQ(errorDe([&] { abrirPlantilla("no_existe.rpt"); }, &descripcion), CodigoReporte::ArchivoNoEncontrado);
    EXPECT_EQ(CodigoReporte::ArchivoNoEncontrado, int(0x80043AC3));
    EXPECT_TRUE(descripcion.contains("no_existe.rpt"));

    const QString valido = QString::fromUtf8(kListado);
    const struct {
        QString contenido;
        const char *parteDelMensaje;
    } casos[] = {
        {valido.section("---", 0, 0), "falta la línea \"---\""},
        {QString(valido).replace("\"tablas\": [\"ventas\"],", "\"tablas\": [\"ventas\"]"),
         "error de escritura en el encabezado, línea 6"},
        {QString(valido).replace("\"titulo\"", "\"titulos\""), "clave desconocida \"titulos\""},
        {QString(valido).replace("SELECT id,", "DELETE FROM ventas; SELECT id,"), "no es una lectura"},
        {QString(valido).replace("{{/ventas}}\n{{^", "\n{{^"), "el diseño no se puede leer"},
        {QString(valido).replace("\"suma\": \"importe\"", "\"suma\": \"dinero\""), "formato desconocido"},
        {QString(valido).replace("\"margenes_mm\": [10, 10, 10, 10]", "\"margenes_mm\": [10, 10]"), "cuatro"},
        {QString(valido).replace("\"nota\"]", "\"no ta\"]"), "nombre inválido"},
    };
    for (const auto &c : casos) {
        escribirPlantilla("mala.rpt", c.contenido);
        EXPECT_EQ(errorDe([&] { abrirPlantilla("mala.rpt"); }, &descripcion), CodigoReporte::PlantillaInvalida)
            << c.parteDelMensaje;
        EXPECT_TRUE(descripcion.contains(QString::fromUtf8(c.parteDelMensaje))) << descripcion.toStdString();
        EXPECT_TRUE(descripcion.contains("mala.rpt"));
    }

    // A statement that fails when the rows are read says which one.
    escribirPlantilla("mala.rpt", QString(valido).replace("FROM ventas WHERE {seleccion}\"]", "FROM nada\"]"));
    auto r = abrirPlantilla("mala.rpt");
    EXPECT_NE(errorDe([&] { r->generar(); }, &descripcion), 0);
    EXPECT_TRUE(descripcion.contains("(total)")) << descripcion.toStdString();
}

TEST_F(ReportesTest, PaginasDelDocumentoYArchivoPdf)
{
    for (int i = 0; i < 120; ++i)
        insertarVenta(db(), "2026-12-01 10:00:00", {{"A", 1, double(i)}});
    auto r = listado();
    r->fijarParametro("{?club_nombre}", "Club Río");
    r->generar();
    EXPECT_GE(r->paginas(), 3);
    const QPageLayout pagina = r->disenoPagina();
    EXPECT_NEAR(pagina.fullRect(QPageLayout::Millimeter).width(), 210, 0.5);
    EXPECT_NEAR(pagina.fullRect(QPageLayout::Millimeter).height(), 297, 0.5);

    const QString pdf = carpeta() + "/listado.pdf";
    r->exportarPdf(pdf);
    const QString t = textoPdf(pdf);
    EXPECT_TRUE(t.contains("Club Río")) << t.toStdString();
    EXPECT_TRUE(t.contains("Venta 120 de admin: 119.00"));
    EXPECT_TRUE(t.contains(QString("Página %1 de %1").arg(r->paginas()))) << t.toStdString();

    // A folder that does not exist cannot take the file.
    EXPECT_EQ(errorDe([&] { r->exportarPdf(carpeta() + "/no/existe/listado.pdf"); }), CodigoReporte::Exportacion);
}
