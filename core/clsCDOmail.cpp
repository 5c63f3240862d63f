#include "clsCDOmail.h"

#include "ConfigPrograma.h"
#include "Module.h"
#include "platform/Mensajes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStringList>
#include <QUuid>
#include <curl/curl.h>
#include <memory>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Whether the machine has a network route to the server at all. The kernel
// answers the connect of a datagram socket without sending anything. A name
// that does not exist is left to the send, which reports the server.
bool hayRuta(const QString &servidor)
{
    addrinfo pista{};
    pista.ai_socktype = SOCK_DGRAM;
    addrinfo *lista = nullptr;
    const int rc = getaddrinfo(servidor.toUtf8().constData(), "25", &pista, &lista);
    if (rc == EAI_AGAIN || rc == EAI_FAIL)
        return false;
    if (rc != 0)
        return true;
    bool ruta = false;
    for (addrinfo *a = lista; a && !ruta; a = a->ai_next) {
        const int s = socket(a->ai_family, a->ai_socktype, 0);
        if (s < 0)
            continue;
        ruta = ::connect(s, a->ai_addr, a->ai_addrlen) == 0;
        close(s);
    }
    freeaddrinfo(lista);
    return ruta;
}

// The address of "Name <address>" or of a bare address, for the envelope.
QByteArray direccion(const QString &texto)
{
    const QString t = texto.trimmed();
    const qsizetype a = t.indexOf(QLatin1Char('<'));
    const qsizetype b = t.lastIndexOf(QLatin1Char('>'));
    const QString d = (a >= 0 && b > a) ? t.mid(a + 1, b - a - 1).trimmed() : t;
    return "<" + d.toUtf8() + ">";
}

bool esAsciiImprimible(const QString &texto)
{
    for (const QChar c : texto)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// Text for a header: as is when plain ASCII, else as encoded words
// (RFC 2047), each short enough for a header line and never splitting a
// character.
QByteArray palabras(const QString &texto)
{
    if (esAsciiImprimible(texto))
        return texto.toLatin1();
    QByteArrayList l;
    QByteArray trozo;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const qsizetype largo = texto.at(i).isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        const QByteArray c = texto.mid(i, largo).toUtf8();
        i += largo - 1;
        if (trozo.size() + c.size() > 45) {
            l << "=?UTF-8?B?" + trozo.toBase64() + "?=";
            trozo.clear();
        }
        trozo += c;
    }
    if (!trozo.isEmpty())
        l << "=?UTF-8?B?" + trozo.toBase64() + "?=";
    return l.join(' ');
}

// A list of addresses ("Name <address>" or bare addresses, separated by
// commas) for a From or To header: the names as phrases, the addresses as
// they are.
QByteArray direcciones(const QString &lista)
{
    QByteArrayList l;
    for (QString t : lista.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        // A line break typed into an address must not start a header of its own.
        t.replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")), QStringLiteral(" "));
        t = t.trimmed();
        if (t.isEmpty())
            continue;
        const qsizetype a = t.indexOf(QLatin1Char('<'));
        const qsizetype b = t.lastIndexOf(QLatin1Char('>'));
        if (a < 0 || b < a) {
            l << t.toUtf8();
            continue;
        }
        QString nombre = t.left(a).trimmed();
        if (nombre.size() >= 2 && nombre.startsWith(QLatin1Char('"')) && nombre.endsWith(QLatin1Char('"')))
            nombre = nombre.mid(1, nombre.size() - 2);
        const QByteArray dir = direccion(t);
        if (nombre.isEmpty())
            l << dir;
        else if (esAsciiImprimible(nombre))
            l << "\"" + nombre.toLatin1().replace("\\", "\\\\").replace("\"", "\\\"") + "\" " + dir;
        else
            l << palabras(nombre) + " " + dir;
    }
    return l.join(", ");
}

// The Content-Disposition of an attachment: its file name quoted when plain
// ASCII, else as a UTF-8 parameter value (RFC 2231).
QByteArray disposicion(const QString &archivo)
{
    const QString nombre = QFileInfo(archivo).fileName();
    if (esAsciiImprimible(nombre) && !nombre.contains(QLatin1Char('"')) && !nombre.contains(QLatin1Char('\\')))
        return "Content-Disposition: attachment; filename=\"" + nombre.toLatin1() + "\"";
    return "Content-Disposition: attachment; filename*=UTF-8''" + nombre.toUtf8().toPercentEncoding("!#$&+^`|");
}

// A unique identifier for the message, in the sender's domain.
QByteArray identificador(const QString &remitente)
{
    const QByteArray dir = direccion(remitente);
    QByteArray dominio = dir.mid(dir.lastIndexOf('@') + 1).chopped(1);
    if (!dir.contains('@') || dominio.isEmpty() || !esAsciiImprimible(QString::fromUtf8(dominio)))
        dominio = "localhost";
    return "<" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" + dominio + ">";
}

struct Lista {
    curl_slist *p = nullptr;
    ~Lista() { curl_slist_free_all(p); }
    void agregar(const QByteArray &t) { p = curl_slist_append(p, t.constData()); }
};

struct Envio {
    CURL *h = curl_easy_init();
    curl_mime *mime = curl_mime_init(h);
    ~Envio()
    {
        curl_mime_free(mime);
        curl_easy_cleanup(h);
    }
};

void iniciarCurl()
{
    static const bool iniciado = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(iniciado);
}

// Failures of reaching the server, as opposed to what it answered.
bool esDelServidor(CURLcode rc)
{
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_URL_MALFORMAT: return true;
    default: return false;
    }
}

} // namespace

bool clsCDOmail::fallar(const QString &mensaje, int numero, const QString &causa, const QString &aviso)
{
    m_ultimoError = mensaje;
    emit fallo(mensaje, numero);
    // The user is told every failure, with the cause the mail library gave.
    QString texto = aviso;
    if (texto.isEmpty()) {
        texto = QStringLiteral("No se pudo enviar el correo.\n") + mensaje;
        if (!causa.isEmpty() && causa != mensaje)
            texto += QStringLiteral("\nCausa: ") + causa;
    }
    MsgBox(texto, vb::Exclamation);
    return false;
}

bool clsCDOmail::Enviar_Backup()
{
    m_ultimoError.clear();
    if (!hayRuta(servidor)) {
        const QString t =
            QStringLiteral("No se puede enviar el correo. Verificar la conexión a internet si está disponible");
        return fallar(t, 0, {}, t);
    }
    bool numerico = false;
    const int nPuerto = puerto.toString().trimmed().toInt(&numerico);
    if (!numerico || nPuerto < 1 || nPuerto > 65535)
        return fallar(QStringLiteral("No se ha indicado el puerto del servidor"), 0);
    const QStringList adjuntos = Adjunto.isEmpty() ? QStringList() : Adjunto.split(QLatin1Char(';'));
    for (const QString &a : adjuntos)
        if (!QFileInfo(a).isFile())
            return fallar(QStringLiteral("No se encontró el archivo adjunto \"%1\"").arg(a), 0);

    iniciarCurl();
    Envio e;
    const bool conSsl = UseAuntentificacion && ssl;
    const QByteArray url =
        (conSsl ? "smtps://" : "smtp://") + servidor.trimmed().toUtf8() + ":" + QByteArray::number(nPuerto);
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(e.h, CURLOPT_URL, url.constData());
    curl_easy_setopt(e.h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(e.h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e.h, CURLOPT_CONNECTTIMEOUT, 2L);
    curl_easy_setopt(e.h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e.h, CURLOPT_LOW_SPEED_TIME, 30L);
    const QByteArray certificados = QFile::encodeName(ConfigPrograma::certificadosCorreo());
    if (!certificados.isEmpty())
        curl_easy_setopt(e.h, CURLOPT_CAINFO, certificados.constData());
    const QByteArray usuario = Usuario.toUtf8(), clave = PassWord.toUtf8();
    if (UseAuntentificacion) {
        curl_easy_setopt(e.h, CURLOPT_USERNAME, usuario.constData());
        curl_easy_setopt(e.h, CURLOPT_PASSWORD, clave.constData());
    }

    const QByteArray remitente = direccion(de);
    curl_easy_setopt(e.h, CURLOPT_MAIL_FROM, remitente.constData());
    Lista destinatarios;
    for (const QString &d : para.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!d.trimmed().isEmpty())
            destinatarios.agregar(direccion(d));
    curl_easy_setopt(e.h, CURLOPT_MAIL_RCPT, destinatarios.p);

    Lista encabezados;
    encabezados.agregar(
        "Date: " + QLocale::c()
                       .toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss +0000"))
                       .toLatin1());
    encabezados.agregar("Message-ID: " + identificador(de));
    encabezados.agregar("From: " + direcciones(de));
    encabezados.agregar("To: " + direcciones(para));
    encabezados.agregar("Subject: " + palabras(Asunto));
    curl_easy_setopt(e.h, CURLOPT_HTTPHEADER, encabezados.p);

    const QByteArray cuerpo = Mensaje.toUtf8();
    curl_mimepart *parte = curl_mime_addpart(e.mime);
    curl_mime_data(parte, cuerpo.constData(), cuerpo.size());
    curl_mime_type(parte, "text/plain; charset=UTF-8");
    curl_mime_encoder(parte, "quoted-printable");
    QMimeDatabase tipos;
    for (const QString &a : adjuntos) {
        parte = curl_mime_addpart(e.mime);
        curl_mime_filedata(parte, QFile::encodeName(a).constData());
        // Given here, the library writes no disposition of its own (it would
        // put the name's UTF-8 bytes in the header as they are).
        curl_mime_headers(parte, curl_slist_append(nullptr, disposicion(a).constData()), 1);
        curl_mime_type(parte, tipos.mimeTypeForFile(a).name().toUtf8().constData());
        curl_mime_encoder(parte, "base64");
    }
    curl_easy_setopt(e.h, CURLOPT_MIMEPOST, e.mime);

    CURLcode rc;
    {
        EsperaVisible espera;
        rc = curl_easy_perform(e.h);
    }

    if (rc == CURLE_OK) {
        MsgBox(QStringLiteral("Mensaje enviado correctamente"), vb::Information);
        emit enviado();
        return true;
    }
    const QString causa = error[0] ? QString::fromUtf8(error) : QString::fromUtf8(curl_easy_strerror(rc));
    if (esDelServidor(rc))
        return fallar(QStringLiteral("Posible error : nombre del Servidor incorrecto o número de puerto incorrecto"),
                      kErrorServidor, causa);
    if (rc == CURLE_LOGIN_DENIED)
        return fallar(QStringLiteral("Posible error : error en la el nombre de usuario, o en el password "),
                      kErrorUsuario, causa, QStringLiteral("Usuario o contraseña de e-mail incorrectos"));
    return fallar(causa, rc, causa);
}

bool clsCDOmail::setEnviado(qint64 id)
{
    gConexion->execute(QStringLiteral("UPDATE caja_cabeza SET enviado = 1 WHERE id = ?"), {id});
    return true;
}
