#include "RegistroVentas.h"

#include "Frm_L_MovimientosStock.h"
#include "Frm_M_Stock.h"
#include "Frm_T_AltaVentas.h"
#include "Frm_T_BuscaVentas.h"
#include "Frm_T_ExistArticulos.h"
#include "Frm_T_Productos.h"
#include "platform/Aperturas.h"

#include <QPushButton>

void registrarVentanasVentas()
{
    Aperturas::registrar(QStringLiteral("mnu_productos"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_Productos>()); });
    Aperturas::registrar(QStringLiteral("mnu_VentasAlta"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_AltaVentas>()); });
    Aperturas::registrar(QStringLiteral("mnu_mstock"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_M_Stock>()); });
    Aperturas::registrar(QStringLiteral("mnu_MovimientosStock"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_L_MovimientosStock>()); });
    Aperturas::registrar(QStringLiteral("mnu_ExistenciaArticulos"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_ExistArticulos>()); });
    // Both items open the one listing; "Buscar" hides the cancellation,
    // "Anulación" leaves the button as it is.
    Aperturas::registrar(QStringLiteral("mnu_VentasBuscar"), [] {
        auto *w = Ventanas::obtener<Frm_T_BuscaVentas>();
        w->btnAnular()->hide();
        Ventanas::mostrarEnArea(w);
    });
    Aperturas::registrar(QStringLiteral("mnu_VentaAnulación"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_BuscaVentas>()); });
}
