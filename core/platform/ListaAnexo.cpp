#include "ListaAnexo.h"

#include "db/Conexion.h"
#include "platform/Aperturas.h"
#include "platform/Grid.h"
#include "platform/GridAyudas.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

// ------------------------------------------------------------------ list

FrmLista::FrmLista(QWidget *parent) : Formulario(parent) {}

void FrmLista::construir(const QString &titulo, const QStringList &columnas, const QString &trabajoImpresion,
                         const QList<Accion> &botones)
{
    setWindowTitle(titulo);
    m_trabajoImpresion = trabajoImpresion;

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("vaSpread"));
    m_grid->setMaxCols(columnas.size() + 1);
    for (int i = 0; i < columnas.size(); ++i)
        m_grid->setText(i + 2, 0, columnas[i]);
    m_grid->setColumnButton(1);
    m_grid->setMaxRows(0);
    // The buttons open the dialog, which reads the database as it loads.
    Aperturas::conectar(m_grid, &Grid::buttonClicked, this, [this](int col, int row) {
        if (col == 1 && row >= 1)
            Usr_AbreFila(row);
    });
    // Only the titles sort; the button column has nothing to sort by.
    m_grid->setHeaderSort(Grid::OrdenCabecera::Ascendente, 2);

    auto *filaBotones = new QHBoxLayout;
    filaBotones->addStretch();
    static const char *const captions[] = {"Agregar", "Buscar", "Eliminar", "Imprimir", "Cerrar"};
    for (int i = 0; i < botones.size(); ++i) {
        const Accion a = botones[i];
        auto *b = new QPushButton(QString::fromUtf8(captions[a]), this);
        b->setObjectName(QStringLiteral("Command_%1").arg(i));
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        Aperturas::conectar(b, &QPushButton::clicked, this, [this, a] { ejecutar(a); });
        filaBotones->addWidget(b);
        m_botones << b;
    }

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(m_grid, 1);
    lay->addLayout(filaBotones);
}

void FrmLista::setColumnasBusqueda(int colCodigo, int colDescripcion)
{
    m_colCodigo = colCodigo;
    m_colDescripcion = colDescripcion;
}

QPushButton *FrmLista::Command(int i) const { return m_botones.value(i); }

void FrmLista::agregarFila(const QStringList &celdas) { m_grid->appendRow(celdas, 2); }

void FrmLista::Usr_Busca(const QString &codigo, const QString &descripcion)
{
    Usr_BuscaEnGrid(m_grid, m_colCodigo, m_colDescripcion, codigo, descripcion);
}

void FrmLista::ejecutar(Accion a)
{
    switch (a) {
    case Agregar: accionAgregar(); break;
    case Buscar: accionBuscar(); break;
    case Eliminar: accionEliminar(); break;
    case Imprimir: accionImprimir(); break;
    case Cerrar: descargar(); break;
    }
}

void FrmLista::Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo)
{
    const QList<QWidget *> &c = dlg->campos();
    if (c.size() < 2)
        return;
    if (modo == QLatin1String("BUS")) {
        for (int i = 0; i < c.size(); ++i)
            c[i]->setEnabled(i < 2);
    } else if (modo == QLatin1String("DEL")) {
        c[0]->setEnabled(false);
        c[1]->setEnabled(false);
    } else if (modo == QLatin1String("MOD")) {
        c[0]->setEnabled(false);
        c[1]->setEnabled(true);
    }
}

void FrmLista::mostrarAnexo(FrmAnexo *dlg, const QString &modo)
{
    Usr_HabilitaCampos(dlg, modo);
    Modal::mostrar(dlg);
}

void FrmLista::accionAgregar()
{
    FrmAnexo *dlg = anexo();
    dlg->setLista(this);
    dlg->Tag = QStringLiteral("NEW");
    mostrarAnexo(dlg, dlg->Tag);
}

void FrmLista::accionBuscar()
{
    FrmAnexo *dlg = anexo();
    dlg->setLista(this);
    dlg->Tag = QStringLiteral("BUS");
    mostrarAnexo(dlg, dlg->Tag);
}

void FrmLista::accionEliminar()
{
    // With no data row active there is nothing to delete: the dialog is not
    // opened at all rather than offering an empty row.
    const int fila = m_grid->ActiveRow();
    if (fila < 1 || fila > m_grid->MaxRows())
        return;
    FrmAnexo *dlg = anexo();
    dlg->setLista(this);
    dlg->Tag = QStringLiteral("DEL");
    Usr_CargaAnexo(dlg, fila);
    mostrarAnexo(dlg, dlg->Tag);
}

void FrmLista::Usr_AbreFila(int fila)
{
    FrmAnexo *dlg = anexo();
    dlg->setLista(this);
    dlg->Tag = QStringLiteral("MOD");
    Usr_CargaAnexo(dlg, fila);
    mostrarAnexo(dlg, dlg->Tag);
}

void FrmLista::Usr_CargaAnexo(FrmAnexo *dlg, int fila)
{
    QStringList valores;
    for (int col = 2; col <= m_grid->MaxCols(); ++col)
        valores << m_grid->text(col, fila);
    dlg->Usr_CargaValores(valores);
}

void FrmLista::accionImprimir()
{
    if (m_preguntarImpresion &&
        MsgBox(QStringLiteral("Se imprimirá el listado. ¿Desea continuar?"), vb::YesNo | vb::Question) != vb::Yes)
        return;
    Usr_ImprimirGrilla(m_grid, m_trabajoImpresion);
}

// ------------------------------------------------------------------ dialog

FrmAnexo::FrmAnexo(QWidget *parent) : Dialogo(parent) {}

void FrmAnexo::conectarBotones(QAbstractButton *aceptar, QAbstractButton *cancelar)
{
    Aperturas::conectar(aceptar, &QAbstractButton::clicked, this, &FrmAnexo::Aceptar);
    Aperturas::conectar(cancelar, &QAbstractButton::clicked, this, &FrmAnexo::descargar);
}

QString FrmAnexo::textoCampo(int i) const
{
    QWidget *w = campo(i);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *e = qobject_cast<QPlainTextEdit *>(w))
        return e->toPlainText();
    if (auto *e = qobject_cast<QTextEdit *>(w))
        return e->toPlainText();
    if (auto *e = qobject_cast<QCheckBox *>(w))
        return e->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return {};
}

void FrmAnexo::setTextoCampo(int i, const QString &texto)
{
    QWidget *w = campo(i);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(texto);
    else if (auto *e = qobject_cast<QPlainTextEdit *>(w))
        e->setPlainText(texto);
    else if (auto *e = qobject_cast<QTextEdit *>(w))
        e->setPlainText(texto);
    else if (auto *e = qobject_cast<QCheckBox *>(w))
        e->setChecked(texto.trimmed().toInt() != 0);
}

void FrmAnexo::Usr_CargaValores(const QStringList &valores)
{
    for (int i = 0; i < m_campos.size() && i < valores.size(); ++i)
        setTextoCampo(i, valores[i]);
}

void FrmAnexo::Usr_LimpiaCampos()
{
    for (int i = 0; i < m_campos.size(); ++i)
        setTextoCampo(i, QString());
}

bool FrmAnexo::exigirCampo(int i, const QString &mensaje, int estilo)
{
    if (!textoCampo(i).isEmpty())
        return true;
    MsgBox(mensaje, estilo);
    if (QWidget *w = campo(i))
        w->setFocus();
    return false;
}

bool FrmAnexo::exigirCodigoNuevo(bool existe)
{
    if (!existe)
        return true;
    MsgBox(QStringLiteral("Código existente.\nPor favor, ingrese un Código distinto."), vb::Exclamation);
    if (QWidget *w = campo(0))
        w->setFocus();
    return false;
}

void FrmAnexo::enfocarTrasAgregar()
{
    for (QWidget *w : m_campos)
        if (w->isEnabled()) {
            w->setFocus();
            return;
        }
}

void FrmAnexo::Aceptar()
{
    const QString modo = Tag;
    try {
        if (modo == QLatin1String("BUS")) {
            if (m_lista)
                m_lista->Usr_Busca(textoCampo(0), textoCampo(1));
            descargar();
            return;
        }
        const bool nuevo = modo == QLatin1String("NEW");
        if (nuevo || modo == QLatin1String("MOD")) {
            if (!Usr_ValidaDatos(modo))
                return;
            if (nuevo) {
                insertar();
            } else if (!modificar()) {
                // Said, and the list shows what is left; the dialog has
                // nothing left to edit.
                avisarRegistroEliminado();
                if (m_lista)
                    m_lista->Usr_LlenarDatos();
                descargar();
                return;
            }
        } else if (modo == QLatin1String("DEL")) {
            if (!eliminar())
                return;
        } else {
            return;
        }
        if (m_lista)
            m_lista->Usr_LlenarDatos();
        Usr_LimpiaCampos();
        // After an add the dialog stays open for the next row.
        if (nuevo)
            enfocarTrasAgregar();
        else
            descargar();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), m_iconoError);
    } catch (const std::exception &e) {
        MsgBox(QStringLiteral("Error: 0 - ") + QString::fromLocal8Bit(e.what()), m_iconoError);
    }
}
