#include "Frm_S_ResetBase.h"
#include "ui_Frm_S_ResetBase.h"

#include "InterfazModule.h"
#include "InterfazRespaldo.h"
#include "Module.h"
#include "Respaldo.h"
#include "platform/Aperturas.h"
#include "platform/Mensajes.h"

Frm_S_ResetBase::Frm_S_ResetBase(QWidget *parent) : Dialogo(parent), ui(new Ui::Frm_S_ResetBase)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Aperturas::conectar(ui->cmdReset, &QPushButton::clicked, this, &Frm_S_ResetBase::cmdReset_Click);
}

Frm_S_ResetBase::~Frm_S_ResetBase() = default;

void Frm_S_ResetBase::cmdReset_Click()
{
    // "No" is the default button: Enter alone must not wipe the club's operations.
    if (MsgBox(QStringLiteral("Se eliminarán todas las operaciones. ¿Desea continuar?"),
               vb::YesNo + vb::Question + vb::DefaultButton2) != vb::Yes) {
        descargar();
        return;
    }
    try {
        Transaccion t(*gConexion);
        Respaldo::borrarOperaciones();
        t.commit();
    } catch (const DbError &e) {
        // Nothing was deleted: the statements run all or none.
        MsgBox(e.mensaje(), vb::Critical);
        descargar();
        return;
    }
    CursorEspera(1);
    CompactarBaseEnUso();
    CursorEspera(0);
    MsgBox(QStringLiteral("Datos de operaciones eliminados"), vb::Information);
    descargar();
}
