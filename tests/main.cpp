// Test runner: Qt starts with the offscreen platform, so window tests run
// without a display.
#include "db_caja_cabeza.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    registrarConsultaCaja();
    return RUN_ALL_TESTS();
}
