// Every window of the program, opened at its opening size, shows its texts
// whole: no label, button, check or option box, date box, group title or
// grid column title is cut.
#include "support/Entorno.h"

#include "Frm_L_CierresCaja.h"
#include "Frm_L_ClientesFideliza.h"
#include "Frm_L_EstadisticaTurnos.h"
#include "Frm_L_InformeDeMovCaja.h"
#include "Frm_L_InformeVentas.h"
#include "Frm_L_MovimientosStock.h"
#include "Frm_L_RankingClientes.h"
#include "Frm_L_Reservas.h"
#include "Frm_M_CajaArqueDetalle.h"
#include "Frm_M_CajaArqueo.h"
#include "Frm_M_MovimientosCaja.h"
#include "Frm_M_Stock.h"
#include "Frm_M_StockAnexo.h"
#include "Frm_S_AsignarOpciones.h"
#include "Frm_S_CambioClave.h"
#include "Frm_S_ConfiguraEmail.h"
#include "Frm_S_Configuraciones.h"
#include "Frm_S_Login.h"
#include "Frm_S_ResetBase.h"
#include "Frm_S_Usuarios.h"
#include "Frm_S_UsuariosAnexo.h"
#include "Frm_T_AltaVentas.h"
#include "Frm_T_AltaVentasAnexo.h"
#include "Frm_T_BuscaVentas.h"
#include "Frm_T_Canchas.h"
#include "Frm_T_CanchasAnexo.h"
#include "Frm_T_Clientes.h"
#include "Frm_T_ClientesAnexo.h"
#include "Frm_T_ExistArticulos.h"
#include "Frm_T_ExistArticulosAnexo.h"
#include "Frm_T_Horarios.h"
#include "Frm_T_HorariosAnexo.h"
#include "Frm_T_MovCaja_Conceptos.h"
#include "Frm_T_Productos.h"
#include "Frm_T_ProductosAnexo.h"
#include "Frm_T_ReservaCanchas.h"
#include "Frm_T_ReservaCanchasAnexo.h"
#include "Frm_T_ValoresCanchas.h"
#include "Frm_ViewerReport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

namespace {

// The widest line of a text as drawn, its mnemonic '&' left out.
int ancho(const QFontMetrics &fm, QString texto, bool mnemonico)
{
    if (mnemonico)
        texto.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    int w = 0;
    for (const QString &linea : texto.split(QLatin1Char('\n')))
        w = std::max(w, fm.horizontalAdvance(linea));
    return w;
}

QString nombre(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// Every visible text of w that its widget cuts, as "name 'text' (needs N, has M)".
QStringList cortados(QWidget *ventana)
{
    QStringList l;
    auto cortado = [&](const QWidget *w, const QString &texto, int necesita, int tiene) {
        if (necesita > tiene)
            l << QStringLiteral("%1 '%2' (necesita %3, tiene %4)").arg(nombre(w), texto).arg(necesita).arg(tiene);
    };
    for (QLabel *e : ventana->findChildren<QLabel *>()) {
        if (!e->isVisible() || e->text().isEmpty() || e->wordWrap())
            continue;
        QString texto = e->text();
        if (Qt::mightBeRichText(texto)) {
            QTextDocument d;
            d.setHtml(texto);
            texto = d.toPlainText();
        }
        const int margen = 2 * e->margin() + std::max(e->indent(), 0);
        cortado(e, texto, ancho(e->fontMetrics(), texto, e->buddy() != nullptr) + margen, e->contentsRect().width());
    }
    for (QAbstractButton *b : ventana->findChildren<QAbstractButton *>()) {
        if (!b->isVisible() || b->text().isEmpty())
            continue;
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = b->text();
        QStyle::SubElement contenido;
        if (qobject_cast<QPushButton *>(b))
            contenido = QStyle::SE_PushButtonContents;
        else if (qobject_cast<QCheckBox *>(b))
            contenido = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(b))
            contenido = QStyle::SE_RadioButtonContents;
        else
            continue;
        int espacio = b->style()->subElementRect(contenido, &o, b).width();
        if (contenido == QStyle::SE_PushButtonContents && !b->icon().isNull())
            espacio -= b->iconSize().width() + 4;
        cortado(b, b->text(), ancho(b->fontMetrics(), b->text(), true), espacio);
    }
    for (QDateEdit *d : ventana->findChildren<QDateEdit *>())
        if (d->isVisible())
            cortado(d, d->text(), d->sizeHint().width(), d->width());
    for (QGroupBox *g : ventana->findChildren<QGroupBox *>()) {
        if (!g->isVisible() || g->title().isEmpty())
            continue;
        QStyleOptionGroupBox o;
        o.initFrom(g);
        o.text = g->title();
        o.subControls = QStyle::SC_GroupBoxLabel;
        o.lineWidth = 1;
        const QRect r = g->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
        cortado(g, g->title(), r.right() + 1, g->width());
    }
    for (QHeaderView *h : ventana->findChildren<QHeaderView *>()) {
        if (!h->isVisible() || h->orientation() != Qt::Horizontal || !h->model())
            continue;
        const int margen = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int c = 0; c < h->count(); ++c) {
            if (h->isSectionHidden(c) || h->sectionSize(c) == 0)
                continue;
            const QString texto = h->model()->headerData(c, Qt::Horizontal).toString();
            const QVariant letra = h->model()->headerData(c, Qt::Horizontal, Qt::FontRole);
            const QFontMetrics fm(letra.isValid() ? letra.value<QFont>() : h->font());
            cortado(h->parentWidget() ? h->parentWidget() : h, texto, ancho(fm, texto, false) + margen,
                    h->sectionSize(c));
        }
    }
    return l;
}

class TextosEnterosTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        // The main window's area on a 1366x768 screen.
        area.resize(1366, 660);
        area.show();
        Ventanas::fijarArea(&area);
    }
    void TearDown() override
    {
        Entorno::TearDown();
        Ventanas::fijarArea(nullptr);
    }
    // Opens T as the program does (a child window in the main area, a dialog
    // modally) and gathers what it cuts; a window that refused to open is told.
    template <class T> void revisar()
    {
        const QString clase = QString::fromLatin1(T::staticMetaObject.className());
        T *w = Ventanas::obtener<T>();
        if (Ventanas::descargada(w)) {
            sinAbrir << clase;
            return;
        }
        Ventanas::showForm(w, qobject_cast<QDialog *>(w) != nullptr);
        procesarEventos();
        if (!w->isVisible()) {
            sinAbrir << clase;
            return;
        }
        ++abiertas;
        for (const QString &c : cortados(w))
            faltas << clase + QStringLiteral(": ") + c;
        descargarTodo();
    }
    QMdiArea area;
    QStringList faltas;
    QStringList sinAbrir;
    int abiertas = 0;
};

} // namespace

TEST_F(TextosEnterosTest, CadaVentanaMuestraSusTextosEnteros)
{
    gUsuarioActual = QStringLiteral("ADMIN");
    revisar<Frm_S_Login>();
    revisar<Frm_S_CambioClave>();
    revisar<Frm_S_Usuarios>();
    revisar<Frm_S_UsuariosAnexo>();
    revisar<Frm_S_AsignarOpciones>();
    revisar<Frm_S_Configuraciones>();
    revisar<Frm_S_ConfiguraEmail>();
    revisar<Frm_S_ResetBase>();
    revisar<Frm_ViewerReport>();
    revisar<Frm_T_Clientes>();
    revisar<Frm_T_ClientesAnexo>();
    revisar<Frm_T_Canchas>();
    revisar<Frm_T_CanchasAnexo>();
    revisar<Frm_T_Horarios>();
    revisar<Frm_T_HorariosAnexo>();
    revisar<Frm_T_ValoresCanchas>();
    revisar<Frm_T_ReservaCanchas>();
    revisar<Frm_T_ReservaCanchasAnexo>();
    revisar<Frm_L_Reservas>();
    revisar<Frm_T_Productos>();
    revisar<Frm_T_ProductosAnexo>();
    revisar<Frm_T_AltaVentas>();
    revisar<Frm_T_AltaVentasAnexo>();
    revisar<Frm_T_BuscaVentas>();
    revisar<Frm_M_Stock>();
    revisar<Frm_M_StockAnexo>();
    revisar<Frm_L_MovimientosStock>();
    revisar<Frm_T_ExistArticulos>();
    revisar<Frm_T_ExistArticulosAnexo>();
    revisar<Frm_M_MovimientosCaja>();
    db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                 "VALUES (1, '2024-03-15 08:00:00', 1000, 'ADMIN')");
    revisar<Frm_M_CajaArqueo>();
    revisar<Frm_M_CajaArqueDetalle>();
    revisar<Frm_L_CierresCaja>();
    revisar<Frm_L_InformeDeMovCaja>();
    revisar<Frm_T_MovCaja_Conceptos>();
    revisar<Frm_L_InformeVentas>();
    revisar<Frm_L_EstadisticaTurnos>();
    revisar<Frm_L_RankingClientes>();
    revisar<Frm_L_ClientesFideliza>();
    EXPECT_TRUE(faltas.isEmpty()) << faltas.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sinAbrir.isEmpty()) << sinAbrir.join(QStringLiteral(", ")).toStdString();
    EXPECT_GE(abiertas, 39);
}
