#include "Frm_T_ExistArticulos.h"
#include "ui_Frm_T_ExistArticulos.h"

#include "Frm_T_ExistArticulosAnexo.h"
#include "InterfazModule.h"
#include "dbStock.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"

namespace {
enum Columna { kCodigo = 1, kDescripcion, kExistencia };
}

Frm_T_ExistArticulos::Frm_T_ExistArticulos(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_T_ExistArticulos>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_ExistArticulos"));
    Grid *g = ui->vaSpread;
    g->setMaxCols(kExistencia);
    g->setRowTexts(0, {QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Existencia")});
    g->setColumnWidth(kCodigo, 100);
    g->setColumnWidth(kDescripcion, 320);
    g->setColumnWidth(kExistencia, 110);
    g->setColumnFormat(kExistencia, Formatos::kImporte);

    Aperturas::conectar(ui->btnBuscar, &QPushButton::clicked, this, [this] {
        auto *dlg = Ventanas::obtener<Frm_T_ExistArticulosAnexo>();
        dlg->setLista(this);
        Modal::mostrar(dlg);
    });
    Aperturas::conectar(ui->btnPrint, &QPushButton::clicked, this, &Frm_T_ExistArticulos::imprimir);
    Aperturas::conectar(ui->cmdActualizar, &QPushButton::clicked, this, &Frm_T_ExistArticulos::Usr_LlenaGrilla);
    Aperturas::conectar(ui->toExcel, &QPushButton::clicked, this,
                        [this] { clsSpread().exportToExcel(ui->vaSpread, true, false, QString()); });

    Usr_LlenaGrilla();
}

Frm_T_ExistArticulos::~Frm_T_ExistArticulos() = default;

Grid *Frm_T_ExistArticulos::grilla() const { return ui->vaSpread; }

void Frm_T_ExistArticulos::Usr_LlenaGrilla()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    for (Recordset rs = dbStock::existencias(); !rs.eof(); rs.moveNext()) {
        const int fila = g->appendRow({rs.texto(QStringLiteral("id")), rs.texto(QStringLiteral("descripcion"))});
        g->setNumber(kExistencia, fila, rs.campo(QStringLiteral("existencia")).numero());
    }
}

void Frm_T_ExistArticulos::Usr_Busca(const QString &codigo, const QString &descripcion)
{
    Usr_BuscaEnGrid(ui->vaSpread, kCodigo, kDescripcion, codigo, descripcion);
}

void Frm_T_ExistArticulos::imprimir()
{
    if (Confirmar(QStringLiteral("Se imprimirá la grilla.\n¿Desea continuar?")))
        Usr_ImprimirGrilla(ui->vaSpread, windowTitle());
}
