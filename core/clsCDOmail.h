#pragma once
// Sends one mail message with attachments through an SMTP server (libcurl):
// set the properties, call Enviar_Backup. With authentication the login goes
// over SSL when ssl is set; the server's certificate is always verified
// (against the system's authorities and the file of [correo] certificados in
// club.ini). Connecting waits at most 2 seconds and a transfer that stalls
// for 30 seconds is given up.
#include <QObject>
#include <QString>
#include <QVariant>

class clsCDOmail : public QObject {
    Q_OBJECT
public:
    // The two failures callers tell apart: server or port, user or password.
    static constexpr int kErrorServidor = static_cast<int>(0x80040213u);
    static constexpr int kErrorUsuario = static_cast<int>(0x80040211u);

    QString servidor;
    QString para; // recipients separated by commas
    QString de;   // sender address
    QString Asunto;
    QString Mensaje; // plain-text body
    QString Adjunto; // attachment paths separated by ";", attached in order
    QVariant puerto; // must be a port number
    QString Usuario;
    QString PassWord;
    bool UseAuntentificacion = false; // only then are Usuario, PassWord and ssl used
    bool ssl = false;

    // Sends the message; true only when the server accepted it. Tells the
    // user "Mensaje enviado correctamente", or why it was not sent: "Usuario o
    // contraseña de e-mail incorrectos" for a refused login, otherwise the
    // failure with the mail library's cause (server or port, certificate,
    // time-out, refused recipient...). Every failure is also raised as
    // fallo() and kept in ultimoError(). Without a network route to the
    // server, with a port that is not a number or with a missing attachment
    // it fails without contacting the server. Shows the hourglass meanwhile.
    // The message carries Date and Message-ID, and names and file names
    // encoded for any letter.
    bool Enviar_Backup();
    QString ultimoError() const { return m_ultimoError; }

    // Marks the cash register id as mailed. Throws DbError.
    static bool setEnviado(qint64 id);

signals:
    void fallo(const QString &mensaje, int numero);
    void enviado();

private:
    // Raises fallo(mensaje, numero), tells the user (aviso, or else mensaje
    // with the cause) and returns false.
    bool fallar(const QString &mensaje, int numero, const QString &causa = {}, const QString &aviso = {});

    QString m_ultimoError;
};
