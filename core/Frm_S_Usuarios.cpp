#include "Frm_S_Usuarios.h"

#include "Frm_S_UsuariosAnexo.h"
#include "dbUsuarios.h"
#include "platform/Grid.h"

#include <QPainter>
#include <QPushButton>
#include <QStyle>

namespace {
// The style has no printer picture: a sheet coming out of a printer.
QIcon iconoImpresora()
{
    QPixmap p(24, 24);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(60, 60, 60), 1.2));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(6.5, 2.5, 11, 8));
    g.setBrush(QColor(120, 130, 145));
    g.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 2, 2);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(6.5, 15.5, 11, 6));
    g.setPen(QPen(QColor(80, 80, 80), 1));
    g.drawLine(QPointF(8.5, 18), QPointF(15.5, 18));
    return QIcon(p);
}
} // namespace

Frm_S_Usuarios::Frm_S_Usuarios(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Gestión de Usuarios"), {QStringLiteral("Código"), QStringLiteral("Descripción")},
              QStringLiteral("Tabla de Usuarios"), {Agregar, Eliminar, Imprimir, Buscar});
    setPreguntarImpresion(false);
    // Picture buttons with their caption beside the picture.
    const QIcon dibujos[] = {style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                             style()->standardIcon(QStyle::SP_TrashIcon), iconoImpresora(),
                             style()->standardIcon(QStyle::SP_FileDialogContentsView)};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = Command(i);
        b->setToolTip(b->text());
        b->setIcon(dibujos[i]);
        b->setIconSize(QSize(24, 24));
    }
    grilla()->setColumnWidth(2, 120);
    grilla()->setColumnWidth(3, 260);
    resize(480, 400);
    Usr_LlenarDatos();
}

void Frm_S_Usuarios::Usr_LlenarDatos()
{
    grilla()->setMaxRows(0);
    for (Recordset rs = dbUsuarios::todos(); !rs.eof(); rs.moveNext()) {
        const QString codigo = rs.texto(QStringLiteral("Codigo"));
        if (codigo == QLatin1String("admin"))
            continue;
        agregarFila({codigo, rs.texto(QStringLiteral("Descripcion"))});
    }
}

FrmAnexo *Frm_S_Usuarios::anexo() { return Ventanas::obtener<Frm_S_UsuariosAnexo>(); }

void Frm_S_Usuarios::Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo)
{
    FrmLista::Usr_HabilitaCampos(dlg, modo);
    if (modo == QLatin1String("NEW"))
        for (QWidget *c : dlg->campos())
            c->setEnabled(true);
}
