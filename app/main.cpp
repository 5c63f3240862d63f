#include "Aplicacion.h"
#include "Frm_Main.h"
#include "Module.h"
#include "RegistroCore.h"
#include "RegistroReservas.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Ventanas.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CarpetaPrograma::desdeArgumentos(app.arguments());
    registrarVentanasCore();
    registrarVentanasReservas();

    Frm_Main *principal = Ventanas::obtener<Frm_Main>();
    if (Aplicacion::terminada()) {
        delete principal;
        cerrarConexion();
        return Aplicacion::codigoSalida();
    }
    if (const QScreen *s = app.primaryScreen())
        principal->resize(s->availableGeometry().size());
    principal->showMaximized();
    const int codigo = app.exec();
    delete Frm_Main::instancia();
    cerrarConexion();
    return Aplicacion::terminada() ? Aplicacion::codigoSalida() : codigo;
}
