#include "Mensajes.h"

#include <QDebug>

namespace {
MensajesDePrueba *g_prueba = nullptr;
Presentador g_presentador;

// The answer given when nobody answers: OK, Yes for a question.
int respuestaPorDefecto(const MensajeMostrado &m) { return m.botones() == vb::YesNo ? vb::Yes : vb::OK; }
} // namespace

void instalarPresentador(Presentador p) { g_presentador = std::move(p); }

QString tituloAplicacion() { return QStringLiteral("Gestión de Club de Canchas"); }

MensajesDePrueba::MensajesDePrueba() { g_prueba = this; }
MensajesDePrueba::~MensajesDePrueba()
{
    if (g_prueba == this)
        g_prueba = nullptr;
}

QStringList MensajesDePrueba::textos() const
{
    QStringList l;
    for (const auto &m : m_mostrados)
        l << m.prompt;
    return l;
}

int MensajesDePrueba::mostrar(const MensajeMostrado &m)
{
    m_mostrados.push_back(m);
    if (m_alMostrar)
        m_alMostrar(m);
    if (!m_respuestas.empty()) {
        const int r = m_respuestas.front();
        m_respuestas.erase(m_respuestas.begin());
        return r;
    }
    return respuestaPorDefecto(m);
}

QString MensajesDePrueba::pedirTexto(const MensajeMostrado &m, const QString &porDefecto)
{
    m_mostrados.push_back(m);
    if (m_alMostrar)
        m_alMostrar(m);
    if (!m_textos.empty()) {
        const QString t = m_textos.front();
        m_textos.erase(m_textos.begin());
        return t;
    }
    Q_UNUSED(porDefecto);
    return QString();
}

int MsgBox(const QString &prompt, int estilo, const QString &titulo)
{
    const MensajeMostrado m{prompt, estilo, titulo.isEmpty() ? tituloAplicacion() : titulo};
    if (g_prueba)
        return g_prueba->mostrar(m);
    if (g_presentador.mostrar)
        return g_presentador.mostrar(m);
    qWarning().noquote() << m.titulo + QStringLiteral(": ") + prompt;
    return respuestaPorDefecto(m);
}

QString InputBox(const QString &prompt, const QString &titulo, const QString &porDefecto)
{
    const MensajeMostrado m{prompt, vb::OKCancel, titulo.isEmpty() ? tituloAplicacion() : titulo};
    if (g_prueba)
        return g_prueba->pedirTexto(m, porDefecto);
    if (g_presentador.pedirTexto)
        return g_presentador.pedirTexto(m, porDefecto);
    qWarning().noquote() << m.titulo + QStringLiteral(": ") + prompt;
    return QString();
}
