#include "support/Entorno.h"

#include "ConfigPrograma.h"
#include "Frm_S_ConfiguraEmail.h"
#include "RegistroConfiguraciones.h"
#include "clsCDOmail.h"
#include "dbEmailConf.h"
#include "platform/Aperturas.h"
#include "support/ServidorSmtp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString kUsuario = "cierres@club.test";
const QString kClave = "clave-secreta";

class CorreoTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        ASSERT_TRUE(QDir().mkpath(carpeta() + "/smtp"));
        configurar("correo/servidor", "127.0.0.1");
    }
    QString adjunto(const QString &nombre, const QByteArray &contenido)
    {
        QFile f(carpeta() + "/" + nombre);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
        return f.fileName();
    }
    // A message as the closings list sends it: SSL and login on the server's port.
    void preparar(clsCDOmail &m, int puerto)
    {
        m.servidor = ConfigPrograma::servidorCorreo();
        m.puerto = QString::number(puerto);
        m.UseAuntentificacion = true;
        m.ssl = true;
        m.Usuario = kUsuario;
        m.PassWord = kClave;
        m.de = kUsuario;
        m.para = "tesoreria@club.test, dueño <duenio@club.test>";
        m.Asunto = "Cierre de caja Nº 7";
        m.Mensaje = "Se adjunta el cierre de caja.";
        QObject::connect(&m, &clsCDOmail::fallo, [this](const QString &t, int n) { fallos.push_back({t, n}); });
    }

    std::vector<std::pair<QString, int>> fallos;
};

} // namespace

TEST_F(CorreoTest, EnvioConSslYLoginYSusFallos)
{
    ServidorSmtp srv(carpeta() + "/smtp", true, kUsuario, kClave);
    ASSERT_GT(srv.puerto, 0);
    const QString zeta = adjunto("zeta.txt", "cierre 7");
    const QString nandu = adjunto("Club Ñandú año 2024.txt", "resumen de stock");

    // Every failure is told once, with its cause (a pattern), and raised as fallo().
    const auto fallaDiciendo = [&](clsCDOmail &m, const QString &causa) {
        msg->limpiar();
        fallos.clear();
        EXPECT_FALSE(m.Enviar_Backup());
        ASSERT_EQ(fallos.size(), 1u) << causa.toStdString();
        ASSERT_EQ(msg->mostrados().size(), 1u) << causa.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_TRUE(msg->ultimo().prompt.contains(QRegularExpression(causa, QRegularExpression::CaseInsensitiveOption)))
            << msg->ultimo().prompt.toStdString() << " / " << causa.toStdString();
    };

    // The self-signed certificate is refused until club.ini trusts it.
    {
        clsCDOmail m;
        preparar(m, srv.puerto);
        fallaDiciendo(m, "certificate");
        EXPECT_TRUE(srv.logins().isEmpty()) << "the password went to an unverified server";
        EXPECT_TRUE(srv.mensajes().isEmpty());
        EXPECT_TRUE(fallos[0].first.contains("certificate")) << fallos[0].first.toStdString();
    }
    configurar("correo/certificados", carpeta() + "/smtp/cert.pem");

    clsCDOmail m;
    preparar(m, srv.puerto);
    m.Adjunto = zeta + ";" + nandu;
    bool enviado = false;
    QObject::connect(&m, &clsCDOmail::enviado, [&] { enviado = true; });
    msg->limpiar();
    fallos.clear();
    ASSERT_TRUE(m.Enviar_Backup()) << m.ultimoError().toStdString();
    EXPECT_TRUE(enviado);
    EXPECT_EQ(msg->textos(), QStringList{"Mensaje enviado correctamente"});
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(srv.logins(), QJsonArray{kUsuario});
    ASSERT_EQ(srv.mensajes().size(), 1);
    const QJsonObject recibido = srv.mensajes()[0].toObject();
    EXPECT_TRUE(recibido["autenticado"].toBool());
    EXPECT_EQ(recibido["de"].toString(), kUsuario);
    EXPECT_EQ(recibido["para"].toArray(), (QJsonArray{"tesoreria@club.test", "duenio@club.test"}));
    EXPECT_EQ(recibido["asunto"].toString(), "Cierre de caja Nº 7");
    EXPECT_EQ(recibido["cuerpo"].toString().trimmed(), "Se adjunta el cierre de caja.");
    EXPECT_EQ(recibido["adjuntos"].toArray(), (QJsonArray{QJsonArray{"zeta.txt", "cierre 7"},
                                                          QJsonArray{"Club Ñandú año 2024.txt", "resumen de stock"}}));
    // Read by Python's mail parser in strict mode: no defect, no raw 8-bit
    // header, a Message-ID and a Date.
    EXPECT_EQ(QJsonDocument(recibido["estricto"].toArray()).toJson(QJsonDocument::Compact), "[]")
        << recibido["crudo"].toString().toStdString();
    EXPECT_TRUE(QRegularExpression("^<[^<>@\\s]+@club\\.test>$").match(recibido["message_id"].toString()).hasMatch())
        << recibido["message_id"].toString().toStdString();
    const QDateTime fecha = QDateTime::fromString(recibido["fecha"].toString(), Qt::ISODate);
    EXPECT_TRUE(fecha.isValid()) << recibido["fecha"].toString().toStdString();
    EXPECT_LT(std::abs(fecha.secsTo(QDateTime::currentDateTimeUtc())), 300);
    EXPECT_TRUE(fallos.empty());

    // A wrong password: the login is refused and the user told so.
    clsCDOmail mal;
    preparar(mal, srv.puerto);
    mal.PassWord = "otra";
    fallaDiciendo(mal, "Usuario o contraseña de e-mail incorrectos");
    EXPECT_EQ(fallos[0].second, clsCDOmail::kErrorUsuario);
    EXPECT_EQ(fallos[0].first, "Posible error : error en la el nombre de usuario, o en el password ");
    EXPECT_EQ(msg->textos(), QStringList{"Usuario o contraseña de e-mail incorrectos"});

    // A recipient the server refuses: nothing is sent to anyone.
    clsCDOmail refusado;
    preparar(refusado, srv.puerto);
    refusado.para = "tesoreria@club.test, rechazado@club.test";
    fallaDiciendo(refusado, "RCPT");
    EXPECT_EQ(srv.mensajes().size(), 1);

    // A port where no server listens; a server name that does not exist.
    clsCDOmail otroPuerto;
    preparar(otroPuerto, puertoLibre());
    fallaDiciendo(otroPuerto, "Posible error : nombre del Servidor incorrecto o número de puerto incorrecto");
    EXPECT_EQ(fallos[0].second, clsCDOmail::kErrorServidor);
    EXPECT_TRUE(msg->ultimo().prompt.contains("Causa: ")) << msg->ultimo().prompt.toStdString();
    clsCDOmail otroServidor;
    preparar(otroServidor, srv.puerto);
    otroServidor.servidor = "servidor.invalid";
    fallaDiciendo(otroServidor, "No se pudo enviar el correo\\.");

    // A server that takes the connection and never answers: given up after
    // the connection time-out.
    const int mudo = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof dir;
    ASSERT_EQ(bind(mudo, reinterpret_cast<sockaddr *>(&dir), sizeof dir), 0);
    ASSERT_EQ(listen(mudo, 1), 0);
    getsockname(mudo, reinterpret_cast<sockaddr *>(&dir), &largo);
    clsCDOmail callado;
    preparar(callado, ntohs(dir.sin_port));
    QElapsedTimer reloj;
    reloj.start();
    fallaDiciendo(callado, "timeout|timed out");
    EXPECT_LT(reloj.elapsed(), 10000);
    close(mudo);

    // A port that is not a number, or a missing attachment: the server is not contacted.
    const int antes = srv.conexiones();
    clsCDOmail sinPuerto;
    preparar(sinPuerto, 0);
    sinPuerto.puerto = "abc";
    fallaDiciendo(sinPuerto, "No se ha indicado el puerto del servidor");
    EXPECT_EQ(fallos[0], std::make_pair(QString("No se ha indicado el puerto del servidor"), 0));
    clsCDOmail sinArchivo;
    preparar(sinArchivo, srv.puerto);
    sinArchivo.Adjunto = zeta + ";" + carpeta() + "/no_existe.pdf";
    fallaDiciendo(sinArchivo, "no_existe.pdf");
    EXPECT_EQ(srv.conexiones(), antes);
    EXPECT_EQ(srv.mensajes().size(), 1);
}

TEST_F(CorreoTest, SinAutenticacionNoSeEnviaElLogin)
{
    ServidorSmtp srv(carpeta() + "/smtp", false, kUsuario, kClave);
    ASSERT_GT(srv.puerto, 0);
    clsCDOmail m;
    preparar(m, srv.puerto);
    m.UseAuntentificacion = false; // user, password and SSL are set but not used
    ASSERT_TRUE(m.Enviar_Backup()) << m.ultimoError().toStdString();
    EXPECT_TRUE(srv.logins().isEmpty());
    ASSERT_EQ(srv.mensajes().size(), 1);
    EXPECT_FALSE(srv.mensajes()[0].toObject()["autenticado"].toBool());
    EXPECT_TRUE(srv.mensajes()[0].toObject()["adjuntos"].toArray().isEmpty());
}

TEST_F(CorreoTest, ElCierreEnviadoQuedaMarcado)
{
    db().execute("INSERT INTO caja_cabeza (id, t_usuarios_codigo, enviado) VALUES (4, 'admin', 0), (5, 'admin', 0)");
    EXPECT_TRUE(clsCDOmail::setEnviado(5));
    EXPECT_EQ(
        valor("SELECT group_concat(CAST(enviado AS TEXT)) FROM (SELECT enviado FROM caja_cabeza ORDER BY id) AS c"),
        "0,1");
}

TEST_F(CorreoTest, LaCuentaSeGuardaUnaVezConLaClaveCodificada)
{
    registrarVentanaConfiguraciones();
    auto abrir = [this] {
        EXPECT_TRUE(Aperturas::abrir("mnu_ConfiguraEmail"));
        auto *d = Ventanas::existente<Frm_S_ConfiguraEmail>();
        EXPECT_NE(d, nullptr);
        return d;
    };
    auto caja = [](QWidget *d, const char *n) { return d->findChild<QLineEdit *>(n); };
    auto boton = [](QWidget *d, const char *n) { return d->findChild<QPushButton *>(n); };

    Frm_S_ConfiguraEmail *d = abrir();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->findChild<QWidget *>("Frame1")->property("title").toString().contains("127.0.0.1"));
    EXPECT_EQ(caja(d, "txt_Usuario")->text(), "");
    caja(d, "txt_Usuario")->setText(kUsuario);
    caja(d, "txt_Password")->setText("primera");
    caja(d, "txt_Destinatario")->setText("a@club.test,b@club.test");
    boton(d, "cmdOK")->click();
    procesarEventos();
    EXPECT_EQ(msg->textos(), QStringList{"Se almaceno la configuración exitosamente"});
    EXPECT_EQ(Ventanas::existente<Frm_S_ConfiguraEmail>(), nullptr);

    gUsuarioActual = "caja2";
    d = abrir();
    QLineEdit *clave = caja(d, "txt_Password");
    EXPECT_EQ(clave->text(), "primera");
    EXPECT_EQ(clave->echoMode(), QLineEdit::Password);
    boton(d, "cmdMostrar")->click();
    EXPECT_EQ(clave->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(boton(d, "cmdMostrar")->text(), "Ocultar");
    boton(d, "cmdMostrar")->click();
    EXPECT_EQ(clave->echoMode(), QLineEdit::Password);
    EXPECT_EQ(boton(d, "cmdMostrar")->text(), "Mostrar");
    clave->setText("segunda");
    boton(d, "cmdOK")->click();
    procesarEventos();

    EXPECT_EQ(contar("SELECT count(*) FROM t_emailconf"), 1);
    EXPECT_NE(valor("SELECT \"contraseña\" FROM t_emailconf"), "segunda");
    EXPECT_EQ(valor("SELECT t_usuarios_codigo FROM t_emailconf"), "caja2");
    const auto cuenta = dbEmailConf::leer();
    ASSERT_TRUE(cuenta.has_value());
    EXPECT_EQ(cuenta->contrasena, "segunda");
    EXPECT_EQ(cuenta->destinatario, "a@club.test,b@club.test");

    // A failing save keeps the stored account and the dialog open.
    hacerFallar("t_emailconf", "falla");
    msg->limpiar();
    d = abrir();
    caja(d, "txt_Usuario")->setText("otra@club.test");
    boton(d, "cmdOK")->click();
    procesarEventos();
    ASSERT_EQ(msg->textos().size(), 1);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_NE(Ventanas::existente<Frm_S_ConfiguraEmail>(), nullptr);
    EXPECT_EQ(valor("SELECT usuario FROM t_emailconf"), kUsuario);
    EXPECT_FALSE(db().enTransaccion());

    boton(d, "cmdCancel")->click();
    procesarEventos();
    EXPECT_EQ(Ventanas::existente<Frm_S_ConfiguraEmail>(), nullptr);
}
