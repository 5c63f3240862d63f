#pragma once
// An SMTP server on loopback (tests/support/servidor_smtp.py), started for
// one test and ended with it, and what it recorded: connections, login
// attempts and the messages it received; the program's mail settings.
#include "ConfigPrograma.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QString>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class ServidorSmtp {
public:
    // Serves from carpeta (its record and, with tls, its certificate
    // cert.pem), accepting only the login usuario / clave.
    ServidorSmtp(const QString &carpeta, bool tls, const QString &usuario, const QString &clave) : m_carpeta(carpeta)
    {
        QStringList args{QStringLiteral(CLUB_PRUEBAS_DIR "/support/servidor_smtp.py"), carpeta};
        if (tls)
            args << QStringLiteral("--tls");
        args << usuario << clave;
        // The system's interpreter, where the python3-aiosmtpd package lives.
        // The first process ends once the server listens and names it.
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"), args);
        p.waitForFinished(30000);
        const QStringList linea = QString::fromUtf8(p.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
        if (linea.size() == 4 && linea[0] == QLatin1String("PUERTO")) {
            puerto = linea[1].toInt();
            m_pid = linea[3].toInt();
        } else {
            ADD_FAILURE() << "the SMTP server did not start: " << p.readAllStandardError().toStdString();
        }
    }
    ~ServidorSmtp()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }
    ServidorSmtp(const ServidorSmtp &) = delete;
    ServidorSmtp &operator=(const ServidorSmtp &) = delete;

    QJsonObject registro() const
    {
        QFile f(m_carpeta + QStringLiteral("/registro.json"));
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
    }
    int conexiones() const { return registro()[QStringLiteral("conexiones")].toInt(); }
    QJsonArray logins() const { return registro()[QStringLiteral("logins")].toArray(); }
    QJsonArray mensajes() const { return registro()[QStringLiteral("mensajes")].toArray(); }
    // The certificate the server presents with tls, for the client to trust.
    QString certificado() const { return m_carpeta + QStringLiteral("/cert.pem"); }

    int puerto = 0;

private:
    QString m_carpeta;
    pid_t m_pid = 0;
};

// A loopback port where nothing listens.
inline int puertoLibre()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr *>(&a), &n);
    close(s);
    return ntohs(a.sin_port);
}

// Writes one key of the program's configuration file ("correo/puerto").
inline void configurar(const QString &clave, const QString &valor)
{
    QSettings ini(ConfigPrograma::archivo(), QSettings::IniFormat);
    ini.setValue(clave, valor);
}
