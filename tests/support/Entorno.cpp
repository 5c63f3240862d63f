#include "Entorno.h"

#include "db/Esquema.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Reloj.h"

#include <QApplication>
#include <QDir>

int numeroDeError(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DbError &e) {
        return e.numero();
    }
    return 0;
}

void Entorno::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    CarpetaPrograma::fijar(m_dir.path());
    fijarRutasBase();
    Esquema::crearBase(gRutaBase);
    abrirConexion();
    gUsuarioActual.clear();
    msg = std::make_unique<MensajesDePrueba>();
    modal = std::make_unique<ModalDePrueba>();
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0)));
}

void Entorno::TearDown()
{
    descargarTodo();
    modal.reset();
    msg.reset();
    cerrarConexion();
    gUsuarioActual.clear();
    Reloj::fijar(QDateTime());
    CarpetaPrograma::fijar(QString());
}

void Entorno::procesarEventos()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void Entorno::descargarTodo()
{
    Ventanas::descargarTodasMenos(QString());
    procesarEventos();
}

QString Entorno::valor(const QString &sql, const Parametros &p)
{
    Recordset rs = gConexion->openRecordset(sql, p);
    return rs.eof() ? QString() : rs.campo(0).texto();
}

void Entorno::instalarPlantillas()
{
    const QDir fuente(QStringLiteral(CLUB_FUENTE_RPTCR));
    QDir(carpeta()).mkpath(QStringLiteral("rptcr"));
    for (const QString &f : fuente.entryList({QStringLiteral("*.rpt")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(fuente.filePath(f), carpeta() + QStringLiteral("/rptcr/") + f)) << f.toStdString();
}

int Entorno::contar(const QString &sql, const Parametros &p) { return valor(sql, p).toInt(); }
