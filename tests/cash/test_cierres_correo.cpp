#include "AyudaCaja.h"

#include "ConfigPrograma.h"
#include "Frm_L_CierresCaja.h"
#include "core/AyudaReportes.h"
#include "dbCierresCaja.h"
#include "dbEmailConf.h"
#include "support/ServidorSmtp.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

using namespace ayuda;

namespace {

const QString kCuenta = "caja@club.test";
const QString kClave = "clave-de-caja";

class CierresCorreoTest : public CajaBase {
protected:
    void SetUp() override
    {
        CajaBase::SetUp();
        instalarPlantillas();
        db().execute("INSERT INTO t_configuraciones (codigo, valor) VALUES ('CLUB_NOMBRE', 'Club Norte')");
        // 2 and 5 closed on the 15th, 3 still open.
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, importe_cierre_teorico, "
                     "importe_cierre_real, fecha_hora_cierre, comentarios, t_usuarios_codigo) VALUES "
                     "(2, '2024-03-15 07:00:00', 10, 50, 45.5, '2024-03-15 09:00:00', 'faltante', 'luis'), "
                     "(3, '2024-03-15 09:30:00', 20, 0, 0, NULL, '', 'ana'), "
                     "(5, '2024-03-14 23:59:59', 1, 7.25, 7.25, '2024-03-15 06:00:00', '', 'ana')");
        configurar("correo/servidor", "127.0.0.1");
        EXPECT_TRUE(Aperturas::abrir("mnu_CierresCaja"));
        procesarEventos();
        w = Ventanas::existente<Frm_L_CierresCaja>();
        w->findChild<QDateEdit *>("dtFecha_0")->setDate(QDate(2024, 3, 14));
        clic(w, 4);
    }
    void cuenta(const QString &usuario, const QString &clave,
                const QString &destinatarios = "tesoreria@club.test, dueño <duenio@club.test>")
    {
        Transaccion t(db());
        dbEmailConf::guardar({usuario, clave, destinatarios});
        t.commit();
    }
    // Chooses the row of register id and presses "Enviar e-mail".
    void enviar(const QString &id)
    {
        Grid *g = grilla(w);
        g->setActiveCell(1, columna(g, 1).indexOf(id) + 1);
        msg->limpiar();
        w->findChild<QPushButton *>("cmdPDF")->click();
    }
    QString pdf() const { return carpeta() + "/cierres_pdf/Club Norte_2024_03_15.pdf"; }
    QString enviados()
    {
        return valor("SELECT group_concat(CAST(id AS TEXT), ' ') FROM caja_cabeza WHERE enviado = 1");
    }
    bool verde(const QString &id)
    {
        Grid *g = grilla(w);
        return g->cellBackColor(8, columna(g, 1).indexOf(id) + 1) == colorVB(0xC0FFC0);
    }

    Frm_L_CierresCaja *w = nullptr;
};

TEST_F(CierresCorreoTest, PdfDelCierreSinCuentaYGuardas)
{
    ASSERT_EQ(columna(grilla(w), 1), (QStringList{"5", "2", "3"}));

    // An open register has no closing to mail: no question, no file.
    enviar("3");
    EXPECT_EQ(msg->textos(), QStringList{"La caja Nº 3 no está cerrada: solo se envía el cierre de una caja cerrada."});
    EXPECT_FALSE(QDir(carpeta() + "/cierres_pdf").exists());

    // Cancelled at the confirmation: the folder is made, no file is written.
    msg->responder(vb::Cancel);
    enviar("5");
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "Se enviará el Cierre de Caja Nº: 5 con fecha: 15/03/2024 06:00:00\r\n¿Desea "
                                    "continuar?");
    EXPECT_EQ(msg->ultimo().titulo, "Confirmar envio");
    EXPECT_EQ(msg->ultimo().estilo, vb::OKCancel + vb::Question);
    EXPECT_TRUE(QDir(carpeta() + "/cierres_pdf").exists());
    EXPECT_FALSE(QFile::exists(pdf()));

    // No mail account: the PDF is written all the same, the user told, nothing marked.
    enviar("5");
    EXPECT_EQ(msg->textos().value(1), "Debe configurar una cuenta de correo válida para utilizar esta función");
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_TRUE(textoPdf(pdf()).contains("Informe de Caja Nº 5"));
    EXPECT_EQ(enviados(), "");
    EXPECT_FALSE(verde("5"));

    // The other closing of that day takes the same file name: it replaces the first.
    enviar("2");
    const QString texto = textoPdf(pdf());
    EXPECT_TRUE(texto.contains("Informe de Caja Nº 2"));
    EXPECT_TRUE(texto.contains("faltante"));
    EXPECT_FALSE(texto.contains("Nº 5"));
    EXPECT_EQ(QDir(carpeta() + "/cierres_pdf").entryList(QDir::Files), QStringList{"Club Norte_2024_03_15.pdf"});

    // An account without its password is no account.
    cuenta(kCuenta, "");
    enviar("2");
    EXPECT_EQ(msg->textos().value(1), "Debe configurar una cuenta de correo válida para utilizar esta función");
    EXPECT_EQ(enviados(), "");

    // Without the template there is no file to mail: told, not sent, not marked.
    cuenta(kCuenta, kClave);
    ASSERT_TRUE(QFile::remove(pdf()));
    ASSERT_TRUE(QFile::remove(carpeta() + "/rptcr/rpt_caja.rpt"));
    enviar("2");
    EXPECT_EQ(msg->textos().value(1), "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");
    EXPECT_EQ(msg->mostrados().size(), 2u);
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_EQ(enviados(), "");

    // Nothing listed: told.
    w->findChild<QDateEdit *>("dtFecha_0")->setDate(QDate(2024, 1, 1));
    w->findChild<QDateEdit *>("dtFecha_1")->setDate(QDate(2024, 1, 1));
    clic(w, 4);
    msg->limpiar();
    w->findChild<QPushButton *>("cmdPDF")->click();
    EXPECT_EQ(msg->textos(), QStringList{"No hay una caja elegida en la lista."});
}

TEST_F(CierresCorreoTest, NombreDelArchivoYPuerto)
{
    // SMTP over SSL on its usual port unless club.ini names another.
    EXPECT_EQ(ConfigPrograma::puertoCorreo(), "465");
    const QDateTime cierre(QDate(2016, 5, 3), QTime(23, 10));
    EXPECT_EQ(dbCierresCaja::nombrePdf("Club Norte", cierre), "Club Norte_2016_05_03.pdf");
    EXPECT_EQ(dbCierresCaja::nombrePdf("", cierre), "_2016_05_03.pdf");
    // A name is never a path.
    EXPECT_EQ(dbCierresCaja::nombrePdf("../Club A/B\\C:", cierre), "..-Club A-B-C-_2016_05_03.pdf");
    EXPECT_EQ(dbCierresCaja::asunto("7", "03/05/2016 23:10:00", "Club Norte"),
              "Informe Caja N° 7 - 03/05/2016 23:10:00 - Club Norte  ");
}

TEST_F(CierresCorreoTest, EnvioRealMarcaSoloLoQueElServidorAcepto)
{
    ASSERT_TRUE(QDir().mkpath(carpeta() + "/smtp"));
    ServidorSmtp srv(carpeta() + "/smtp", true, kCuenta, kClave);
    ASSERT_GT(srv.puerto, 0);
    configurar("correo/certificados", srv.certificado());
    configurar("correo/puerto", QString::number(srv.puerto));

    // A password the server refuses: told, not marked.
    cuenta(kCuenta, "otra");
    enviar("2");
    EXPECT_EQ(msg->textos().value(1), "Usuario o contraseña de e-mail incorrectos");
    EXPECT_EQ(srv.logins(), QJsonArray{kCuenta});
    EXPECT_TRUE(srv.mensajes().isEmpty());
    EXPECT_EQ(enviados(), "");

    // No server at the port, or a recipient the server refuses: the user is
    // told why, and the closing is not marked.
    configurar("correo/puerto", QString::number(puertoLibre()));
    cuenta(kCuenta, kClave);
    enviar("2");
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("No se pudo enviar el correo.\nPosible error : nombre del Servidor "
                                                "incorrecto o número de puerto incorrecto\nCausa: "))
        << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(enviados(), "");
    configurar("correo/puerto", QString::number(srv.puerto));
    cuenta(kCuenta, kClave, "tesoreria@club.test, rechazado@club.test");
    enviar("2");
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_TRUE(msg->ultimo().prompt.contains("RCPT")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(srv.mensajes().isEmpty());
    EXPECT_EQ(enviados(), "");

    // Accepted: the closing's PDF goes over SSL with the login to the
    // account's recipients, and the row turns light green at once.
    cuenta(kCuenta, kClave);
    enviar("2");
    EXPECT_EQ(msg->textos().value(1), "Mensaje enviado correctamente");
    ASSERT_EQ(srv.mensajes().size(), 1);
    const QJsonObject m = srv.mensajes()[0].toObject();
    EXPECT_TRUE(m["autenticado"].toBool());
    EXPECT_EQ(m["de"].toString(), kCuenta);
    EXPECT_EQ(m["para"].toArray(), (QJsonArray{"tesoreria@club.test", "duenio@club.test"}));
    EXPECT_EQ(m["asunto"].toString().trimmed(), "Informe Caja N° 2 - 15/03/2024 09:00:00 - Club Norte");
    const QJsonArray adjuntos = m["adjuntos"].toArray();
    ASSERT_EQ(adjuntos.size(), 1);
    EXPECT_EQ(adjuntos[0].toArray()[0].toString(), "Club Norte_2024_03_15.pdf");
    EXPECT_TRUE(adjuntos[0].toArray()[1].toString().startsWith("%PDF"));
    EXPECT_EQ(QJsonDocument(m["estricto"].toArray()).toJson(QJsonDocument::Compact), "[]")
        << m["crudo"].toString().toStdString();
    EXPECT_EQ(enviados(), "2");
    EXPECT_TRUE(verde("2"));
    EXPECT_FALSE(verde("5"));
    EXPECT_EQ(grilla(w)->text(1, grilla(w)->ActiveRow()), "2");
}

} // namespace
