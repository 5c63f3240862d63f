// The styles of the message boxes: buttons, default button, unknown styles,
// both in the test seam and in the real dialog.
#include "support/Entorno.h"

#include "platform/PresentadorPantalla.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace {

class MensajesTest : public Entorno {};

TEST_F(MensajesTest, EstilosConSusBotonesYElBotonPorDefecto)
{
    struct Caso {
        int estilo;
        std::vector<int> respuestas;
        int porDefecto;
    };
    const Caso casos[] = {
        {vb::OKOnly, {vb::OK}, vb::OK},
        {vb::YesNoCancel + vb::Question, {vb::Yes, vb::No, vb::Cancel}, vb::Yes},
        {vb::YesNoCancel + vb::DefaultButton2, {vb::Yes, vb::No, vb::Cancel}, vb::No},
        {vb::YesNoCancel + vb::DefaultButton3 + vb::Exclamation, {vb::Yes, vb::No, vb::Cancel}, vb::Cancel},
        {vb::RetryCancel + vb::Critical, {vb::Retry, vb::Cancel}, vb::Retry},
        {vb::RetryCancel + vb::DefaultButton2, {vb::Retry, vb::Cancel}, vb::Cancel},
        {vb::YesNo + vb::DefaultButton2, {vb::Yes, vb::No}, vb::No},
        // A default beyond the last button falls on the last one.
        {vb::OKCancel + vb::DefaultButton3, {vb::OK, vb::Cancel}, vb::Cancel},
    };
    for (const Caso &c : casos) {
        const MensajeMostrado m{"x", c.estilo, "t"};
        EXPECT_TRUE(m.estiloConocido()) << c.estilo;
        EXPECT_EQ(m.respuestas(), c.respuestas) << c.estilo;
        EXPECT_EQ(MsgBox("¿Guardar los cambios?", c.estilo), c.porDefecto) << c.estilo;
    }
    msg->responder(vb::Retry);
    EXPECT_EQ(MsgBox("No se pudo grabar.", vb::RetryCancel), vb::Retry);
}

TEST_F(MensajesTest, EstiloDesconocidoSeRechazaEnPruebasYEsAceptarEnElPrograma)
{
    // Abort/Retry/Ignore, buttons 6, an unknown icon, default button 4 and
    // a stray bit.
    for (const int estilo : {2, 6, 80, vb::YesNo + 768, vb::OKOnly + 4096}) {
        EXPECT_THROW(MsgBox("x", estilo), std::invalid_argument) << estilo;
        const MensajeMostrado m{"x", estilo, "t"};
        EXPECT_FALSE(m.estiloConocido()) << estilo;
        EXPECT_EQ(m.respuestas(), std::vector<int>{vb::OK}) << estilo;
    }
    EXPECT_TRUE(msg->vacio());
}

// The real dialog, answered by pressing its default button.
class PantallaTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        msg.reset();
        instalarPresentadorPantalla();
    }
    void TearDown() override
    {
        instalarPresentador({});
        Entorno::TearDown();
    }
    // Shows the box, records its buttons and presses the default one (or
    // closes it with Escape).
    int mostrar(int estilo, bool escape = false)
    {
        botones.clear();
        QTimer::singleShot(0, [this, escape] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton *b : box->buttons())
                botones << b->text();
            porDefecto = box->defaultButton() ? box->defaultButton()->text() : QString();
            QFont negrita = box->font();
            negrita.setBold(true);
            const QFontMetrics fm(negrita);
            anchoTitulo = fm.horizontalAdvance(box->windowTitle()) + 6 * fm.height();
            ancho = box->width();
            if (escape)
                box->reject();
            else
                box->defaultButton()->click();
        });
        return MsgBox("¿Seguro?", estilo);
    }
    QStringList botones;
    QString porDefecto;
    int ancho = 0;
    int anchoTitulo = 0;
};

TEST_F(PantallaTest, BotonesYBotonPorDefectoEnElDialogo)
{
    EXPECT_EQ(mostrar(vb::YesNoCancel + vb::DefaultButton2), vb::No);
    EXPECT_EQ(botones.size(), 3);
    EXPECT_TRUE(botones.contains("&Sí") && botones.contains("&No") && botones.contains("Cancelar"));
    EXPECT_EQ(porDefecto, "&No");

    EXPECT_EQ(mostrar(vb::RetryCancel), vb::Retry);
    EXPECT_EQ(porDefecto, "&Reintentar");
    EXPECT_EQ(mostrar(vb::RetryCancel, true), vb::Cancel);

    // An unknown style is a box with OK alone.
    EXPECT_EQ(mostrar(vb::YesNo + 4096), vb::OK);
    EXPECT_EQ(botones, QStringList{"Aceptar"});
    // However short the message and few the buttons, the box is wide enough
    // for its title in the title bar, beside the bar's icon and buttons.
    EXPECT_GE(ancho, anchoTitulo);
}

TEST_F(PantallaTest, PedidoDeTextoEnCastellano)
{
    QStringList textos;
    QTimer::singleShot(0, [&textos] {
        auto *dlg = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        textos << dlg->windowTitle() << dlg->labelText();
        for (QAbstractButton *b : dlg->findChildren<QAbstractButton *>())
            textos << b->text();
        dlg->setTextValue("roto");
        dlg->accept();
    });
    EXPECT_EQ(InputBox("Describa el motivo", "Anular Factura"), "roto");
    textos.sort();
    EXPECT_EQ(textos, (QStringList{"Aceptar", "Anular Factura", "Cancelar", "Describa el motivo"}));
}

} // namespace
