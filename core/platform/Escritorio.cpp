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

namespace {
EscritorioDePrueba *g_prueba = nullptr;

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

bool Escritorio::abrir(const QString &texto)
{
    const QUrl url = destino(texto);
    if (g_prueba)
        return g_prueba->abrir(url);
    return QDesktopServices::openUrl(url);
}

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
