#include "Frm_L_InformeGrilla.h"

#include "InterfazModule.h"
#include "platform/Aperturas.h"
#include "platform/Grid.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QDateEdit *nuevoPicker(const QString &nombre, QWidget *parent)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(nombre);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setDate(Reloj::hoy());
    return d;
}

QPushButton *nuevoBoton(const QString &nombre, const QString &texto, QWidget *parent)
{
    auto *b = new QPushButton(texto, parent);
    b->setObjectName(nombre);
    return b;
}

} // namespace

Frm_L_InformeGrilla::Frm_L_InformeGrilla(QWidget *parent) : Formulario(parent) {}

void Frm_L_InformeGrilla::construir(const QString &titulo, const QString &nombreDesde, const QString &nombreHasta,
                                    const QStringList &columnas, std::function<Frm_L_InformeGrillaAnexo *()> anexo)
{
    setWindowTitle(titulo);
    m_anexo = std::move(anexo);
    auto *principal = new QVBoxLayout(this);

    auto *cabecera = new QHBoxLayout;
    auto *consulta = new QVBoxLayout;
    auto *lblVer = new QLabel(QStringLiteral("Consultar"), this);
    m_cmbVer = new QComboBox(this);
    m_cmbVer->setObjectName(QStringLiteral("cmbVer"));
    m_cmbVer->setMinimumWidth(280);
    lblVer->setBuddy(m_cmbVer);
    consulta->addWidget(lblVer);
    consulta->addWidget(m_cmbVer);
    consulta->addStretch();
    cabecera->addLayout(consulta);

    m_frameFechas = new QGroupBox(QStringLiteral("Período"), this);
    m_frameFechas->setObjectName(QStringLiteral("FrameFechas"));
    auto *fechas = new QHBoxLayout(m_frameFechas);
    m_desde = nuevoPicker(nombreDesde, m_frameFechas);
    m_hasta = nuevoPicker(nombreHasta, m_frameFechas);
    auto *lblDesde = new QLabel(QStringLiteral("Fecha desde:"), m_frameFechas);
    auto *lblHasta = new QLabel(QStringLiteral("Fecha hasta:"), m_frameFechas);
    lblDesde->setBuddy(m_desde);
    lblHasta->setBuddy(m_hasta);
    fechas->addWidget(lblDesde);
    fechas->addWidget(m_desde);
    fechas->addSpacing(12);
    fechas->addWidget(lblHasta);
    fechas->addWidget(m_hasta);
    cabecera->addWidget(m_frameFechas);
    cabecera->addStretch();
    auto *actualizar = nuevoBoton(QStringLiteral("cmdActualizar"), QStringLiteral("Actualizar"), this);
    cabecera->addWidget(actualizar, 0, Qt::AlignBottom);
    principal->addLayout(cabecera);

    m_arriba = new QVBoxLayout;
    principal->addLayout(m_arriba);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("vaSpread"));
    m_grid->setMaxCols(columnas.size());
    m_grid->setRowTexts(0, columnas);
    // The first column (code) is never sorted by a click on its title.
    m_grid->setHeaderSort(Grid::OrdenCabecera::Descendente, 2);
    principal->addWidget(m_grid, 1);

    m_abajo = new QVBoxLayout;
    principal->addLayout(m_abajo);

    auto *botones = new QHBoxLayout;
    auto *excel = nuevoBoton(QStringLiteral("toExcel"), QStringLiteral("Exportar"), this);
    excel->setToolTip(QStringLiteral("Exportar a planilla de cálculo"));
    botones->addWidget(excel);
    botones->addStretch();
    m_buscar = nuevoBoton(QStringLiteral("btnBuscar"), QStringLiteral("Buscar"), this);
    m_buscar->setVisible(static_cast<bool>(m_anexo));
    botones->addWidget(m_buscar);
    auto *print = nuevoBoton(QStringLiteral("btnPrint"), QStringLiteral("Imprimir"), this);
    botones->addWidget(print);
    principal->addLayout(botones);

    Aperturas::conectar(m_cmbVer, &QComboBox::currentIndexChanged, this, &Frm_L_InformeGrilla::Usr_SetPeriodo);
    Aperturas::conectar(actualizar, &QPushButton::clicked, this, &Frm_L_InformeGrilla::Usr_LlenaGrilla);
    Aperturas::conectar(print, &QPushButton::clicked, this, &Frm_L_InformeGrilla::imprimir);
    Aperturas::conectar(m_buscar, &QPushButton::clicked, this, &Frm_L_InformeGrilla::buscar);
    Aperturas::conectar(excel, &QPushButton::clicked, this, [this] {
        clsSpread xls;
        xls.exportToExcel(m_grid, true, false, QString());
    });
}

QDate Frm_L_InformeGrilla::desde() const { return m_desde->date(); }

QDate Frm_L_InformeGrilla::hasta() const { return m_hasta->date(); }

void Frm_L_InformeGrilla::Usr_CargaPeriodos(const QList<PeriodosInforme::Preset> &presets, int inicial)
{
    m_presets = presets;
    {
        // Applied once below, with the whole list in place.
        const QSignalBlocker bloqueo(m_cmbVer);
        m_cmbVer->clear();
        for (const auto &p : presets)
            m_cmbVer->addItem(p.texto);
        m_cmbVer->setCurrentIndex(inicial);
    }
    Usr_SetPeriodo();
}

void Frm_L_InformeGrilla::Usr_SetPeriodo()
{
    m_frameFechas->setEnabled(false);
    const int i = m_cmbVer->currentIndex();
    if (i < 0 || i >= m_presets.size())
        return;
    const auto &p = m_presets.at(i);
    if (p.libre()) {
        m_frameFechas->setEnabled(true);
        return;
    }
    const PeriodosInforme::Periodo periodo = p.regla(Reloj::hoy());
    m_desde->setDate(periodo.desde);
    m_hasta->setDate(periodo.hasta);
}

void Frm_L_InformeGrilla::Usr_Ordenar(int col, int row)
{
    if (row != 0 || col == 1 || m_grid->MaxRows() < 1)
        return;
    m_grid->sort(1, m_grid->MaxRows(), {{col, false}});
}

bool Frm_L_InformeGrilla::consultar(const std::function<void()> &consulta)
{
    try {
        consulta();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Exclamation);
        return false;
    }
}

void Frm_L_InformeGrilla::Usr_Busca(const QString &codigo, const QString &descripcion)
{
    Usr_BuscaEnGrid(m_grid, 1, 2, codigo, descripcion);
}

void Frm_L_InformeGrilla::imprimir()
{
    if (Confirmar(QStringLiteral("Se imprimirá la grilla.\n¿Desea continuar?")))
        Usr_ImprimirGrilla(m_grid, windowTitle());
}

void Frm_L_InformeGrilla::buscar()
{
    if (!m_anexo)
        return;
    Frm_L_InformeGrillaAnexo *dlg = m_anexo();
    dlg->setInforme(this);
    Modal::mostrar(dlg);
}

Frm_L_InformeGrillaAnexo::Frm_L_InformeGrillaAnexo(const QString &titulo, QWidget *parent) : Dialogo(parent)
{
    setWindowTitle(titulo);
    auto *principal = new QVBoxLayout(this);
    auto *campos = new QGridLayout;
    m_codigo = new QLineEdit(this);
    m_codigo->setObjectName(QStringLiteral("mskCodigo"));
    m_desc = new QLineEdit(this);
    m_desc->setObjectName(QStringLiteral("mskDesc"));
    m_desc->setMinimumWidth(260);
    auto *lblCodigo = new QLabel(QStringLiteral("Código"), this);
    auto *lblDesc = new QLabel(QStringLiteral("Descripción"), this);
    lblCodigo->setBuddy(m_codigo);
    lblDesc->setBuddy(m_desc);
    campos->addWidget(lblCodigo, 0, 0);
    campos->addWidget(m_codigo, 0, 1);
    campos->addWidget(lblDesc, 1, 0);
    campos->addWidget(m_desc, 1, 1);
    principal->addLayout(campos);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    auto *aceptar = nuevoBoton(QStringLiteral("btnAceptar"), QStringLiteral("Aceptar"), this);
    auto *cancelar = nuevoBoton(QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"), this);
    aceptar->setDefault(true);
    botones->addWidget(aceptar);
    botones->addWidget(cancelar);
    principal->addLayout(botones);

    Aperturas::conectar(aceptar, &QPushButton::clicked, this, [this] {
        if (m_informe)
            m_informe->Usr_Busca(m_codigo->text(), m_desc->text());
        descargar();
    });
    Aperturas::conectar(cancelar, &QPushButton::clicked, this, &Dialogo::descargar);
}
