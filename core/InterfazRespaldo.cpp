#include "InterfazRespaldo.h"

#include "Aplicacion.h"
#include "Frm_Main.h"
#include "InterfazModule.h"
#include "Module.h"
#include "Respaldo.h"
#include "RespaldoServidor.h"
#include "platform/Escritorio.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>
#include <QStandardPaths>
#include <optional>

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

// The first line says that it failed; the next ones why.
void fallo(const DbError &e)
{
    MsgBox(QStringLiteral("Ha ocurrido un error en el proceso.\n") + e.mensaje(), vb::Critical);
}

// A notice the user cannot close (Escape, the close button): while it shows
// the database is taken by the operation, a restore has even closed it, and
// no window may take input.
class AvisoFijo : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;

protected:
    void reject() override {}
    void closeEvent(QCloseEvent *e) override { e->ignore(); }
};

// While alive: the wait pointer, and a window above the others saying what
// is being done. The others take no input meanwhile, but the program's
// events go on (a tool of the server runs while they do): the windows are
// painted and answer.
class EnCurso {
public:
    explicit EnCurso(const QString &texto) : m_aviso(texto, QString(), 0, 0, Frm_Main::instancia())
    {
        m_aviso.setObjectName(QStringLiteral("avisoEnCurso"));
        m_aviso.setWindowTitle(tituloAplicacion());
        m_aviso.setCancelButton(nullptr);
        m_aviso.setWindowModality(Qt::ApplicationModal);
        m_aviso.setMinimumDuration(0);
        m_aviso.show();
        CursorEspera(1);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~EnCurso()
    {
        CursorEspera(0);
        m_aviso.hide();
    }
    EnCurso(const EnCurso &) = delete;
    EnCurso &operator=(const EnCurso &) = delete;

private:
    AvisoFijo m_aviso;
};

// "Error compactando dbAccess: " with what was compacted and why it failed.
void falloCompactacion(const QString &ruta, const DbError &e)
{
    MsgBox(QStringLiteral("Error compactando dbAccess: ") + ruta + QLatin1Char(' ') + QString::number(e.numero()) +
               QStringLiteral(" - ") + e.descripcion(),
           vb::Information);
}

} // namespace

void mnu_backup_Click()
{
    const QString destino =
        Escritorio::guardarComo(Frm_Main::instancia(), QStringLiteral("Seleccione donde desea guardar la copia"),
                                carpetaCopias() + QLatin1Char('/') + kNombreCopia, filtroCopias());
    if (destino.isEmpty())
        return;
    try {
        EnCurso aviso(QStringLiteral("Generando la copia de seguridad..."));
        gConexion->copias(gClaveBase)->copiar(destino);
    } catch (const DbError &e) {
        // A backup that was not made must not pass for one that was.
        fallo(e);
    }
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
    std::unique_ptr<CopiasDeBase> copias;
    try {
        EnCurso aviso(QStringLiteral("Comprobando la copia de seguridad..."));
        copias = gConexion->copias(gClaveBase);
        copias->prepararRestauracion(origen);
    } catch (const DbError &e) {
        fallo(e);
        return;
    }
    cerrarConexion();
    std::optional<DbError> error;
    try {
        EnCurso aviso(QStringLiteral("Restaurando la copia de seguridad..."));
        copias->reemplazar(gRutaBase, Reloj::ahora());
    } catch (const DbError &e) {
        error = e;
    }
    if (error)
        fallo(*error);
    else
        MsgBox(QStringLiteral("La copia de seguridad ha sido restaurada"), vb::Information);
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
        falloCompactacion(ruta, e);
        return false;
    }
}

bool CompactarBaseEnUso()
{
    try {
        gConexion->compactar();
        return true;
    } catch (const DbError &e) {
        falloCompactacion(gConexion->ruta(), e);
        return false;
    }
}
