#include "PresentadorPantalla.h"

#include "Mensajes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

int mostrar(const MensajeMostrado &m)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.titulo);
    box.setText(m.prompt);
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

QString pedirTexto(const MensajeMostrado &m, const QString &porDefecto)
{
    bool ok = false;
    const QString t =
        QInputDialog::getText(QApplication::activeWindow(), m.titulo, m.prompt, QLineEdit::Normal, porDefecto, &ok);
    return ok ? t : QString();
}

} // namespace

void instalarPresentadorPantalla() { instalarPresentador({mostrar, pedirTexto}); }
