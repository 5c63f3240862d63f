#include "support/Entorno.h"

#include "AppUtils.h"
#include "dbConfiguraciones.h"
#include "platform/CarpetaPrograma.h"
#include "platform/DataCombo.h"
#include "platform/Escritorio.h"
#include "platform/Formatos.h"
#include "platform/Reloj.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

using AppUtilsTest = Entorno;

TEST_F(AppUtilsTest, UltimoYPrimerDiaDelMes)
{
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QDate(2024, 2, 15)), QDate(2024, 2, 29));
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QDate(2023, 2, 1)), QDate(2023, 2, 28));
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QDate(2023, 12, 31)), QDate(2023, 12, 31));
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QDateTime(QDate(2024, 4, 30), QTime(23, 59))), QDate(2024, 4, 30));
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QString("15/02/2024")), QDate(2024, 2, 29));

    EXPECT_EQ(gAppUtils.firstDayOfMonth(QDate(2024, 2, 15)), QDate(2024, 2, 1));
    EXPECT_EQ(gAppUtils.firstDayOfMonth(QString("31/12/2023")), QDate(2023, 12, 1));
    EXPECT_EQ(gAppUtils.firstDayOfMonth(QDate(2024, 1, 1)), QDate(2024, 1, 1));

    // Dates and moments as the database holds them, and moments as shown.
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QString("2024-02-15")), QDate(2024, 2, 29));
    EXPECT_EQ(gAppUtils.firstDayOfMonth(QString("2023-12-31 23:59:59")), QDate(2023, 12, 1));
    EXPECT_EQ(gAppUtils.lastDayOfMonth(QString(" 15/02/2024 10:00:00 ")), QDate(2024, 2, 29));
}

TEST_F(AppUtilsTest, LoQueNoEsFechaDaLaFechaCero)
{
    for (const QVariant &v :
         {QVariant(), QVariant(QString("no es fecha")), QVariant(QString("02/30/2024")), QVariant(QDate()),
          QVariant(42), QVariant(QString("2024-02-30")), QVariant(QString("2024-2-3")),
          QVariant(QString("2024-02-03 25:00:00")), QVariant(QString("2024-02-03x"))}) {
        EXPECT_EQ(gAppUtils.lastDayOfMonth(v), QDate(1899, 12, 30)) << v.toString().toStdString();
        EXPECT_EQ(gAppUtils.firstDayOfMonth(v), QDate(1899, 12, 30)) << v.toString().toStdString();
    }
}

TEST_F(AppUtilsTest, FormatoFechaAccessEsMesPrimero)
{
    EXPECT_EQ(gAppUtils.formatoFechaAccess(QDate(2024, 3, 5)), "03/05/2024");
}

TEST_F(AppUtilsTest, CheckTienePermisoSoloAdminExactoSaltaLaConsulta)
{
    db().execute("INSERT INTO t_opcionesasignadas (codigo, opcion) VALUES ('Admin', 'mnu_Ventas')");
    db().execute("INSERT INTO t_opcionesasignadas (codigo, opcion) VALUES ('O''Neil', 'mnu_Caja')");

    gUsuarioActual = "admin";
    EXPECT_TRUE(gAppUtils.checkTienePermiso("cualquiera", "mnu_Nada"));

    gUsuarioActual = "Admin";
    EXPECT_TRUE(gAppUtils.checkTienePermiso("Admin", "mnu_Ventas"));
    EXPECT_FALSE(gAppUtils.checkTienePermiso("Admin", "mnu_Caja"));

    gUsuarioActual = "O'Neil";
    EXPECT_TRUE(gAppUtils.checkTienePermiso("O'Neil", "mnu_Caja"));
    EXPECT_FALSE(gAppUtils.checkTienePermiso("O'Neil", "mnu_Ventas' OR '1'='1"));
}

TEST_F(AppUtilsTest, GetDBSettingLeeElValorGuardado)
{
    EXPECT_EQ(gAppUtils.getDBSetting("CLUB_NOMBRE"), "");
    dbConfiguraciones().save("CLUB_NOMBRE", "Nombre", "Club d'Oro");
    EXPECT_EQ(gAppUtils.getDBSetting("CLUB_NOMBRE"), "Club d'Oro");
}

TEST_F(AppUtilsTest, WriteLogDejaSoloLaUltimaLinea)
{
    const QString nombre = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString ruta = CarpetaPrograma::archivo(nombre + ".log");

    gAppUtils.writeLog("INFORME", "paso 1");
    Reloj::fijar(QDateTime(QDate(2024, 3, 16), QTime(8, 5, 9)));
    gAppUtils.writeLog("INFORME", "paso 2: ñandú");

    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "16/03/2024 08:05:09 - INFORME:paso 2: ñandú\n");
    // Nothing left behind from the replacement.
    EXPECT_EQ(QDir(carpeta()).entryList({nombre + "*"}, QDir::Files), QStringList{nombre + ".log"});
}

TEST_F(AppUtilsTest, OpenURLEntregaArchivosYDireccionesAlEscritorio)
{
    EscritorioDePrueba escritorio;
    const QString manual = CarpetaPrograma::archivo("ManualUsuario.pdf");
    EXPECT_TRUE(gAppUtils.openURL(manual));
    EXPECT_TRUE(gAppUtils.openURL("https://example.com/ayuda?x=1"));
    escritorio.responder(false);
    EXPECT_FALSE(gAppUtils.openURL("mailto:club@example.com"));

    ASSERT_EQ(escritorio.abiertas().size(), 3);
    EXPECT_EQ(escritorio.abiertas()[0], QUrl::fromLocalFile(manual));
    EXPECT_TRUE(escritorio.abiertas()[0].isLocalFile());
    EXPECT_EQ(escritorio.abiertas()[1], QUrl("https://example.com/ayuda?x=1"));
    EXPECT_EQ(escritorio.abiertas()[2].scheme(), "mailto");
}

TEST_F(AppUtilsTest, DialogoDeArchivoEnLaCarpetaMasCercanaQueExisteYEnCastellano)
{
    // The proposed folder is not there: the dialog opens in the nearest one
    // that is, with the proposed name, and calls a folder a folder in Spanish.
    QDir(carpeta()).mkdir("copias");
    QString abierta, nombre, tipo, tipoVisto, momento, esperado;
    QTimer::singleShot(0, [&] {
        QFileDialog *d = nullptr;
        for (int i = 0; i < 500 && !d; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *f = qobject_cast<QFileDialog *>(w); f && f->isVisible())
                    d = f;
        }
        ASSERT_NE(d, nullptr);
        abierta = d->directory().absolutePath();
        nombre = d->findChild<QLineEdit *>("fileNameEdit")->text();
        auto *modelo = d->findChild<QFileSystemModel *>();
        const QString sub = QDir(carpeta()).filePath("copias");
        for (int i = 0; i < 500 && tipo.isEmpty(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (const QModelIndex x = modelo->index(sub); x.isValid())
                tipo = modelo->type(x);
        }
        // What the list shows of it: its type, and its moment of change as
        // the program writes moments.
        auto *vista = d->findChild<QTreeView *>("treeView");
        const QModelIndex x = modelo->index(sub);
        const QModelIndex enVista = d->proxyModel() ? d->proxyModel()->mapFromSource(x) : x;
        tipoVisto = vista->model()->index(enVista.row(), 2, enVista.parent()).data().toString();
        momento = vista->model()->index(enVista.row(), 3, enVista.parent()).data().toString();
        esperado = Formatos::momento(QFileInfo(sub).lastModified());
        d->reject();
    });
    EXPECT_EQ(Escritorio::guardarComo(nullptr, "Copia", QDir(carpeta()).filePath("falta/tampoco/copia.mdb"),
                                      "Copias (*.mdb)"),
              QString());
    EXPECT_EQ(abierta, QDir(carpeta()).absolutePath());
    EXPECT_EQ(nombre, "copia.mdb");
    EXPECT_EQ(tipo, "Carpeta");
    EXPECT_EQ(tipoVisto, "Carpeta");
    EXPECT_EQ(momento, esperado);
    EXPECT_FALSE(esperado.isEmpty());
}

TEST_F(AppUtilsTest, CargaDataComboUsaLosCamposDelSelector)
{
    db().execute("INSERT INTO clientes (id, nombre) VALUES (2, 'Ana'), (3, 'Beto')");
    DataCombo combo;
    combo.setListField("nombre");
    combo.setBoundColumn("id");
    gAppUtils.cargaDataComboFromRecordSet(&combo, [] {
        return gConexion->openRecordset("SELECT id, nombre FROM clientes WHERE id > ? ORDER BY id", {1});
    });
    ASSERT_EQ(combo.count(), 2);
    combo.setBoundText("3");
    EXPECT_EQ(combo.Text(), "Beto");
}
