#include "InterfazReportes.h"

#include "Frm_ViewerReport.h"
#include "InterfazModule.h"
#include "Module.h"
#include "dbConfiguraciones.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "reportes/ErrorReporte.h"
#include "reportes/Reporte.h"
#include "reportes/ReportesClub.h"

void AvisarErrorReporte(const DbError &e, MensajeErrorReporte forma)
{
    if (e.numero() == CodigoReporte::ArchivoNoEncontrado)
        MsgBox(QStringLiteral("El archivo de reporte no se encuentra, restáurelo de los discos de instalación"),
               vb::Critical);
    else
        MsgBox(forma == MensajeErrorReporte::NumeroYDescripcion ? e.mensaje() : e.descripcion(), vb::Critical);
}

bool ImprimirReporte(const QString &plantilla, const QString &seleccion,
                     const std::function<void(Reporte &)> &completar, MensajeErrorReporte forma)
{
    CursorEspera(1);
    try {
        std::unique_ptr<Reporte> r = abrirPlantilla(plantilla);
        llenarParametrosClub(*r);
        if (completar)
            completar(*r);
        r->fijarSeleccion(seleccion);
        Frm_ViewerReport::mostrar(std::move(r));
    } catch (const DbError &e) {
        // The engine's errors and those of reading the club's settings.
        CursorEspera(0);
        AvisarErrorReporte(e, forma);
        return false;
    }
    CursorEspera(0);
    return true;
}

bool ImprimirTicketVenta(const QString &ventaId, const std::optional<CobroVenta> &cobro)
{
    // A setting never saved (or not a number) means the full page: a ticket
    // must not depend on the settings window having been used once.
    QString formato;
    try {
        formato = dbConfiguraciones().getValor(QStringLiteral("IMP_FORMATO_80mm"));
    } catch (const DbError &) {
        // Unreadable settings: the printing procedure below tells the user.
    }
    bool esNumero = false;
    const double valor = Formatos::numero(formato, &esNumero);
    const bool recibo = esNumero && valor != 0;
    return ImprimirReporte(recibo ? QStringLiteral("rpt_venta_80mm.rpt") : QStringLiteral("rpt_venta.rpt"),
                           QStringLiteral("{ventas.id}=") + ventaId, [&cobro](Reporte &r) {
                               // Without a cobro both stay without a value, and
                               // the ticket leaves their lines out.
                               const std::pair<QString, double> valores[] = {
                                   {QStringLiteral("{?pago}"), cobro ? cobro->pago : 0},
                                   {QStringLiteral("{?vuelto}"), cobro ? cobro->vuelto : 0}};
                               for (const auto &[parametro, valor] : valores)
                                   if (cobro && r.tieneParametro(parametro))
                                       r.fijarParametro(parametro, Formatos::importe(valor));
                           });
}
