#include "ServicioImpresion.h"

#include <QFile>
#include <cups/cups.h>

#include <memory>

namespace {

struct CerrarConexion {
    void operator()(http_t *h) const { httpClose(h); }
};
using Conexion = std::unique_ptr<http_t, CerrarConexion>;

// A connection of its own to the service, so that a service that does not
// answer is told apart from one that has no printer: libcups's own lookups
// say "no default destination" for both.
Conexion conectar()
{
    return Conexion(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 10000, nullptr));
}

} // namespace

ServicioImpresion::Destino ServicioImpresion::predeterminada()
{
    const Conexion http = conectar();
    if (!http)
        return {Estado::SinRespuesta, {}};
    cups_dest_t *destino = cupsGetNamedDest(http.get(), nullptr, nullptr);
    if (!destino)
        return {cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? Estado::SinRespuesta : Estado::SinImpresora,
                {}};
    Destino d{Estado::Lista, QString::fromUtf8(destino->name)};
    cupsFreeDests(1, destino);
    return d;
}

ServicioImpresion::Respuesta ServicioImpresion::enviar(const QString &impresora, const QString &archivo,
                                                       const QString &titulo, const QString &medio)
{
    const Conexion http = conectar();
    if (!http)
        return {0, QStringLiteral("el servicio de impresión no responde")};
    cups_option_t *opciones = nullptr;
    int n = 0;
    n = cupsAddOption("media", medio.toUtf8().constData(), n, &opciones);
    const int trabajo =
        cupsPrintFile2(http.get(), impresora.toUtf8().constData(), QFile::encodeName(archivo).constData(),
                       titulo.toUtf8().constData(), n, opciones);
    cupsFreeOptions(n, opciones);
    if (trabajo > 0)
        return {trabajo, {}};
    return {0, QString::fromUtf8(cupsLastErrorString())};
}
