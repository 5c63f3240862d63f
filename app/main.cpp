#include "Module.h"
#include "platform/CarpetaPrograma.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CarpetaPrograma::desdeArgumentos(app.arguments());
    return 0;
}
