#include "RegistroMantenimiento.h"

#include "Frm_S_ResetBase.h"
#include "InterfazRespaldo.h"
#include "platform/Aperturas.h"

void registrarMantenimientoBase()
{
    Aperturas::registrar(QStringLiteral("mnu_backup"), mnu_backup_Click);
    Aperturas::registrar(QStringLiteral("mnu_restaurarbkp"), mnu_restaurarbkp_Click);
    Aperturas::registrar(QStringLiteral("mnu_BaseReset"),
                         [] { Ventanas::showForm(Ventanas::obtener<Frm_S_ResetBase>(), true); });
}
