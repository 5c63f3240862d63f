#include "InterfazImpresion.h"

#include "ServicioImpresion.h"
#include "platform/Mensajes.h"

#include <QTemporaryDir>

bool ImprimirEnPredeterminada(
    const QString &clase, const QString &titulo,
    const std::function<QPageLayout(const QString &archivo, const QString &impresora)> &escribir)
{
    const ServicioImpresion::Destino destino = ServicioImpresion::predeterminada();
    switch (destino.estado) {
    case ServicioImpresion::Estado::Lista: break;
    case ServicioImpresion::Estado::SinImpresora:
        MsgBox(QStringLiteral("No se puede imprimir %1: este equipo no tiene ninguna impresora instalada o disponible.")
                   .arg(clase),
               vb::Exclamation);
        return false;
    case ServicioImpresion::Estado::SinRespuesta:
        MsgBox(
            QStringLiteral("No se puede imprimir %1: el servicio de impresión de este equipo no responde.").arg(clase),
            vb::Exclamation);
        return false;
    }

    const QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(QStringLiteral("trabajo.pdf"));
    const QPageLayout pagina = carpeta.isValid() ? escribir(archivo, destino.impresora) : QPageLayout();
    if (!pagina.isValid()) {
        MsgBox(QStringLiteral("No se pudo imprimir %1 en la impresora %2.").arg(clase, destino.impresora),
               vb::Critical);
        return false;
    }
    const ServicioImpresion::Respuesta r =
        ServicioImpresion::enviar(destino.impresora, archivo, titulo, pagina.pageSize().key());
    if (r.aceptada())
        return true;
    QString documento = clase;
    if (!documento.isEmpty())
        documento[0] = documento[0].toUpper();
    MsgBox(QStringLiteral("%1 «%2» no se imprimió en la impresora %3: %4")
               .arg(documento, titulo, destino.impresora, r.motivo),
           vb::Critical);
    return false;
}
