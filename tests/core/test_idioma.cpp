// Qt's own dialogs and menus speak Spanish: the test runner starts the way
// the program does (Aplicacion::ponerEnEspanol).
#include "platform/Formatos.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList textosVisibles(const QWidget *w)
{
    QStringList t;
    for (const QLabel *l : w->findChildren<QLabel *>())
        if (l->isVisible() && !l->text().isEmpty())
            t << l->text();
    for (const QPushButton *b : w->findChildren<QPushButton *>())
        if (b->isVisible() && !b->text().isEmpty())
            t << b->text();
    return t;
}

} // namespace

TEST(IdiomaTest, DialogosYMenusDeQtEnEspanol)
{
    EXPECT_EQ(QLocale().language(), QLocale::Spanish);

    // The save dialog of "Guardar PDF" as Qt draws it (not the desktop's).
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile existente(dir.filePath("cierre.pdf"));
    ASSERT_TRUE(existente.open(QIODevice::WriteOnly));
    existente.close();
    QFileDialog d(nullptr, "Guardar PDF", dir.path(), "Documentos PDF (*.pdf)");
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const QStringList textos = textosVisibles(&d);
    for (const char *ingles : {"Look in:", "File name:", "Files of type:", "&Save", "Cancel"})
        EXPECT_FALSE(textos.contains(ingles)) << ingles << " en " << textos.join(" | ").toStdString();
    for (const char *espanol : {"Ver en:", "&Nombre de fichero:", "Ficheros de tipo:", "&Guardar", "Cancelar"})
        EXPECT_TRUE(textos.contains(espanol)) << espanol << " no está en " << textos.join(" | ").toStdString();

    // Saving over a file asks in Spanish, with Spanish buttons.
    QString pregunta;
    QStringList botones;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        pregunta = box->text();
        for (QAbstractButton *b : box->buttons())
            botones << b->text();
        box->reject();
    });
    auto *nombre = d.findChild<QLineEdit *>("fileNameEdit");
    auto *cajaBotones = d.findChild<QDialogButtonBox *>();
    ASSERT_TRUE(nombre && cajaBotones);
    nombre->clear();
    QTest::keyClicks(nombre, "cierre.pdf");
    QPushButton *guardar = cajaBotones->button(QDialogButtonBox::Save);
    ASSERT_NE(guardar, nullptr);
    QTest::mouseClick(guardar, Qt::LeftButton);
    EXPECT_TRUE(pregunta.contains("ya existe")) << pregunta.toStdString();
    EXPECT_TRUE(botones.contains("&Sí") && botones.contains("&No")) << botones.join(" | ").toStdString();
    d.close();

    // A text box's context menu.
    QLineEdit e("texto");
    std::unique_ptr<QMenu> menu(e.createStandardContextMenu());
    QStringList acciones;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            acciones << a->text().section('\t', 0, 0);
    for (const char *ingles : {"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"})
        EXPECT_FALSE(acciones.contains(ingles)) << ingles;
    for (const char *espanol : {"&Deshacer", "&Copiar", "&Pegar"})
        EXPECT_TRUE(acciones.contains(espanol)) << espanol << " no está en " << acciones.join(" | ").toStdString();

    // The program's own numbers keep "." for decimals and "," for thousands.
    EXPECT_EQ(Formatos::importe(1234567.5), "1,234,567.50");
    bool ok = false;
    EXPECT_EQ(Formatos::numero("1234.5", &ok), 1234.5);
    EXPECT_TRUE(ok);
}
