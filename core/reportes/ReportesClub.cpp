#include "ReportesClub.h"

#include "dbConfiguraciones.h"
#include "platform/CarpetaPrograma.h"

QString rutaPlantilla(const QString &archivo) { return CarpetaPrograma::archivo(QStringLiteral("rptcr/") + archivo); }

std::unique_ptr<Reporte> abrirPlantilla(const QString &archivo) { return Reporte::abrir(rutaPlantilla(archivo)); }

void llenarParametrosClub(Reporte &r)
{
    dbConfiguraciones config;
    const struct {
        const char *parametro;
        const char *clave;
    } pares[] = {{"{?club_nombre}", "CLUB_NOMBRE"}, {"{?club_telefono}", "CLUB_TEL"}};
    for (const auto &par : pares) {
        const QString parametro = QLatin1String(par.parametro);
        if (!r.tieneParametro(parametro))
            continue;
        r.limpiarParametro(parametro);
        const QString valor = config.getValor(QLatin1String(par.clave));
        if (!valor.isEmpty())
            r.fijarParametro(parametro, valor);
    }
}
