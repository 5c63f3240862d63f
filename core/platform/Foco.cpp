#include "Foco.h"

#include "Formatos.h"
#include "platform/Aperturas.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>

namespace {
class FiltroFoco : public QObject {
public:
    FiltroFoco(QObject *parent, std::function<void()> f) : QObject(parent), m_f(std::move(f)) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        // Leaving a box may read the database (a code looked up).
        if (e->type() == QEvent::FocusOut)
            Aperturas::protegida(m_f);
        return false;
    }

private:
    std::function<void()> m_f;
};

class ValidadorEntero : public QValidator {
public:
    ValidadorEntero(int maximo, QObject *parent) : QValidator(parent), m_maximo(maximo) {}
    State validate(QString &texto, int &) const override
    {
        for (const QChar c : texto)
            if (c < u'0' || c > u'9')
                return Invalid;
        // Leading zeros do not hide a value above the cap.
        const QString cifras = QString(texto).remove(QRegularExpression(QStringLiteral("^0+")));
        if (cifras.size() > 9 || (!cifras.isEmpty() && cifras.toInt() > m_maximo))
            return Invalid;
        return Acceptable;
    }

private:
    int m_maximo;
};
} // namespace

void alPerderFoco(QWidget *w, std::function<void()> f) { w->installEventFilter(new FiltroFoco(w, std::move(f))); }

void soloEntero(QLineEdit *e, int maximo) { e->setValidator(new ValidadorEntero(maximo, e)); }

void cajaImporte(QLineEdit *e)
{
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
        bool ok = false;
        const double v = Formatos::tecleado(e->text(), &ok);
        if (ok && e->text() != Formatos::importe(v))
            e->setText(Formatos::importe(v));
    });
}
