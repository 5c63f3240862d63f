#include "Frm_T_Productos.h"

#include "Frm_T_ProductosAnexo.h"
#include "dbProductos.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Grid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kPlaceholder = QStringLiteral("Ingrese su busqueda");
}

Frm_T_Productos::Frm_T_Productos(QWidget *parent) : FrmLista(parent)
{
    construir(QStringLiteral("Productos"),
              {QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Precio Compra"),
               QStringLiteral("Precio Venta"), QStringLiteral("Existencia"), QStringLiteral("Comentarios"),
               QStringLiteral("Activo")},
              QStringLiteral("Productos"));
    Grid *g = grilla();
    g->setColumnWidth(2, 80);
    g->setColumnWidth(3, 240);
    g->setColumnWidth(7, 200);
    g->setColumnWidth(8, 60);
    // The prices are amounts: shown as amounts everywhere.
    g->setColumnFormat(4, Formatos::kImporte);
    g->setColumnFormat(5, Formatos::kImporte);

    // The search box shows its placeholder as text while idle, as the
    // window always did; it is emptied when the box takes the focus.
    m_txtSearch = new QLineEdit(kPlaceholder, this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    m_txtSearch->installEventFilter(this);
    m_cmdSearch = new QPushButton(QStringLiteral("Buscar"), this);
    m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    m_cmdSearch->setAutoDefault(false);
    Aperturas::conectar(m_cmdSearch, &QPushButton::clicked, this, &Frm_T_Productos::buscar);
    auto *fila = new QHBoxLayout;
    fila->addWidget(m_txtSearch, 1);
    fila->addWidget(m_cmdSearch);
    static_cast<QVBoxLayout *>(layout())->insertLayout(0, fila);

    resize(960, 500);
    Usr_LlenarDatos();
}

void Frm_T_Productos::Usr_LlenarDatos() { Usr_LlenarDatos(QString()); }

void Frm_T_Productos::Usr_LlenarDatos(const QString &xCriterio)
{
    grilla()->setMaxRows(0);
    for (Recordset rs = dbProductos::lista(xCriterio); !rs.eof(); rs.moveNext())
        agregarFila({rs.texto("id"), rs.texto("descripcion"), Formatos::importe(rs.campo("precio_compra").numero()),
                     Formatos::importe(rs.campo("precio_venta").numero()), rs.texto("existencia"),
                     rs.texto("comentarios"), rs.texto("activo")});
}

void Frm_T_Productos::buscar()
{
    if (m_txtSearch->text() != kPlaceholder)
        Usr_LlenarDatos(m_txtSearch->text());
}

bool Frm_T_Productos::filtrar(QObject *obj, QEvent *e)
{
    if (obj == m_txtSearch) {
        if (e->type() == QEvent::FocusIn && m_txtSearch->text() == kPlaceholder)
            m_txtSearch->clear();
        else if (e->type() == QEvent::FocusOut && m_txtSearch->text().isEmpty())
            m_txtSearch->setText(kPlaceholder);
        else if (e->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent *>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                buscar();
                return true;
            }
        }
    }
    return FrmLista::filtrar(obj, e);
}

FrmAnexo *Frm_T_Productos::anexo() { return Ventanas::obtener<Frm_T_ProductosAnexo>(); }

void Frm_T_Productos::Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo)
{
    // Boxes: 0 code, 1 description, 2 and 3 prices, 4 stock, 5 comments, 6 active.
    const QList<QWidget *> &c = dlg->campos();
    for (int i = 0; i < c.size(); ++i) {
        bool habilitar = false;
        if (modo == QLatin1String("NEW"))
            habilitar = i != 4;
        else if (modo == QLatin1String("MOD"))
            habilitar = i != 0 && i != 4;
        else if (modo == QLatin1String("BUS"))
            habilitar = i < 2;
        c[i]->setEnabled(habilitar);
    }
}
