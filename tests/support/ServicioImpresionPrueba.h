#pragma once
// A print service (CUPS's cupsd) of the test's own, with its configuration,
// spool and socket in a folder of the test, started for one test and ended
// with it. While it lives the program's print jobs go to it; its queues
// print nowhere and keep every job's document. The tests' runner points the
// program at a socket where nothing answers (tests/main.cpp), so no test
// reaches the machine's own printers.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QThread>
#include <algorithm>
#include <cups/cups.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

class ServicioImpresionPrueba {
public:
    struct Trabajo {
        int id = 0;
        QString nombre;    // job-name
        QString medio;     // the paper asked for ("media")
        QString documento; // the file the service keeps of the job's document
    };

    explicit ServicioImpresionPrueba(const QString &carpeta) : m_carpeta(carpeta)
    {
        QDir d(carpeta);
        for (const char *sub : {"spool", "tmp", "cache", "state", "log"})
            d.mkpath(QString::fromLatin1(sub));
        escribir(QStringLiteral("cupsd.conf"),
                 QStringLiteral("Listen %1\n"
                                "LogLevel warn\n"
                                "WebInterface No\n"
                                "Browsing No\n"
                                "DefaultAuthType None\n"
                                "PreserveJobFiles Yes\n"
                                "<Location />\n  Order allow,deny\n  Allow all\n"
                                "</Location>\n"
                                "<Policy default>\n  JobPrivateValues none\n  <Limit All>\n"
                                "    Order deny,allow\n  </Limit>\n</Policy>\n")
                     .arg(socket()));
        QString archivos = QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
                                          "StateDir %1/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                          "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                          "PageLog %1/log/page_log\nFileDevice Yes\n")
                               .arg(carpeta);
        // Run by a user other than root, the service runs as that user.
        if (geteuid() != 0) {
            const passwd *pw = getpwuid(geteuid());
            const group *gr = getgrgid(getegid());
            if (pw && gr)
                archivos += QStringLiteral("User %1\nGroup %2\n")
                                .arg(QString::fromLocal8Bit(pw->pw_name), QString::fromLocal8Bit(gr->gr_name));
        }
        escribir(QStringLiteral("cups-files.conf"), archivos);

        const QString cupsd = programa(QStringLiteral("cupsd"));
        if (cupsd.isEmpty()) {
            ADD_FAILURE() << "cupsd is missing (package cups-daemon): run scripts/setup";
            return;
        }
        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), carpeta + QStringLiteral("/cupsd.conf"),
                              QStringLiteral("-s"), carpeta + QStringLiteral("/cups-files.conf")});
        // Ready once it answers on its socket; a service that ended says why.
        for (int i = 0; i < 3000 && m_cupsd.state() != QProcess::NotRunning && !responde(); ++i)
            QThread::msleep(10);
        if (!responde()) {
            ADD_FAILURE() << "the print service did not start: " << m_cupsd.readAll().toStdString()
                          << leer(QStringLiteral("log/error_log")).toStdString();
            return;
        }
        cupsSetServer(QFile::encodeName(socket()).constData());
    }
    ~ServicioImpresionPrueba()
    {
        detener();
        cupsSetServer(nullptr); // back to the runner's server, where nothing answers
    }
    ServicioImpresionPrueba(const ServicioImpresionPrueba &) = delete;
    ServicioImpresionPrueba &operator=(const ServicioImpresionPrueba &) = delete;

    QString socket() const { return m_carpeta + QStringLiteral("/cups.sock"); }

    // A queue that takes jobs and prints them nowhere; the default one when
    // predeterminada.
    void agregarCola(const QString &cola, bool predeterminada)
    {
        admin(QStringLiteral("lpadmin"), {QStringLiteral("-p"), cola, QStringLiteral("-E"), QStringLiteral("-v"),
                                          QStringLiteral("file:///dev/null")});
        if (predeterminada)
            admin(QStringLiteral("lpadmin"), {QStringLiteral("-d"), cola});
    }
    // The queue refuses every job handed to it (or takes them again).
    void rechazar(const QString &cola) { admin(QStringLiteral("cupsreject"), {cola}); }
    void aceptar(const QString &cola) { admin(QStringLiteral("cupsaccept"), {cola}); }

    // Stops the service; its queues stay defined in its folder.
    void detener()
    {
        if (m_cupsd.state() == QProcess::NotRunning)
            return;
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(30000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(30000);
    }

    // Every job the queue was handed, the finished ones included, oldest first.
    std::vector<Trabajo> trabajos(const QString &cola) const
    {
        std::vector<Trabajo> lista;
        http_t *http = conectar();
        if (!http)
            return lista;
        ipp_t *pedido = ippNewRequest(IPP_OP_GET_JOBS);
        const QByteArray uri = "ipp://localhost/printers/" + cola.toUtf8();
        ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
        ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
        static const char *const atributos[] = {"job-id", "job-name", "media"};
        ippAddStrings(pedido, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, atributos);
        ipp_t *respuesta = cupsDoRequest(http, pedido, "/");
        Trabajo t;
        const auto cerrar = [&] {
            if (t.id > 0) {
                t.documento = m_carpeta + QStringLiteral("/spool/d%1-001").arg(t.id, 5, 10, QLatin1Char('0'));
                lista.push_back(t);
            }
            t = Trabajo();
        };
        for (ipp_attribute_t *a = ippFirstAttribute(respuesta); a; a = ippNextAttribute(respuesta)) {
            const char *nombre = ippGetName(a);
            if (!nombre) {
                cerrar();
                continue;
            }
            if (ippGetGroupTag(a) != IPP_TAG_JOB)
                continue;
            const QByteArray n(nombre);
            if (n == "job-id")
                t.id = ippGetInteger(a, 0);
            else if (n == "job-name")
                t.nombre = QString::fromUtf8(ippGetString(a, 0, nullptr));
            else if (n == "media")
                t.medio = QString::fromUtf8(ippGetString(a, 0, nullptr));
        }
        cerrar();
        ippDelete(respuesta);
        httpClose(http);
        std::sort(lista.begin(), lista.end(), [](const Trabajo &a, const Trabajo &b) { return a.id < b.id; });
        return lista;
    }

private:
    static QString programa(const QString &nombre)
    {
        const QString p = QStandardPaths::findExecutable(nombre);
        return p.isEmpty()
                   ? QStandardPaths::findExecutable(nombre, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                   : p;
    }
    http_t *conectar() const
    {
        return httpConnect2(QFile::encodeName(socket()).constData(), ippPort(), nullptr, AF_UNSPEC,
                            HTTP_ENCRYPTION_NEVER, 1, 30000, nullptr);
    }
    bool responde() const
    {
        if (!QFile::exists(socket()))
            return false;
        http_t *http = conectar();
        if (!http)
            return false;
        httpClose(http);
        return true;
    }
    void admin(const QString &nombre, const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(programa(nombre), args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            ADD_FAILURE() << nombre.toStdString() << " " << args.join(' ').toStdString() << ": "
                          << p.readAll().toStdString();
    }
    void escribir(const QString &nombre, const QString &texto)
    {
        QFile f(m_carpeta + QLatin1Char('/') + nombre);
        if (!f.open(QIODevice::WriteOnly) || f.write(texto.toUtf8()) < 0)
            ADD_FAILURE() << "cannot write " << f.fileName().toStdString();
    }
    QString leer(const QString &nombre) const
    {
        QFile f(m_carpeta + QLatin1Char('/') + nombre);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QString m_carpeta;
    QProcess m_cupsd;
};
