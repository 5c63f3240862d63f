#include "Mensajes.h"

#include <QDebug>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace {
MensajesDePrueba *g_prueba = nullptr;
Presentador g_presentador;

// The answer given when nobody answers: the default button's.
int respuestaPorDefecto(const MensajeMostrado &m) { return m.respuestas().at(m.botonPorDefecto()); }

constexpr int kBitsConocidos = 0x0f | 0x70 | 0x300;
} // namespace

bool MensajeMostrado::estiloConocido() const
{
    const int b = botones();
    const bool botonesConocidos =
        b == vb::OKOnly || b == vb::OKCancel || b == vb::YesNoCancel || b == vb::YesNo || b == vb::RetryCancel;
    const int icono = this->icono();
    const bool iconoConocido = icono == 0 || icono == vb::Critical || icono == vb::Question ||
                               icono == vb::Exclamation || icono == vb::Information;
    const int defecto = (estilo >> 8) & 3;
    return (estilo & ~kBitsConocidos) == 0 && botonesConocidos && iconoConocido && defecto < 3;
}

std::vector<int> MensajeMostrado::respuestas() const
{
    if (!estiloConocido())
        return {vb::OK};
    switch (botones()) {
    case vb::OKCancel: return {vb::OK, vb::Cancel};
    case vb::YesNoCancel: return {vb::Yes, vb::No, vb::Cancel};
    case vb::YesNo: return {vb::Yes, vb::No};
    case vb::RetryCancel: return {vb::Retry, vb::Cancel};
    default: return {vb::OK};
    }
}

int MensajeMostrado::botonPorDefecto() const
{
    // A default beyond the last button falls on the last one.
    const int pedido = estiloConocido() ? (estilo >> 8) & 3 : 0;
    return std::min(pedido, static_cast<int>(respuestas().size()) - 1);
}

void instalarPresentador(Presentador p) { g_presentador = std::move(p); }

EsperaVisible::EsperaVisible()
{
    if (g_presentador.espera)
        g_presentador.espera(true);
}

EsperaVisible::~EsperaVisible()
{
    if (g_presentador.espera)
        g_presentador.espera(false);
}

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
    if (!m.estiloConocido())
        throw std::invalid_argument("MsgBox: estilo desconocido " + std::to_string(m.estilo));
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

void avisarRegistroEliminado()
{
    MsgBox(QStringLiteral("El registro ya no existe (se eliminó mientras se lo modificaba): los cambios no se "
                          "guardaron."),
           vb::Exclamation);
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
