#include "Modulo_CRegional.h"

#include "platform/AlmacenRegional.h"

namespace {

struct ValorRegional {
    int item;
    const char16_t *valor;
    const char16_t *mensajeError;
};

// Values for the locale 11274 (Spanish, Argentina), in the order they are written.
constexpr ValorRegional kValores[] = {
    {ItemRegional::FechaCorta, u"dd/MM/yyyy", u"Error al setear fecha corta."},
    {ItemRegional::FechaLarga, u"dddd, d' de 'MMMM' de 'yyyy", u"Error al setear fecha larga."},
    {ItemRegional::SeparadorDecimal, u".", u"Error al setear separador de decimales."},
    {ItemRegional::SeparadorMiles, u",", u"Error al setear separador de miles."},
    {ItemRegional::FormatoHora, u"HH:mm:ss", u"Error al setear formato de hora."},
    {ItemRegional::DecimalMoneda, u".", u"Error al setear separador de decimales de moneda."},
    {ItemRegional::MilesMoneda, u",", u"Error al setear separador de miles de moneda."},
    {ItemRegional::SimboloMoneda, u"$", u"Error al setear símbolo de moneda."},
};

} // namespace

QString LeeConfigRegional(int item)
{
    QString t = AlmacenRegional::leer(item);
    const qsizetype cero = t.indexOf(QChar(0));
    if (cero >= 0)
        t.truncate(cero);
    return t;
}

bool AjustaConfigRegional(QString &error)
{
    bool fallo = false;
    for (const ValorRegional &v : kValores) {
        if (!AlmacenRegional::escribir(v.item, QString::fromUtf16(v.valor))) {
            error = QString::fromUtf16(v.mensajeError);
            fallo = true;
        }
    }
    const bool separadoresBien = LeeConfigRegional(ItemRegional::SeparadorDecimal).left(1) == QLatin1String(".") &&
                                 LeeConfigRegional(ItemRegional::DecimalMoneda).left(1) == QLatin1String(".") &&
                                 LeeConfigRegional(ItemRegional::SeparadorMiles).left(1) == QLatin1String(",") &&
                                 LeeConfigRegional(ItemRegional::MilesMoneda).left(1) == QLatin1String(",");
    return separadoresBien && !fallo;
}
