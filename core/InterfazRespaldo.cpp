#include "InterfazRespaldo.h"

#include "Aplicacion.h"
#include "ConfigPrograma.h"
#include "Frm_Main.h"
#include "InterfazModule.h"
#include "Module.h"
#include "Respaldo.h"
#include "RespaldoServidor.h"
#include "platform/Escritorio.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

const QString kNombreCopia = QStringLiteral("db_tarvento.mdb");

QString filtroCopias() { return QStringLiteral("Copias de la base (*.mdb);;Todos los archivos (*)"); }

// The documents folder stands in for the root of drive C: offered by the
// dialogs, which is rarely writable on a current desktop.
QString carpetaCopias()
{
    const QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return d.isEmpty() ? QDir::homePath() : d;
}

void fallo() { MsgBox(QStringLiteral("Ha ocurrido un error en el proceso."), vb::Critical); }

// The server this station works on; false on the encrypted file. A station
// on a server whose club.ini no longer names one gets an error: the file's
// steps would act on a file it does not use.
bool servidor(DatosServidor &d)
{
    if (!gConexion || !gConexion->esServidor())
        return false;
    if (!ConfigPrograma::baseEnServidor(d))
        throw DbError(3000,
                      QStringLiteral("La configuración (club.ini) ya no indica el servidor de la base de datos."));
    return true;
}

} // namespace

void mnu_backup_Click()
{
    const QString destino =
        Escritorio::guardarComo(Frm_Main::instancia(), QStringLiteral("Seleccione donde desea guardar la copia"),
                                carpetaCopias() + QLatin1Char('/') + kNombreCopia, filtroCopias());
    if (destino.isEmpty())
        return;
    CursorEspera(1);
    try {
        DatosServidor d;
        if (servidor(d))
            RespaldoServidor::copiar(d, destino);
        else
            Respaldo::copiar(*gConexion, destino, gClaveBase);
    } catch (const DbError &e) {
        // A backup that was not made must not pass for one that was.
        CursorEspera(0);
        MsgBox(QStringLiteral("Ha ocurrido un error en el proceso.\n") + e.mensaje(), vb::Critical);
        return;
    }
    CursorEspera(0);
}

void mnu_restaurarbkp_Click()
{
    const QString origen =
        Escritorio::elegirArchivo(Frm_Main::instancia(), QStringLiteral("Seleccione el backup de base de datos\""),
                                  carpetaCopias() + QLatin1Char('/') + kNombreCopia, filtroCopias());
    if (origen.isEmpty())
        return;
    if (MsgBox(QStringLiteral("Atención: Los datos actuales serán remplazados por la copia de seguridad.\n"
                              "¿Desea continuar?"),
               vb::YesNo | vb::Question) != vb::Yes) {
        MsgBox(QStringLiteral("Se ha cancelado la restauración de la copia de seguridad."), vb::Exclamation);
        return;
    }

    // The copy is checked while the live database is still open: a file that
    // is not ours changes nothing and the program goes on.
    QString preparada;
    DatosServidor d;
    bool enServidor = false;
    CursorEspera(1);
    try {
        enServidor = servidor(d);
        if (enServidor)
            RespaldoServidor::prepararRestauracion(*gConexion, origen);
        else
            preparada = Respaldo::prepararRestauracion(origen, gRutaBase, gClaveBase, Respaldo::tablas(*gConexion));
    } catch (const DbError &) {
        CursorEspera(0);
        fallo();
        return;
    }
    cerrarConexion();
    bool restaurada = true;
    try {
        if (enServidor)
            RespaldoServidor::reemplazar(d, origen, gRutaBase, Reloj::ahora());
        else
            Respaldo::reemplazar(gRutaBase, preparada, Reloj::ahora());
    } catch (const DbError &) {
        restaurada = false;
    }
    CursorEspera(0);
    if (restaurada)
        MsgBox(QStringLiteral("La copia de seguridad ha sido restaurada"), vb::Information);
    else
        fallo();
    MsgBox(QStringLiteral("Es necesario reiniciar el sistema.\nEl sistema se cerrará."), vb::Information);
    Aplicacion::terminar();
}

void terminarRestauracionPendiente()
{
    switch (Respaldo::completarRestauracion(gRutaBase, Reloj::ahora())) {
    case Respaldo::RestauracionPendiente::Completada:
        MsgBox(QStringLiteral("La copia de seguridad ha sido restaurada"), vb::Information);
        break;
    case Respaldo::RestauracionPendiente::Deshecha:
        MsgBox(QStringLiteral("Se ha cancelado la restauración de la copia de seguridad."), vb::Exclamation);
        break;
    case Respaldo::RestauracionPendiente::Ninguna: break;
    }
}

bool CompactarBase(const QString &ruta, const QString &clave)
{
    try {
        Respaldo::compactar(ruta, clave);
        return true;
    } catch (const DbError &e) {
        MsgBox(QStringLiteral("Error compactando dbAccess: ") + ruta + QLatin1Char(' ') + QString::number(e.numero()) +
                   QStringLiteral(" - ") + e.descripcion(),
               vb::Information);
        return false;
    }
}
