#include "PresentadorPantalla.h"

#include "InterfazModule.h"
#include "Mensajes.h"

#include <QApplication>
#include <QGridLayout>
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
    // Unknown styles show OK alone (respuestas() says so).
    const std::vector<int> respuestas = m.respuestas();
    std::vector<QPushButton *> botones;
    for (const int r : respuestas) {
        switch (r) {
        case vb::Yes: botones.push_back(box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole)); break;
        case vb::No: botones.push_back(box.addButton(QStringLiteral("&No"), QMessageBox::NoRole)); break;
        case vb::Retry: botones.push_back(box.addButton(QStringLiteral("&Reintentar"), QMessageBox::AcceptRole)); break;
        case vb::Cancel: botones.push_back(box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole)); break;
        default: botones.push_back(box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole)); break;
        }
    }
    // A window manager cuts the title of a box narrower than it ("Gestión
    // d...e Canchas" over a short message): the box takes the title's width
    // in the title bar's bold face, with room for the bar's icon and buttons.
    QFont negrita = box.font();
    negrita.setBold(true);
    const QFontMetrics fm(negrita);
    if (auto *rejilla = qobject_cast<QGridLayout *>(box.layout()))
        rejilla->addItem(new QSpacerItem(fm.horizontalAdvance(m.titulo) + 6 * fm.height(), 0), rejilla->rowCount(), 0,
                         1, rejilla->columnCount());
    box.setDefaultButton(botones[m.botonPorDefecto()]);
    // Escape and the close box answer Cancel when there is one, otherwise
    // the only or the last button.
    box.setEscapeButton(botones.back());
    box.exec();
    for (size_t i = 0; i < botones.size(); ++i)
        if (box.clickedButton() == botones[i])
            return respuestas[i];
    return respuestas.back();
}

QString pedirTexto(const MensajeMostrado &m, const QString &porDefecto)
{
    // The dialog's own buttons would be in the platform's language.
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(m.titulo);
    dlg.setLabelText(m.prompt);
    dlg.setTextValue(porDefecto);
    dlg.setOkButtonText(QStringLiteral("Aceptar"));
    dlg.setCancelButtonText(QStringLiteral("Cancelar"));
    return dlg.exec() == QDialog::Accepted ? dlg.textValue() : QString();
}

} // namespace

void instalarPresentadorPantalla()
{
    instalarPresentador({mostrar, pedirTexto, [](bool si) { CursorEspera(si ? 1 : 0); }});
}
