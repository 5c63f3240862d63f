#include "Escritorio.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {
EscritorioDePrueba *g_prueba = nullptr;
}

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
    return QFileDialog::getSaveFileName(padre, titulo, sugerido, filtro);
}

QString Escritorio::elegirArchivo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro)
{
    if (g_prueba)
        return g_prueba->guardarComo(sugerido);
    return QFileDialog::getOpenFileName(padre, titulo, sugerido, filtro);
}
