#include "Frm_T_ReservaCanchas.h"
#include "ui_Frm_T_ReservaCanchas.h"

#include "ConsultasReserva.h"
#include "Frm_L_Reservas.h"
#include "Frm_T_Clientes.h"
#include "Frm_T_ReservaCanchasAnexo.h"
#include "Module.h"
#include "dbCanchas.h"
#include "dbHorarios.h"
#include "dbReserva.h"
#include "dbValoresCanchas.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QCalendarWidget>

namespace {
const QStringList kDias = {QStringLiteral("Lunes"),  QStringLiteral("Martes"),  QStringLiteral("Miercoles"),
                           QStringLiteral("Jueves"), QStringLiteral("Viernes"), QStringLiteral("Sabado"),
                           QStringLiteral("Domingo")};
} // namespace

Frm_T_ReservaCanchas::Frm_T_ReservaCanchas(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_T_ReservaCanchas>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_ReservaCanchas"));

    Grid *c = ui->canchaSpread;
    c->setMaxCols(2);
    c->setText(1, 0, QStringLiteral("Código"));
    c->setText(2, 0, QStringLiteral("Descripción"));
    c->setColumnWidth(1, 60);
    c->setRowHeaderVisible(false);

    Grid *g = ui->vaSpread;
    g->setMaxCols(kColLunes + 6);
    g->setText(kColCodigo, 0, QStringLiteral("Horarios"));
    g->setText(kColHorario, 0, QStringLiteral("Horarios"));
    for (int d = 0; d < 7; ++d) {
        g->setText(kColLunes + d, 0, kDias.at(d));
        g->setColumnWidth(kColLunes + d, 108);
    }
    g->setColumnHidden(kColCodigo, true);
    g->setColumnWidth(kColHorario, 70);

    ui->dtpFecha->setLocale(QLocale(QLocale::Spanish, QLocale::Argentina));
    ui->dtpFecha->setSelectedDate(Reloj::hoy());
    ui->txtFecha->setText(Formatos::fecha(Reloj::hoy()));

    Aperturas::conectar(c, &Grid::clicked, this, [this](int, int row) {
        if (row >= 1)
            elegirCancha(row);
    });
    // Clicks and keys alike choose the turn.
    Aperturas::conectar(g, &Grid::activeCellChanged, this, [this](int, int) { Usr_SeleccionaTurno(); });
    Aperturas::conectar(g, &Grid::doubleClicked, this, [this](int col, int row) { vaSpread_DblClick(col, row); });
    Aperturas::conectar(ui->dtpFecha, &QCalendarWidget::clicked, this, [this](QDate d) { elegirFecha(d); });
    Aperturas::conectar(ui->dtpFecha, &QCalendarWidget::activated, this, [this](QDate d) { elegirFecha(d); });
    alPerderFoco(ui->txtFecha, [this] {
        const QDate d = Formatos::leerFecha(ui->txtFecha->text());
        if (d.isValid() && d != ui->dtpFecha->selectedDate())
            elegirFecha(d);
        else
            ui->txtFecha->setText(Formatos::fecha(ui->dtpFecha->selectedDate()));
    });
    Aperturas::conectar(ui->cmdReserva, &QPushButton::clicked, this, [this] { cmdReserva_Click(); });
    Aperturas::conectar(ui->cmdClientes, &QPushButton::clicked, this, [this] { cmdClientes_Click(); });
    Aperturas::conectar(ui->ChameleonBtn1, &QPushButton::clicked, this, [this] { ChameleonBtn1_Click(); });
    Aperturas::conectar(ui->cmdBorrar, &QPushButton::clicked, this, [this] { cmdBorrar_Click(); });

    // The window opens on the first court by code and the current week, also
    // when it is loaded without being shown (the editor opened from the
    // listing reads it).
    Usr_CargaCanchas();
    elegirCancha(1);
}

Frm_T_ReservaCanchas::~Frm_T_ReservaCanchas() = default;

void Frm_T_ReservaCanchas::Usr_CargaCanchas()
{
    Grid *c = ui->canchaSpread;
    c->setMaxRows(0);
    try {
        for (Recordset rs = dbCanchas::porCodigo(); !rs.eof(); rs.moveNext())
            c->appendRow({rs.texto(QStringLiteral("id")), rs.texto(QStringLiteral("descripcion"))});
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
}

QString Frm_T_ReservaCanchas::canchaActual() const
{
    // No court in the list (row 0 would read the column title): no court.
    const Grid *c = ui->canchaSpread;
    return c->ActiveRow() >= 1 ? c->text(1, c->ActiveRow()) : QString();
}

void Frm_T_ReservaCanchas::elegirCancha(int fila)
{
    Grid *c = ui->canchaSpread;
    if (fila >= 1 && fila <= c->MaxRows()) {
        c->selectBlock(1, fila, c->MaxCols(), fila);
        ui->txtCancha->setText(c->text(2, fila));
    } else {
        ui->txtCancha->clear();
    }
    Usr_SeleccionaTurno();
    Usr_BuscaDatosReservas();
}

bool Frm_T_ReservaCanchas::Usr_MuestraSemana(const QString &cancha, const QDate &fecha)
{
    const Grid *c = ui->canchaSpread;
    for (int r = 1; r <= c->MaxRows(); ++r) {
        if (c->text(1, r).compare(cancha, Qt::CaseInsensitive) == 0) {
            ui->dtpFecha->setSelectedDate(fecha);
            ui->txtFecha->setText(Formatos::fecha(fecha));
            elegirCancha(r);
            return true;
        }
    }
    return false;
}

void Frm_T_ReservaCanchas::elegirFecha(const QDate &fecha)
{
    ui->dtpFecha->setSelectedDate(fecha);
    ui->txtFecha->setText(Formatos::fecha(fecha));
    Usr_BuscaDatosReservas();
}

void Frm_T_ReservaCanchas::Usr_ArmaGrilla()
{
    Grid *g = ui->vaSpread;
    const QDate lunes = ConsultasReserva::lunesDe(ui->dtpFecha->selectedDate());
    QList<QStringList> horarios;
    for (Recordset rs = dbHorarios::todos(); !rs.eof(); rs.moveNext())
        horarios.append({rs.texto(QStringLiteral("codigo")), rs.texto(QStringLiteral("descripcion"))});
    // The slots shown already keep their rows, emptied: rows taken out and
    // put back would have the grid laid out anew at every refill.
    bool mismas = g->MaxRows() == kFilaFechas + horarios.size();
    for (int i = 0; mismas && i < horarios.size(); ++i)
        mismas = g->text(kColCodigo, kFilaFechas + 1 + i) == horarios[i][0] &&
                 g->text(kColHorario, kFilaFechas + 1 + i) == horarios[i][1];
    if (mismas) {
        g->clearRange(kColLunes, kFilaFechas, g->MaxCols(), g->MaxRows());
    } else {
        g->setMaxRows(0);
        g->appendRow({QString(), QStringLiteral("FECHA:")});
        for (const QStringList &h : horarios)
            g->appendRow(h);
    }
    PintarFilaSpread(g, kFilaFechas, colorVB(ConsultasReserva::kColorFilaFechas), true);
    for (int d = 0; d < 7; ++d) {
        const QDate dia = lunes.addDays(d);
        g->setText(kColLunes + d, kFilaFechas, Formatos::fecha(dia));
        if (dia == Reloj::hoy())
            SS_ColorCelda(g, kColLunes + d, kFilaFechas, colorVB(ConsultasReserva::kColorHoy));
    }
}

void Frm_T_ReservaCanchas::Usr_BuscaDatosReservas()
{
    Grid *g = ui->vaSpread;
    const int col = g->ActiveCol();
    const int row = g->ActiveRow();
    // Rebuilding moves the active cell; the turn chosen stays as it was.
    const QSignalBlocker bloqueo(g);
    try {
        Usr_ArmaGrilla();
        const QDate lunes = ConsultasReserva::lunesDe(ui->dtpFecha->selectedDate());
        // Slot rows by code, so each booking finds its row at once.
        QHash<QString, int> filas;
        for (int r = kFilaFechas + 1; r <= g->MaxRows(); ++r)
            filas.insert(g->text(kColCodigo, r).toLower(), r);
        for (const auto &t : ConsultasReserva::turnosDeSemana(canchaActual(), lunes)) {
            const int r = filas.value(t.horarios_id.toLower());
            if (r == 0)
                continue;
            const int c = kColLunes + t.fecha.dayOfWeek() - 1;
            const ConsultasReserva::Celda celda = ConsultasReserva::celda(t);
            g->setText(c, r, celda.texto);
            g->setCellData(c, r, t.id);
            SS_ColorCelda(g, c, r, colorVB(celda.color));
        }
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    g->setActiveCell(col, row);
}

qint64 Frm_T_ReservaCanchas::idDeCelda(int col, int row) const
{
    if (col < kColLunes || row <= kFilaFechas)
        return 0;
    return ui->vaSpread->cellData(col, row).toLongLong();
}

Frm_T_ReservaCanchas::Turno Frm_T_ReservaCanchas::Usr_TurnoSeleccionado() const
{
    const Grid *g = ui->vaSpread;
    Turno t;
    t.cancha = canchaActual();
    t.fecha = ui->dtpFecha->selectedDate();
    if (g->ActiveCol() >= kColLunes) {
        const QDate d = Formatos::leerFecha(g->text(g->ActiveCol(), kFilaFechas));
        if (d.isValid())
            t.fecha = d;
    }
    if (g->ActiveRow() > kFilaFechas)
        t.horario = g->text(kColCodigo, g->ActiveRow());
    return t;
}

void Frm_T_ReservaCanchas::Usr_SeleccionaTurno()
{
    const Grid *g = ui->vaSpread;
    QString horario;
    if (g->ActiveRow() > kFilaFechas && g->ActiveCol() >= kColLunes) {
        ui->txtFecha->setText(g->text(g->ActiveCol(), kFilaFechas));
        horario = g->text(kColCodigo, g->ActiveRow());
        ui->txtHora->setText(g->text(kColHorario, g->ActiveRow()));
    }
    double precio = 0;
    try {
        if (!horario.isEmpty())
            precio = dbValoresCanchas::precio(canchaActual(), horario).value_or(0);
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    ui->fpValor->setText(Formatos::importe(precio));
}

void Frm_T_ReservaCanchas::vaSpread_DblClick(int col, int row)
{
    if (col < kColLunes || row <= kFilaFechas)
        return;
    const qint64 id = idDeCelda(col, row);
    Frm_T_ReservaCanchasAnexo::Usr_AbrirReserva(id == 0 ? QString() : QString::number(id));
    ui->cmdReserva->setFocus();
}

void Frm_T_ReservaCanchas::cmdReserva_Click() { Frm_T_ReservaCanchasAnexo::Usr_AbrirReserva(QString()); }

void Frm_T_ReservaCanchas::cmdClientes_Click()
{
    auto *clientes = Ventanas::obtener<Frm_T_Clientes>();
    clientes->flagIniciaAnexo = true;
    Ventanas::showForm(clientes, false);
}

void Frm_T_ReservaCanchas::ChameleonBtn1_Click()
{
    auto *listado = Ventanas::obtener<Frm_L_Reservas>();
    listado->Usr_MostrarAgregar(true);
    Modal::mostrar(listado);
}

void Frm_T_ReservaCanchas::cmdBorrar_Click()
{
    const Grid *g = ui->vaSpread;
    const qint64 id = idDeCelda(g->ActiveCol(), g->ActiveRow());
    if (id == 0)
        return;
    if (MsgBox(QStringLiteral("Se eliminará la reserva seleccionada. ¿Desea continuar?"), vb::YesNo + vb::Question) !=
        vb::Yes)
        return;
    try {
        dbReserva r;
        const QString texto = QString::number(id);
        if (r.load(texto) && r.esDeSerie() &&
            MsgBox(QStringLiteral("Para eliminar todas las reservas fijas futuras presione 'SI', de lo contrario "
                                  "presione 'NO'"),
                   vb::YesNo + vb::Question) == vb::Yes)
            r.del_permanentes(texto);
        else
            r.del(texto);
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    Usr_BuscaDatosReservas();
}
