#include "Frm_T_Horarios.h"

#include "Frm_T_HorariosAnexo.h"
#include "dbHorarios.h"
#include "platform/Grid.h"

Frm_T_Horarios::Frm_T_Horarios(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Horarios"), {QStringLiteral("Código"), QStringLiteral("Descripción")},
              QStringLiteral("Horarios"));
    grilla()->setColumnWidth(2, 80);
    resize(540, 420);
    Usr_LlenarDatos();
}

void Frm_T_Horarios::Usr_LlenarDatos()
{
    grilla()->setMaxRows(0);
    for (Recordset rs = dbHorarios::todos(); !rs.eof(); rs.moveNext())
        agregarFila({rs.texto("codigo"), rs.texto("descripcion")});
}

FrmAnexo *Frm_T_Horarios::anexo() { return Ventanas::obtener<Frm_T_HorariosAnexo>(); }
