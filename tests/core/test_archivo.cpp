#include "CArchivo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ArchivoTest : public ::testing::Test {
protected:
    QString ruta(const QString &nombre) const { return dir.filePath(nombre); }
    void escribir(const QString &nombre, const QByteArray &contenido)
    {
        QFile f(ruta(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QByteArray leer(const QString &nombre) const
    {
        QFile f(ruta(nombre));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
    }
    QStringList archivos() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    CArchivo a;
};

} // namespace

TEST_F(ArchivoTest, CopiarReemplazaElDestinoYDesdeUnOrigenFaltanteNoLoToca)
{
    escribir("base.mdb", "datos nuevos");
    escribir("copia.mdb", "datos viejos que eran más largos");
    EXPECT_TRUE(a.CopiarArchivo(ruta("base.mdb"), ruta("copia.mdb")));
    EXPECT_EQ(leer("copia.mdb"), "datos nuevos");
    EXPECT_EQ(archivos(), (QStringList{"base.mdb", "copia.mdb"})); // no partial copy left beside it

    EXPECT_FALSE(a.CopiarArchivo(ruta("falta.mdb"), ruta("copia.mdb")));
    EXPECT_TRUE(a.Error().contains("falta.mdb")) << a.Error().toStdString();
    EXPECT_EQ(leer("copia.mdb"), "datos nuevos");

    EXPECT_FALSE(a.CopiarArchivo(ruta("base.mdb"), ruta("no/existe/copia.mdb")));
    EXPECT_FALSE(a.Error().isEmpty());
    EXPECT_TRUE(a.CopyFile(ruta("base.mdb"), ruta("otra.mdb")));
    EXPECT_EQ(leer("otra.mdb"), "datos nuevos");
}

TEST_F(ArchivoTest, CrearCarpetaDeUnNivel)
{
    escribir("cierres_pdf", "");
    EXPECT_FALSE(a.CrearCarpeta(ruta("cierres_pdf"))) << "a file of that name is not a folder";
    QFile::remove(ruta("cierres_pdf"));

    EXPECT_TRUE(a.CrearCarpeta(ruta("cierres_pdf")));
    escribir("cierres_pdf/cierre.pdf", "pdf");
    EXPECT_TRUE(a.CrearCarpeta(ruta("cierres_pdf")));
    EXPECT_EQ(leer("cierres_pdf/cierre.pdf"), "pdf");

    EXPECT_FALSE(a.CrearCarpeta(ruta("falta/cierres_pdf")));
    EXPECT_FALSE(a.Error().isEmpty());
    EXPECT_FALSE(QDir(ruta("falta")).exists());
}

TEST_F(ArchivoTest, EliminarMoverYExistencia)
{
    EXPECT_TRUE(a.Eliminar(ruta("falta.txt")));
    EXPECT_FALSE(a.DeleteFile(ruta("falta.txt")));
    EXPECT_FALSE(a.Error().isEmpty());

    escribir("solo_lectura.txt", "x");
    QFile::setPermissions(ruta("solo_lectura.txt"), QFileDevice::ReadOwner);
    EXPECT_TRUE(a.Eliminar(ruta("solo_lectura.txt")));
    EXPECT_FALSE(a.FileExists(ruta("solo_lectura.txt")));

    escribir("origen.txt", "nuevo");
    escribir("destino.txt", "viejo");
    EXPECT_TRUE(a.MoveFile(ruta("origen.txt"), ruta("destino.txt")));
    EXPECT_FALSE(a.FileExists(ruta("origen.txt")));
    EXPECT_EQ(leer("destino.txt"), "nuevo");
    EXPECT_FALSE(a.MoveFile(ruta("origen.txt"), ruta("destino.txt")));
    EXPECT_EQ(leer("destino.txt"), "nuevo");

    EXPECT_EQ(a.obtenerTamanioArchivo(ruta("destino.txt")), 5);
    EXPECT_THROW(a.obtenerTamanioArchivo(ruta("origen.txt")), std::runtime_error);
    EXPECT_FALSE(a.FileExists(dir.path()));
}

TEST_F(ArchivoTest, ArchivoDeTextoPorLineas)
{
    ASSERT_TRUE(a.Abrir_Escritura(ruta("log.txt")));
    EXPECT_EQ(a.nom_Archivo(), ruta("log.txt"));
    EXPECT_TRUE(a.Grabar("primera línea"));
    EXPECT_TRUE(a.Grabar(""));
    a.Cerrar();
    ASSERT_TRUE(a.Abrir_Agregar_Escritura(ruta("log.txt")));
    EXPECT_TRUE(a.Grabar("tercera"));
    ASSERT_TRUE(a.Abrir_Lectura(ruta("log.txt"))); // closes the file written before
    EXPECT_FALSE(a.Grabar("no se escribe"));
    QStringList lineas;
    while (!a.findeArchivo())
        lineas << a.leer();
    EXPECT_EQ(lineas, (QStringList{"primera línea", "", "tercera"}));
    EXPECT_EQ(a.leer(), "");
    a.Cerrar();
    EXPECT_TRUE(a.findeArchivo());

    ASSERT_TRUE(a.Abrir_Escritura(ruta("log.txt")));
    a.Cerrar();
    EXPECT_EQ(leer("log.txt"), "");
    EXPECT_FALSE(a.Abrir_Lectura(ruta("falta.txt")));
    EXPECT_TRUE(a.Error().contains("falta.txt"));
    EXPECT_EQ(a.OpenTextFile(ruta("falta.txt"), CArchivo::ParaLeer), nullptr);
    EXPECT_NE(a.OpenTextFile(ruta("nuevo.txt"), CArchivo::ParaEscribir), nullptr);
}

TEST_F(ArchivoTest, PartesDeUnaRuta)
{
    QString carpeta = "sin cambiar";
    EXPECT_TRUE(a.ObtenerNombreDirectorio("C:\\club\\cierres_pdf\\cierre.pdf", carpeta));
    EXPECT_EQ(carpeta, "C:\\club\\cierres_pdf\\");
    EXPECT_TRUE(a.ObtenerNombreDirectorio("/opt/club/db_main.mdb", carpeta));
    EXPECT_EQ(carpeta, "/opt/club/");
    EXPECT_TRUE(a.ObtenerNombreDirectorio("db_main.mdb", carpeta));
    EXPECT_EQ(carpeta, "");
    EXPECT_EQ(a.ObtenerNombreArchivo("C:\\club\\cierres_pdf\\cierre.pdf"), "cierre.pdf");
    EXPECT_EQ(a.ObtenerNombreArchivo("/opt/club/"), "");
    EXPECT_EQ(a.ObtenerNombreArchivo("db_main.mdb"), "db_main.mdb");
    EXPECT_EQ(a.GetShortFileName("/opt/club/Mis Documentos/x.pdf"), "/opt/club/Mis Documentos/x.pdf");
}
