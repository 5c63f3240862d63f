#include "Asteriscos.h"

#include <QLineEdit>
#include <QProxyStyle>

namespace {
class EstiloAsterisco : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void mostrarAsteriscos(QLineEdit *caja)
{
    caja->setEchoMode(QLineEdit::Password);
    auto *estilo = new EstiloAsterisco;
    estilo->setParent(caja);
    caja->setStyle(estilo);
}
