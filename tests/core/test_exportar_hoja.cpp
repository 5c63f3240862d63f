#include "HojaCalculo.h"
#include "platform/Escritorio.h"
#include "platform/Grid.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One part of the workbook (an .xlsx is a zip of XML files).
QString parte(const QString &libro, const QString &nombre)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), libro, nombre});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The XML of sheet cell ref ("C2"): its attributes and content.
QString celda(const QString &hoja, const QString &ref)
{
    const QRegularExpression re(QStringLiteral("<c r=\"%1\"([^>]*)(/>|>(.*?)</c>)").arg(ref));
    const auto m = re.match(hoja);
    return m.hasMatch() ? m.captured(0) : QString();
}

// The style number of a cell's XML, -1 without one.
int estilo(const QString &xml)
{
    const auto m = QRegularExpression(QStringLiteral(" s=\"(\\d+)\"")).match(xml);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(HojaCalculoTest, NumerosYFechasComoLosMuestraLaGrilla)
{
    using HojaCalculo::Celda;
    const auto r = [](const char *t) { return HojaCalculo::reconocer(QString::fromUtf8(t)); };
    EXPECT_EQ(r("1,234.50").tipo, Celda::Numero);
    EXPECT_DOUBLE_EQ(r("1,234.50").numero, 1234.5);
    EXPECT_EQ(r("1,234.50").formato, "#,##0.00");
    EXPECT_EQ(r("-12").formato, "0");
    EXPECT_EQ(r("1234.5").formato, "0.0");
    EXPECT_EQ(r("15/03/2024").tipo, Celda::Fecha);
    EXPECT_EQ(r("15/03/2024").formato, "dd/mm/yyyy");
    EXPECT_EQ(r("15/03/2024 18:30:05").momento, QDateTime(QDate(2024, 3, 15), QTime(18, 30, 5)));
    // Texts that would not look the same as numbers or dates stay texts.
    for (const char *t : {"007", "1,23", "12345678901234567890", "31/02/2024", "5/3/2024", "-", "1.", "abc"})
        EXPECT_EQ(r(t).tipo, Celda::Texto) << t;
    EXPECT_EQ(r("").tipo, Celda::Vacia);
}

class ExportarHojaTest : public ::testing::Test {
protected:
    MensajesDePrueba msg;
    EscritorioDePrueba escritorio;
};

TEST_F(ExportarHojaTest, LibroConTitulosFilasNumerosFechasYObservaciones)
{
    Grid g;
    g.setMaxCols(3);
    g.setMaxRows(2);
    g.setText(1, 0, "Código");
    g.setText(2, 0, "Fecha");
    g.setText(3, 0, "Importe");
    g.setRowTexts(1, {"007", "15/03/2024", "1,234.50"});
    g.setRowTexts(2, {"ÑANDÚ", "", "-3.00"});

    clsSpread xls;
    ASSERT_TRUE(xls.exportToExcel(&g, true, false, "revisar"));
    EXPECT_TRUE(msg.vacio());
    ASSERT_EQ(escritorio.abiertas().size(), 1);
    const QString libro = escritorio.abiertas()[0].toLocalFile();
    EXPECT_TRUE(libro.endsWith(".xlsx"));
    ASSERT_TRUE(QFile::exists(libro));

    const QString hoja = parte(libro, "xl/worksheets/sheet1.xml");
    const QString textos = parte(libro, "xl/sharedStrings.xml");
    const QString estilos = parte(libro, "xl/styles.xml");
    ASSERT_FALSE(hoja.isEmpty()) << "unzip missing?";
    // Texts are shared strings, in the order they were first written.
    for (const char *t : {"Código", "Fecha", "Importe", "007", "ÑANDÚ", "Observaciones: revisar"})
        EXPECT_TRUE(textos.contains(QString::fromUtf8(t))) << t;
    EXPECT_TRUE(celda(hoja, "A2").contains("t=\"s\"")); // the code stays text
    // The amount is a number with its thousands format; the date a date serial.
    EXPECT_TRUE(celda(hoja, "C2").contains("<v>1234.5</v>")) << celda(hoja, "C2").toStdString();
    EXPECT_FALSE(celda(hoja, "C2").contains("t=\"s\""));
    EXPECT_TRUE(celda(hoja, "C3").contains("<v>-3</v>"));
    EXPECT_TRUE(celda(hoja, "B2").contains("<v>45366</v>")) << celda(hoja, "B2").toStdString();
    EXPECT_TRUE(celda(hoja, "B3").isEmpty());
    EXPECT_TRUE(estilos.contains("formatCode=\"#,##0.00\""));
    EXPECT_TRUE(estilos.contains("formatCode=\"dd/mm/yyyy\""));
    // Titles in bold (their style differs from the data's), nothing past C.
    EXPECT_NE(estilo(celda(hoja, "A1")), -1);
    EXPECT_EQ(estilo(celda(hoja, "A2")), -1);
    EXPECT_TRUE(estilos.contains("<b/>"));
    EXPECT_TRUE(celda(hoja, "D1").isEmpty());
    // The remark three rows below the last one, in column A; rows 4 and 5 empty.
    EXPECT_FALSE(celda(hoja, "A5").contains("<v>"));
    EXPECT_TRUE(celda(hoja, "A6").contains("t=\"s\""));
    EXPECT_FALSE(hoja.contains("r=\"4\"") && hoja.contains("<c r=\"A4\""));
    // Fitted widths for the used columns.
    EXPECT_TRUE(hoja.contains("<cols>"));
    QFile::remove(libro);
}

TEST_F(ExportarHojaTest, SinFilasAvisaYSinProgramaDiceDondeQuedo)
{
    Grid g;
    g.setMaxCols(2);
    g.setText(1, 0, "Código");
    clsSpread xls;
    EXPECT_FALSE(xls.exportToExcel(&g, true, false, ""));
    ASSERT_EQ(msg.mostrados().size(), 1u);
    EXPECT_EQ(msg.ultimo().prompt, "No hay datos para exportar a excel. Se ha indicado 0 en el parámetro Filas ");
    EXPECT_EQ(msg.ultimo().estilo, vb::OKOnly);
    EXPECT_TRUE(escritorio.abiertas().isEmpty());

    // No associated program: the workbook is there and the user is told where.
    g.setMaxRows(1);
    g.setRowTexts(1, {"1", "Total"});
    escritorio.responder(false);
    EXPECT_TRUE(xls.exportToExcel(&g, true, true, ""));
    ASSERT_EQ(escritorio.abiertas().size(), 1);
    const QString libro = escritorio.abiertas()[0].toLocalFile();
    EXPECT_TRUE(QFile::exists(libro));
    EXPECT_EQ(msg.ultimo().icono(), vb::Information);
    EXPECT_TRUE(msg.ultimo().prompt.contains(QDir::toNativeSeparators(libro)));
    // Last row in bold too; no remark row.
    const QString hoja = parte(libro, "xl/worksheets/sheet1.xml");
    EXPECT_NE(estilo(celda(hoja, "B2")), -1);
    EXPECT_FALSE(hoja.contains("r=\"5\""));
    QFile::remove(libro);
}

} // namespace

TEST_F(ExportarHojaTest, LibrosEnUnaCarpetaPrivadaDelUsuario)
{
    auto privadaDelUsuario = [](const QString &ruta) {
        struct stat st {};
        return ::lstat(QFile::encodeName(ruta).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
               st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
    };
    // The export writes into the user's private folder of the temporary folder.
    Grid g;
    g.setMaxCols(1);
    g.setMaxRows(1);
    g.setRowTexts(1, {"1"});
    clsSpread xls;
    ASSERT_TRUE(xls.exportToExcel(&g, true, false, ""));
    ASSERT_EQ(escritorio.abiertas().size(), 1);
    const QString libro = escritorio.abiertas()[0].toLocalFile();
    const QString carpeta = QFileInfo(libro).absolutePath();
    EXPECT_EQ(QFileInfo(carpeta).fileName(), QStringLiteral("club_planillas-%1").arg(::getuid()));
    EXPECT_EQ(QFileInfo(carpeta).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(privadaDelUsuario(carpeta));
    QFile::remove(libro);

    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    QString error;
    const QString propia = HojaCalculo::carpetaPropia(base.path(), &error);
    EXPECT_EQ(propia, base.filePath(QStringLiteral("club_planillas-%1").arg(::getuid())));
    EXPECT_TRUE(privadaDelUsuario(propia));
    // A folder of the user's left open to others is narrowed and kept.
    ASSERT_EQ(::chmod(QFile::encodeName(propia).constData(), 0777), 0);
    EXPECT_EQ(HojaCalculo::carpetaPropia(base.path(), &error), propia);
    EXPECT_TRUE(privadaDelUsuario(propia));

    // The name taken by a link to someone else's folder: never followed.
    ASSERT_TRUE(QDir(propia).removeRecursively());
    QTemporaryDir ajena;
    ASSERT_TRUE(QFile::link(ajena.path(), propia));
    const QString otra = HojaCalculo::carpetaPropia(base.path(), &error);
    EXPECT_FALSE(otra.isEmpty()) << error.toStdString();
    EXPECT_NE(otra, propia);
    EXPECT_TRUE(privadaDelUsuario(otra));
    EXPECT_TRUE(QFileInfo(propia).isSymLink());

    // Taken by another user's folder (only root can make one here).
    if (::getuid() == 0) {
        ASSERT_TRUE(QFile::remove(propia));
        ASSERT_EQ(::mkdir(QFile::encodeName(propia).constData(), 0777), 0);
        ASSERT_EQ(::chown(QFile::encodeName(propia).constData(), 65534, 65534), 0);
        const QString tercera = HojaCalculo::carpetaPropia(base.path(), &error);
        EXPECT_FALSE(tercera.isEmpty());
        EXPECT_NE(tercera, propia);
        EXPECT_TRUE(privadaDelUsuario(tercera));
    }
}
