#include "AppUtils.h"

#include "Module.h"
#include "Modulo_CRegional.h"
#include "dbConfiguraciones.h"
#include "platform/AlmacenRegional.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

AppUtils gAppUtils;

namespace {
AppUtils::ConsultaCaja &consultaCaja()
{
    static AppUtils::ConsultaCaja c;
    return c;
}
} // namespace

void AppUtils::fijarConsultaCaja(ConsultaCaja consulta) { consultaCaja() = std::move(consulta); }

bool AppUtils::hayCajaIniciada() { return consultaCaja() && !consultaCaja()(gUsuarioActual).isEmpty(); }

QString AppUtils::formatoFechaAccess(const QDate &xFecha) { return xFecha.toString(QStringLiteral("MM/dd/yyyy")); }

QVariant AppUtils::sanitizeDbNull(const Campo &xCampo) { return ValorCampo(xCampo); }

QString AppUtils::getDBSetting(const QString &xCodigo) { return dbConfiguraciones().getValor(xCodigo); }

bool AppUtils::checkTienePermiso(const QString &xUsuarioCod, const QString &xOpcionMenu)
{
    if (gUsuarioActual == QLatin1String("admin"))
        return true;
    const Recordset rs =
        gConexion->openRecordset(QStringLiteral("SELECT * FROM t_opcionesasignadas WHERE codigo = ? AND opcion = ?"),
                                 {xUsuarioCod, xOpcionMenu});
    return !rs.eof();
}

QDate AppUtils::lastDayOfMonth(const QVariant &Fecha)
{
    const QDate d = Formatos::aFecha(Fecha);
    if (!d.isValid())
        return fechaCero();
    return QDate(d.year(), d.month(), 1).addMonths(1).addDays(-1);
}

QDate AppUtils::firstDayOfMonth(const QVariant &Fecha)
{
    const QDate d = Formatos::aFecha(Fecha);
    if (!d.isValid())
        return fechaCero();
    return QDate(d.year(), d.month(), 1);
}

void AppUtils::chequearConfigRegional()
{
    const QString decimal = LeeConfigRegional(ItemRegional::SeparadorDecimal);
    const QString miles = LeeConfigRegional(ItemRegional::SeparadorMiles);
    QString lista;
    if (decimal != QLatin1String("."))
        lista += QStringLiteral("Separador decimal debe ser (.) \n");
    if (miles != QLatin1String(","))
        lista += QStringLiteral("Separador de miles/listas debe ser (,) \n");
    if (lista.isEmpty())
        return;

    MsgBox(QStringLiteral(
               "Se ha encontrado que la configuración regional no es la adecuada para ejecutar el sistema. \n") +
               lista + QStringLiteral("Se procederá a ajustar los valores de configuración necesarios."),
           vb::Exclamation, QStringLiteral("Error en configuración regional"));
    // The fix never stops the program: its result is not examined.
    QString error;
    AjustaConfigRegional(error);
    MsgBox(QStringLiteral("Se han realizado los cambios en el sistema."), vb::Information);
}

void AppUtils::writeLog(const QString &xCodigo, const QString &xDescripcion)
{
    const QString nombre = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QDateTime ahora = Reloj::ahora();
    const QString linea = ahora.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') +
                          ahora.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" - ") + xCodigo +
                          QLatin1Char(':') + xDescripcion + QLatin1Char('\n');
    // Written beside and renamed over the old file: a crash leaves the
    // previous line, never an empty or half-written file. A log that cannot
    // be written is not worth stopping the caller for.
    QSaveFile f(CarpetaPrograma::archivo(nombre + QStringLiteral(".log")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    f.write(linea.toUtf8());
    f.commit();
}
