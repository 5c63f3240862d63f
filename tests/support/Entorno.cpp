#include "Entorno.h"

#include "ConfigPrograma.h"
#include "db/Esquema.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Reloj.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QUuid>

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
    crearBaseDePrueba();
    abrirConexion();
    gUsuarioActual.clear();
    msg = std::make_unique<MensajesDePrueba>();
    modal = std::make_unique<ModalDePrueba>();
    Reloj::fijar(QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0)));
}

bool Entorno::enServidor() { return !qEnvironmentVariableIsEmpty("CLUB_PRUEBAS_SERVIDOR"); }

void Entorno::crearBaseDePrueba()
{
    if (!enServidor()) {
        Esquema::crearBase(gRutaBase);
        return;
    }
    // On the server each test gets a schema of its own in one database,
    // named in the program folder's club.ini as a station's would be.
    DatosServidor d;
    d.host = qEnvironmentVariable("CLUB_PRUEBAS_SERVIDOR");
    d.puerto = qEnvironmentVariable("CLUB_PRUEBAS_PUERTO");
    d.base = QStringLiteral("club");
    d.usuario = QStringLiteral("club");
    // Unique across runs on one server (process numbers come back).
    d.esquema = QStringLiteral("prueba_") + QUuid::createUuid().toString(QUuid::Id128);
    anotarServidor(carpeta() + QStringLiteral("/club.ini"), d);
    Esquema::crearBaseServidor(d);
}

void Entorno::anotarServidor(const QString &ini, const DatosServidor &d)
{
    QSettings s(ini, QSettings::IniFormat);
    s.setValue(QStringLiteral("base/motor"), QStringLiteral("postgresql"));
    s.setValue(QStringLiteral("base/host"), d.host);
    s.setValue(QStringLiteral("base/port"), d.puerto);
    s.setValue(QStringLiteral("base/database"), d.base);
    s.setValue(QStringLiteral("base/user"), d.usuario);
    s.setValue(QStringLiteral("base/schema"), d.esquema);
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

QString Entorno::filas(const QString &sql, const Parametros &p, const QString &entreValores, const QString &entreFilas)
{
    QStringList todas;
    for (Recordset rs = gConexion->openRecordset(sql, p); !rs.eof(); rs.moveNext()) {
        QStringList una;
        for (int i = 0; i < rs.fieldCount(); ++i)
            una << (rs.campo(i).valor().isNull() ? QStringLiteral("null") : rs.texto(i));
        todas << una.join(entreValores);
    }
    return todas.join(entreFilas);
}

void Entorno::hacerFallar(const QString &tabla, const QString &mensaje, const QString &condicion, const QString &antes,
                          const QString &operacion)
{
    const QString previo = antes.isEmpty() ? QString() : antes + QStringLiteral("; ");
    if (!enServidor()) {
        db().execute(QStringLiteral("CREATE TRIGGER falla BEFORE %5 ON %1 BEGIN %2SELECT RAISE(ABORT, '%3') "
                                    "WHERE %4; END")
                         .arg(tabla, previo, mensaje, condicion, operacion));
        return;
    }
    // A row trigger on the server returning nothing would skip the DELETE
    // silently: it returns the row the statement works on. It refuses as a
    // rule of the table, as the file's RAISE(ABORT) does.
    db().execute(QStringLiteral("CREATE OR REPLACE FUNCTION falla_%1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                "%2IF %4 THEN RAISE EXCEPTION '%3' USING ERRCODE = 'check_violation'; END IF; "
                                "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$")
                     .arg(tabla, previo, mensaje, condicion));
    db().execute(QStringLiteral("CREATE TRIGGER falla BEFORE %2 ON %1 FOR EACH ROW EXECUTE FUNCTION falla_%1()")
                     .arg(tabla, operacion));
}

void Entorno::quitarFalla(const QString &tabla)
{
    db().execute(enServidor() ? QStringLiteral("DROP TRIGGER falla ON %1").arg(tabla)
                              : QStringLiteral("DROP TRIGGER falla"));
}

std::unique_ptr<Conexion> Entorno::otraEstacion()
{
    DatosServidor d;
    if (ConfigPrograma::baseEnServidor(d))
        return std::unique_ptr<Conexion>(Conexion::abrirServidor(d));
    return std::unique_ptr<Conexion>(Conexion::abrir(gRutaBase, gClaveBase));
}

void Entorno::apartarTablas(Conexion &c, bool apartar)
{
    const QString marca = QStringLiteral("_fuera");
    // The file's views and triggers follow a renamed table unless told not to.
    if (!c.esServidor())
        c.execute(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    QStringList tablas;
    for (const QString &t : c.tablas())
        if (t.endsWith(marca) != apartar)
            tablas << t;
    for (const QString &t : tablas)
        c.execute(QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"")
                      .arg(t, apartar ? t + marca : t.chopped(marca.size())));
}
