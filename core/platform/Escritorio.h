#pragma once
// Opening documents, folders and addresses with the program the desktop
// associates with them (the shell's "Open").
#include <QList>
#include <QString>
#include <QUrl>

namespace Escritorio {
// A path (absolute, relative to the working folder, or a Windows path) becomes
// a file URL; a text with a scheme ("https://", "mailto:") is used as it is.
QUrl destino(const QString &texto);
// Opens texto; true when the desktop accepted it.
bool abrir(const QString &texto);
} // namespace Escritorio

// Tests: while alive, nothing is opened; every URL is recorded and answered
// with the result given to responder() (true by default).
class EscritorioDePrueba {
public:
    EscritorioDePrueba();
    ~EscritorioDePrueba();
    EscritorioDePrueba(const EscritorioDePrueba &) = delete;
    EscritorioDePrueba &operator=(const EscritorioDePrueba &) = delete;

    void responder(bool resultado) { m_resultado = resultado; }
    const QList<QUrl> &abiertas() const { return m_abiertas; }

    // Internal: called by Escritorio::abrir.
    bool abrir(const QUrl &url)
    {
        m_abiertas << url;
        return m_resultado;
    }

private:
    QList<QUrl> m_abiertas;
    bool m_resultado = true;
};
