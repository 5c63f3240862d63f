#include "Frm_T_Clientes.h"

#include "Frm_T_ClientesAnexo.h"
#include "dbClientes.h"
#include "platform/Grid.h"

#include <QShowEvent>

Frm_T_Clientes::Frm_T_Clientes(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Clientes"),
              {QStringLiteral("Código"), QStringLiteral("Nombre"), QStringLiteral("Teléfono"),
               QStringLiteral("Dirección"), QStringLiteral("Comentarios")},
              QStringLiteral("Clientes"));
    Grid *g = grilla();
    g->setColumnWidth(2, 70);
    g->setColumnWidth(3, 220);
    g->setColumnWidth(4, 120);
    g->setColumnWidth(5, 200);
    resize(820, 480);
    Usr_LlenarDatos();
}

void Frm_T_Clientes::Usr_LlenarDatos()
{
    grilla()->setMaxRows(0);
    for (Recordset rs = dbClientes::todos(); !rs.eof(); rs.moveNext())
        agregarFila(
            {rs.texto("id"), rs.texto("nombre"), rs.texto("telefono"), rs.texto("direccion"), rs.texto("comentarios")});
}

FrmAnexo *Frm_T_Clientes::anexo() { return Ventanas::obtener<Frm_T_ClientesAnexo>(); }

void Frm_T_Clientes::Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo)
{
    const QList<QWidget *> &c = dlg->campos();
    if (modo == QLatin1String("NEW")) {
        c[0]->setEnabled(false);
        c[1]->setEnabled(true);
    } else if (modo == QLatin1String("DEL")) {
        for (QWidget *w : c)
            w->setEnabled(false);
    } else {
        FrmLista::Usr_HabilitaCampos(dlg, modo);
    }
}

void Frm_T_Clientes::showEvent(QShowEvent *e)
{
    FrmLista::showEvent(e);
    // The first activation runs once the window is on screen and the event
    // loop is back, so an add dialog it opens sits above the shown list.
    if (m_primeraActivacion && !e->spontaneous())
        QMetaObject::invokeMethod(this, &Frm_T_Clientes::primeraActivacion, Qt::QueuedConnection);
}

void Frm_T_Clientes::primeraActivacion()
{
    if (!m_primeraActivacion)
        return;
    m_primeraActivacion = false;
    if (flagIniciaAnexo) {
        flagIniciaAnexo = false;
        accionAgregar();
    }
}
