#include "EnlacesVenta.h"

#include "platform/DataCombo.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"

#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>

namespace EnlacesVenta {

void enlazarCliente(QLineEdit *caja, DataCombo *combo)
{
    combo->cargar(QStringLiteral("SELECT id, nombre FROM clientes ORDER BY id"), QStringLiteral("nombre"),
                  QStringLiteral("id"));
    // Guarded: the focus may leave the box while its window is destroyed.
    QPointer<QLineEdit> c = caja;
    QPointer<DataCombo> d = combo;
    QObject::connect(combo, &DataCombo::cambiado, caja, [c, d] {
        if (c && d)
            c->setText(d->BoundText());
    });
    alPerderFoco(caja, [c, d] {
        if (!c || !d)
            return;
        d->setBoundText(c->text().trimmed());
        c->setText(d->BoundText());
    });
}

double leerImporte(const QString &texto, bool *ok)
{
    static const QRegularExpression agrupado(QStringLiteral("^-?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    QString t = texto.trimmed();
    if (agrupado.match(t).hasMatch())
        t.remove(QLatin1Char(','));
    return Formatos::numero(t, ok);
}

} // namespace EnlacesVenta
