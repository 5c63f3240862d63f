#include "Frm_T_Canchas.h"

#include "Frm_T_CanchasAnexo.h"
#include "dbCanchas.h"
#include "platform/Grid.h"

Frm_T_Canchas::Frm_T_Canchas(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Canchas"),
              {QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Cancha Madre")},
              QStringLiteral("Canchas"));
    grilla()->setColumnWidth(2, 80);
    grilla()->setColumnWidth(3, 260);
    resize(560, 420);
    Usr_LlenarDatos();
}

void Frm_T_Canchas::Usr_LlenarDatos()
{
    grilla()->setMaxRows(0);
    for (Recordset rs = dbCanchas::todas(); !rs.eof(); rs.moveNext())
        agregarFila({rs.texto("id"), rs.texto("descripcion"), rs.texto("cancha_madre_id")});
}

FrmAnexo *Frm_T_Canchas::anexo() { return Ventanas::obtener<Frm_T_CanchasAnexo>(); }

void Frm_T_Canchas::Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo)
{
    FrmLista::Usr_HabilitaCampos(dlg, modo);
    if (modo == QLatin1String("BUS"))
        static_cast<Frm_T_CanchasAnexo *>(dlg)->habilitarCanchaMadre(false);
}
