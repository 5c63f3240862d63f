#include "Mensajes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
MensajesDePrueba *g_prueba = nullptr;
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
    m_mostrados.push_back(m);
    if (m_alMostrar)
        m_alMostrar(m);
    if (!m_respuestas.empty()) {
        const int r = m_respuestas.front();
        m_respuestas.erase(m_respuestas.begin());
        return r;
    }
    return m.botones() == vb::YesNo ? vb::Yes : vb::OK;
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
    MensajeMostrado m{prompt, estilo, titulo.isEmpty() ? tituloAplicacion() : titulo};
    if (g_prueba)
        return g_prueba->mostrar(m);

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.titulo);
    box.setText(prompt);
    switch (m.icono()) {
    case vb::Critical: box.setIcon(QMessageBox::Critical); break;
    case vb::Question: box.setIcon(QMessageBox::Question); break;
    case vb::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case vb::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (m.botones()) {
    case vb::YesNo: {
        QPushButton *si = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(si);
        box.exec();
        return box.clickedButton() == si ? vb::Yes : vb::No;
    }
    case vb::OKCancel: {
        QPushButton *ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.exec();
        return box.clickedButton() == ok ? vb::OK : vb::Cancel;
    }
    default:
        box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        box.exec();
        return vb::OK;
    }
}

QString InputBox(const QString &prompt, const QString &titulo, const QString &porDefecto)
{
    MensajeMostrado m{prompt, vb::OKCancel, titulo.isEmpty() ? tituloAplicacion() : titulo};
    if (g_prueba)
        return g_prueba->pedirTexto(m, porDefecto);
    bool ok = false;
    const QString t =
        QInputDialog::getText(QApplication::activeWindow(), m.titulo, prompt, QLineEdit::Normal, porDefecto, &ok);
    return ok ? t : QString();
}
