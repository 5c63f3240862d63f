#include "Frm_S_Usuarios.h"

#include "Frm_S_UsuariosAnexo.h"
#include "dbUsuarios.h"
#include "platform/Grid.h"

#include <QPushButton>
#include <QStyle>

Frm_S_Usuarios::Frm_S_Usuarios(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Gestión de Usuarios"), {QStringLiteral("Código"), QStringLiteral("Descripción")},
              QStringLiteral("Tabla de Usuarios"), {Agregar, Eliminar, Imprimir, Buscar});
    setPreguntarImpresion(false);
    // Picture buttons: the caption becomes the tooltip.
    const QStyle::StandardPixmap dibujos[] = {QStyle::SP_FileDialogNewFolder, QStyle::SP_TrashIcon,
                                              QStyle::SP_DialogSaveButton, QStyle::SP_FileDialogContentsView};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = Command(i);
        b->setToolTip(b->text());
        b->setText(QString());
        b->setIcon(style()->standardIcon(dibujos[i]));
        b->setIconSize(QSize(24, 24));
        b->setMinimumWidth(48);
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
