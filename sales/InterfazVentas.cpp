#include "InterfazVentas.h"

#include "platform/DataCombo.h"
#include "platform/Foco.h"

#include <QLineEdit>
#include <QPointer>

namespace InterfazVentas {

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

} // namespace InterfazVentas
