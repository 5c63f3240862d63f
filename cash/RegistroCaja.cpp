#include "RegistroCaja.h"

#include "Frm_L_CierresCaja.h"
#include "Frm_L_InformeDeMovCaja.h"
#include "Frm_M_CajaArqueo.h"
#include "Frm_M_MovimientosCaja.h"
#include "Frm_T_MovCaja_Conceptos.h"
#include "platform/Aperturas.h"

void registrarVentanasCaja()
{
    Aperturas::registrar(QStringLiteral("mnu_InicioCaja"), [] { Frm_M_MovimientosCaja::abrir(0); });
    Aperturas::registrar(QStringLiteral("mnu_CajaIngresoEfectivo"), [] { Frm_M_MovimientosCaja::abrir(1); });
    Aperturas::registrar(QStringLiteral("mnu_CajaExtraccionEfectivo"), [] { Frm_M_MovimientosCaja::abrir(2); });
    Aperturas::registrar(QStringLiteral("mnu_CajaArqueo"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_M_CajaArqueo>(), true); });
    // Both items open the one list of registers.
    for (const char *menu : {"mnu_ListadoArqueosCaja", "mnu_CierresCaja"})
        Aperturas::registrar(QLatin1String(menu),
                             [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_L_CierresCaja>()); });
    Aperturas::registrar(QStringLiteral("mnu_InfCajaConcepto"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_L_InformeDeMovCaja>()); });
    Aperturas::registrar(QStringLiteral("mnu_CajaConceptos"),
                         [] { Ventanas::mostrarEnArea(Ventanas::obtener<Frm_T_MovCaja_Conceptos>()); });
}
