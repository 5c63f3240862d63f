#include "RegistroInformes.h"

#include "Frm_L_ClientesFideliza.h"
#include "Frm_L_EstadisticaTurnos.h"
#include "Frm_L_InformeVentas.h"
#include "Frm_L_RankingClientes.h"
#include "platform/Aperturas.h"

namespace {
template <class T> void registrarVentana(const char *menu)
{
    Aperturas::registrar(QString::fromLatin1(menu), [] { Ventanas::mostrarEnArea(Ventanas::obtener<T>()); });
}
} // namespace

void registrarVentanasInformes()
{
    registrarVentana<Frm_L_InformeVentas>("mnu_InformeIngresos");
    registrarVentana<Frm_L_EstadisticaTurnos>("mnu_EstadisticaHorasOcupadas");
    registrarVentana<Frm_L_RankingClientes>("mnu_InfRankingClientes");
    registrarVentana<Frm_L_ClientesFideliza>("mnu_ControlFidelidad");
}
