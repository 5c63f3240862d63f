#include "Frm_L_Reservas.h"
#include "ui_Frm_L_Reservas.h"

#include "ConsultasReserva.h"
#include "Frm_T_ReservaCanchasAnexo.h"
#include "InterfazModule.h"
#include "Module.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QStringBuilder>

Frm_L_Reservas::Frm_L_Reservas(QWidget *parent) : Dialogo(parent), ui(std::make_unique<Ui::Frm_L_Reservas>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_L_Reservas"));

    Grid *g = ui->vaSpread;
    const QStringList titulos = {QStringLiteral("Id"),    QStringLiteral("Cliente"), QStringLiteral("Cancha"),
                                 QStringLiteral("Fecha"), QStringLiteral("Hora"),    QStringLiteral("Anticipo"),
                                 QStringLiteral("Saldo"), QStringLiteral("Estado")};
    g->setMaxCols(static_cast<int>(titulos.size()));
    for (int c = 1; c <= titulos.size(); ++c)
        g->setText(c, 0, titulos.at(c - 1));
    const int anchos[] = {60, 200, 150, 90, 70, 100, 100, 110};
    for (int c = 1; c <= 8; ++c)
        g->setColumnWidth(c, anchos[c - 1]);
    g->setColumnFormat(6, Formatos::kImporte);
    g->setColumnFormat(7, Formatos::kImporte);

    ui->dtpDesde->setDate(Reloj::hoy());
    ui->dtpHasta->setDate(Reloj::hoy());
    Aperturas::conectar(ui->cmdActualiza, &QPushButton::clicked, this, [this] { Usr_BuscaReservas(); });
    Aperturas::conectar(ui->btnPrint, &QPushButton::clicked, this, [this] { btnPrint_Click(); });
    Aperturas::conectar(ui->cmdCerrar, &QPushButton::clicked, this, [this] { descargar(); });
    Aperturas::conectar(ui->cmdReserva, &QPushButton::clicked, this, [this] { cmdReserva_Click(); });
    Aperturas::conectar(g, &Grid::clicked, this, [this](int col, int row) {
        if (col == 0 && row >= 1)
            abrirReserva(row);
    });
    Usr_BuscaReservas();
}

Frm_L_Reservas::~Frm_L_Reservas() = default;

void Frm_L_Reservas::Usr_MostrarAgregar(bool visible) { ui->cmdReserva->setVisible(visible); }

void Frm_L_Reservas::Usr_BuscaReservas()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    QList<ConsultasReserva::FilaListado> filas;
    try {
        filas = ConsultasReserva::listado(ui->optFechaTurno->isChecked(), ui->dtpDesde->date(), ui->dtpHasta->date());
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    g->setMaxRows(static_cast<int>(filas.size()));
    // Each row is written whole from a list of its own, which the grid
    // keeps as it is.
    const QString separador = QStringLiteral(" | ");
    // The rows come by date: one text per day, shared by its rows.
    QDate dia;
    QString textoDia;
    int r = 0;
    for (auto &f : filas) {
        if (f.fecha != dia || r == 0) {
            dia = f.fecha;
            textoDia = Formatos::fecha(dia);
        }
        QStringList textos;
        textos.reserve(8);
        textos.append(QString::number(f.id));
        textos.append(f.clientes_id % separador % f.cliente);
        textos.append(f.canchas_id % separador % f.cancha);
        textos.append(textoDia);
        textos.append(std::move(f.horario));
        textos.append(g->numberText(6, f.anticipo));
        textos.append(g->numberText(7, f.saldo));
        textos.append(std::move(f.estado));
        g->setRowTexts(++r, textos);
    }
}

void Frm_L_Reservas::btnPrint_Click()
{
    if (!Confirmar(QStringLiteral("Se imprimirá el listado por la impresora predeterminada\n¿Desea continuar?")))
        return;
    Usr_ImprimirGrilla(ui->vaSpread, windowTitle());
}

void Frm_L_Reservas::cmdReserva_Click() { Frm_T_ReservaCanchasAnexo::Usr_AbrirReserva(QString()); }

void Frm_L_Reservas::abrirReserva(int fila)
{
    const QString id = ui->vaSpread->text(1, fila);
    if (id.isEmpty())
        return;
    Frm_T_ReservaCanchasAnexo::Usr_AbrirReserva(id);
    Usr_BuscaReservas();
}
