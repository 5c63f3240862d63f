#include "RegistroConfiguraciones.h"

#include "Frm_S_Configuraciones.h"
#include "platform/Aperturas.h"

void registrarVentanaConfiguraciones()
{
    Aperturas::registrar(QStringLiteral("mnu_Opciones"), [] {
        auto *d = Ventanas::obtener<Frm_S_Configuraciones>();
        d->move(0, 0);
        Modal::mostrar(d);
    });
}
