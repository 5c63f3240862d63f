// Test runner: Qt starts with the offscreen platform, so window tests run
// without a display, and in Spanish as the program does. Each run has a
// runtime folder of its own, so that runs side by side never meet at the
// instance lock.
#include "Aplicacion.h"
#include "db_caja_cabeza.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir ejecucion;
    if (ejecucion.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(ejecucion.path()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    Aplicacion::ponerEnEspanol();
    registrarConsultaCaja();
    return RUN_ALL_TESTS();
}
