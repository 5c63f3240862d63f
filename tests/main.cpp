// Test runner: Qt starts with the offscreen platform, so window tests run
// without a display, and in Spanish as the program does.
#include "Aplicacion.h"
#include "db_caja_cabeza.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    Aplicacion::ponerEnEspanol();
    registrarConsultaCaja();
    return RUN_ALL_TESTS();
}
