#include "Escritorio.h"

#include "Formatos.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {
EscritorioDePrueba *g_prueba = nullptr;
int g_enCurso = 0;

// How long the end of the desktop's opener is awaited. Openers of desktop
// environments hand the document over and end at once; without one,
// xdg-open runs the associated program itself and ends with it, so one
// still running by then has opened the document.
constexpr int kEsperaAbridor = 15000;

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// Opens url with xdg-open, started from here rather than by Qt, which
// reports only that it started. Its end is awaited from the event loop;
// siFalla runs when it could not start or ended in failure (exit status 3
// when the machine has no program for the document). False when there is
// no xdg-open.
bool abrirConXdg(const QUrl &url, std::function<void()> siFalla)
{
    const QString abridor = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (abridor.isEmpty())
        return false;
    // Without a parent: the program ending never kills an opener still
    // running the document's program. It deletes itself when it ends.
    auto *p = new QProcess;
    p->setProgram(abridor);
    p->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    p->setStandardInputFile(QProcess::nullDevice());
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    ++g_enCurso;
    auto juzgado = std::make_shared<bool>(false);
    auto juzgar = [juzgado, siFalla = std::move(siFalla)](bool fallo) {
        if (*juzgado)
            return;
        *juzgado = true;
        --g_enCurso;
        if (fallo && siFalla)
            siFalla();
    };
    QObject::connect(p, &QProcess::finished, p, [p, juzgar](int codigo, QProcess::ExitStatus estado) {
        juzgar(estado != QProcess::NormalExit || codigo != 0);
        p->deleteLater();
    });
    QObject::connect(p, &QProcess::errorOccurred, p, [p, juzgar](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        juzgar(true);
        p->deleteLater();
    });
    QTimer::singleShot(kEsperaAbridor, p, [juzgar] { juzgar(false); });
    p->start();
    return true;
}
#endif

// Icons and types of the files a dialog lists, told by their names alone.
// Qt's own provider reads the first bytes of a file whose name it does not
// know, and a program that closes a file drops every lock it holds on it:
// shown the program folder, the dialog took from the database engine its
// lock on the index beside the open database (db_main.mdb-shm). The next
// program to open the database then took the index for abandoned and emptied
// it under this one, which died of SIGBUS at its next read (a backup).
class TiposPorNombre : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? QFileIconProvider::Folder : QFileIconProvider::File);
    }
    QString type(const QFileInfo &info) const override
    {
        // Qt's Spanish translation lacks this one word.
        if (info.isDir())
            return QStringLiteral("Carpeta");
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType tipo = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
        return tipo.comment().isEmpty() ? tipo.name() : tipo.comment();
    }
};

// The dialog's list with the moments of change written as the program writes
// them: Qt writes them in the system's locale ("7 Dec 2026 13:51:08").
class MomentosDelPrograma : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        auto *archivos = qobject_cast<QFileSystemModel *>(sourceModel());
        if (role == Qt::DisplayRole && index.column() == 3 && archivos)
            return Formatos::momento(archivos->lastModified(mapToSource(index)));
        return QIdentityProxyModel::data(index, role);
    }
};

// The program's own file dialog (a desktop's dialog may read the files it
// lists as well), with the name-only provider in place before it lists the
// folder of sugerido.
QString dialogoArchivo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro,
                       QFileDialog::AcceptMode modo)
{
    TiposPorNombre tipos;
    // Built on the root folder: it lists at once, before the provider is set.
    QFileDialog d(padre, titulo, QDir::rootPath(), filtro);
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setIconProvider(&tipos);
    d.setProxyModel(new MomentosDelPrograma(&d));
    d.setAcceptMode(modo);
    d.setFileMode(modo == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QFileInfo propuesto(sugerido);
    // The nearest folder there is on the way to the proposed one: one that
    // is not there (an account without Documents) would leave the dialog in
    // the root folder it was built on.
    QString carpeta = propuesto.absolutePath();
    while (!QFileInfo(carpeta).isDir() && carpeta != QDir::rootPath())
        carpeta = QFileInfo(carpeta).absolutePath();
    d.setDirectory(carpeta);
    d.selectFile(propuesto.fileName());
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().constFirst();
}
} // namespace

EscritorioDePrueba::EscritorioDePrueba() { g_prueba = this; }
EscritorioDePrueba::~EscritorioDePrueba()
{
    if (g_prueba == this)
        g_prueba = nullptr;
}

QUrl Escritorio::destino(const QString &texto)
{
    const QString t = texto.trimmed();
    const QUrl url(t, QUrl::StrictMode);
    // A one-letter scheme is a Windows drive ("C:\..."), not an address.
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(QDir::fromNativeSeparators(t)).absoluteFilePath());
}

bool Escritorio::abrir(const QString &texto, std::function<void()> siFalla)
{
    const QUrl url = destino(texto);
    bool abierto = false;
    if (g_prueba)
        abierto = g_prueba->abrir(url);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    else
        abierto = abrirConXdg(url, siFalla);
#else
    else
        abierto = QDesktopServices::openUrl(url);
#endif
    if (!abierto && siFalla)
        siFalla();
    return abierto;
}

int Escritorio::abridoresEnCurso() { return g_enCurso; }

QString Escritorio::guardarComo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro)
{
    if (g_prueba)
        return g_prueba->guardarComo(sugerido);
    return dialogoArchivo(padre, titulo, sugerido, filtro, QFileDialog::AcceptSave);
}

QString Escritorio::elegirArchivo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro)
{
    if (g_prueba)
        return g_prueba->guardarComo(sugerido);
    return dialogoArchivo(padre, titulo, sugerido, filtro, QFileDialog::AcceptOpen);
}
