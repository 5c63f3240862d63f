#pragma once
// Opening documents, folders and addresses with the program the desktop
// associates with them (the shell's "Open").
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace Escritorio {
// A path (absolute, relative to the working folder, or a Windows path) becomes
// a file URL; a text with a scheme ("https://", "mailto:") is used as it is.
QUrl destino(const QString &texto);
// Opens texto with the program the desktop associates with it. siFalla
// (when given) runs when the desktop could not open it: at once when there
// is no opener or it could not start, later, from the event loop, when the
// desktop's opener (xdg-open, a program of its own on Linux) ended in
// failure. The window never waits for that opener; one still running after
// a few seconds runs the opened program itself and counts as a success.
// False when it failed at once.
bool abrir(const QString &texto, std::function<void()> siFalla = {});
// How many openers started by abrir are still awaited.
int abridoresEnCurso();
// The "save as" dialog: the path chosen, "" when cancelled. It is Qt's own
// dialog, which never reads the files it lists (see Escritorio.cpp).
// sugerido is the proposed path or file name, filtro as QFileDialog's
// ("Documentos PDF (*.pdf)").
QString guardarComo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro);
// The "open" dialog for an existing file, answered the same way.
QString elegirArchivo(QWidget *padre, const QString &titulo, const QString &sugerido, const QString &filtro);
} // namespace Escritorio

// Tests: while alive, nothing is opened; every URL is recorded and answered
// with the result given to responder() (true by default). No dialog is shown
// either: each "save as" or "open" is recorded (its proposed path) and answered
// from the paths queued with responderArchivo(), "" (cancelled) when none is left.
class EscritorioDePrueba {
public:
    EscritorioDePrueba();
    ~EscritorioDePrueba();
    EscritorioDePrueba(const EscritorioDePrueba &) = delete;
    EscritorioDePrueba &operator=(const EscritorioDePrueba &) = delete;

    void responder(bool resultado) { m_resultado = resultado; }
    void responderArchivo(const QString &ruta) { m_archivos << ruta; }
    const QList<QUrl> &abiertas() const { return m_abiertas; }
    const QStringList &pedidosArchivo() const { return m_pedidos; }

    // Internal: called by Escritorio::abrir.
    bool abrir(const QUrl &url)
    {
        m_abiertas << url;
        return m_resultado;
    }
    // Internal: called by Escritorio::guardarComo and elegirArchivo.
    QString guardarComo(const QString &sugerido)
    {
        m_pedidos << sugerido;
        return m_archivos.isEmpty() ? QString() : m_archivos.takeFirst();
    }

private:
    QList<QUrl> m_abiertas;
    QStringList m_archivos;
    QStringList m_pedidos;
    bool m_resultado = true;
};
