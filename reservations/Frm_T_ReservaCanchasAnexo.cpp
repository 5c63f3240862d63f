#include "Frm_T_ReservaCanchasAnexo.h"
#include "ui_Frm_T_ReservaCanchasAnexo.h"

#include "ConsultasReserva.h"
#include "Frm_T_ReservaCanchas.h"
#include "Module.h"
#include "dbCanchas.h"
#include "dbClientes.h"
#include "dbConfiguraciones.h"
#include "dbHorarios.h"
#include "dbReserva.h"
#include "dbValoresCanchas.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QKeyEvent>
#include <QLocale>
#include <QShowEvent>

namespace {

// Longest weekly series that can be booked at once: ten years.
constexpr int kMaxSemanas = 520;

QString nombreDelDia(const QDate &d) { return QLocale(QLocale::Spanish).dayName(d.dayOfWeek()); }

// An amount box's number as it shows it (in cents); *ok false when its text
// is no number. An empty box reads as 0.
double importeDe(const QLineEdit *caja, bool *ok = nullptr)
{
    const QString t = caja->text().trimmed();
    if (t.isEmpty()) {
        if (ok)
            *ok = true;
        return 0;
    }
    return Formatos::tecleado(t, ok);
}

} // namespace

Frm_T_ReservaCanchasAnexo::Frm_T_ReservaCanchasAnexo(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_T_ReservaCanchasAnexo>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_ReservaCanchasAnexo"));
    for (QLineEdit *e : {ui->fpTotal, ui->fpPago})
        cajaImporte(e);
    soloEntero(ui->fpSemanas, kMaxSemanas);
    ui->fpTotal->setReadOnly(true);

    Usr_CargaCombos();
    Usr_PermisoPrecio();

    ui->dc_canchas->enlazarCaja(ui->mskCancha);
    ui->dc_cliente->enlazarCaja(ui->txtCliente);
    ui->dcEstados->enlazarCaja(ui->txtEstado);
    Aperturas::conectar(ui->dc_canchas, &DataCombo::cambiado, this, [this] { Usr_CalculaPrecio(); });
    Aperturas::conectar(ui->dc_Hora, &DataCombo::cambiado, this, [this] { Usr_CalculaPrecio(); });
    Aperturas::conectar(ui->fpTotal, &QLineEdit::textEdited, this, [this] { Usr_CalculaSaldo(); });
    Aperturas::conectar(ui->fpPago, &QLineEdit::textEdited, this, [this] { Usr_CalculaSaldo(); });
    Aperturas::conectar(ui->optUnaVez, &QRadioButton::toggled, this, [this] { Usr_TipoReserva(); });
    Aperturas::conectar(ui->fpSemanas, &QLineEdit::textChanged, this, [this] { Usr_FechaFin(); });
    Aperturas::conectar(ui->dtpFecha, &QDateEdit::dateChanged, this, [this] { fechaCambiada(); });
    Aperturas::conectar(ui->cmdAcepta, &QPushButton::clicked, this, [this] { cmdAcepta_Click(); });
    Aperturas::conectar(ui->cmdCancel, &QPushButton::clicked, this, [this] { descargar(); });
    Aperturas::conectar(ui->cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });

    // A new booking starts from the agenda's selection; loading the agenda
    // (hidden) when it is not open lets the listing open the editor alone.
    const auto turno = Ventanas::obtener<Frm_T_ReservaCanchas>()->Usr_TurnoSeleccionado();
    ui->dtpFecha->setDate(turno.fecha);
    fechaCambiada();
    ui->dc_Hora->setBoundText(turno.horario);
    ui->dc_canchas->setBoundText(turno.cancha);
    ui->mskCancha->setText(ui->dc_canchas->BoundText());
    ui->dtpFinFecha->setDate(ui->dtpFecha->date());
    Usr_TipoReserva();
    Usr_CalculaPrecio();
}

Frm_T_ReservaCanchasAnexo::~Frm_T_ReservaCanchasAnexo() = default;

void Frm_T_ReservaCanchasAnexo::Usr_AbrirReserva(const QString &id)
{
    auto *ed = Ventanas::obtener<Frm_T_ReservaCanchasAnexo>();
    if (id.isEmpty()) {
        ed->Tag = QStringLiteral("NEW");
    } else {
        // The id stays with the editor also when another station deleted the
        // booking meanwhile: saving then tells so instead of adding a booking
        // that skipped the overlap checks.
        ed->ui->labResId->setText(id);
        ed->setWindowTitle(QStringLiteral("Reservas - Anexo"));
        ed->Tag = QStringLiteral("MOD");
        ed->Usr_BuscaDatos(id);
    }
    Modal::mostrar(ed);
}

void Frm_T_ReservaCanchasAnexo::Usr_CargaCombos()
{
    try {
        ui->dc_cliente->cargar(dbClientes::listaConTelefono, QStringLiteral("nombre"), QStringLiteral("id"));
        ui->dc_canchas->cargar(dbCanchas::lista, QStringLiteral("descripcion"), QStringLiteral("id"));
        ui->dc_Hora->cargar(dbHorarios::todos, QStringLiteral("descripcion"), QStringLiteral("codigo"));
        ui->dcEstados->cargar(ConsultasReserva::estados, QStringLiteral("descripcion"), QStringLiteral("codigo"));
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
}

void Frm_T_ReservaCanchasAnexo::Usr_PermisoPrecio()
{
    try {
        const QString valor = dbConfiguraciones().getValor(QStringLiteral("CAN_MOD_PRECIO_RESERVA"));
        // Never saved (a new club): the price may not be changed, and no
        // error at every booking.
        if (valor.trimmed().isEmpty()) {
            ui->fpTotal->setReadOnly(true);
            return;
        }
        bool ok = false;
        const double n = Formatos::numero(valor, &ok);
        if (!ok)
            throw DbError(13, QStringLiteral("No coinciden los tipos"));
        ui->fpTotal->setReadOnly(n != 1);
    } catch (const DbError &e) {
        MsgBox(QStringLiteral("Error cargando configuraciones: ") + QString::number(e.numero()) +
                   QStringLiteral(" - ") + e.descripcion(),
               vb::Critical);
    }
}

void Frm_T_ReservaCanchasAnexo::Usr_CalculaPrecio()
{
    const QString cancha = ui->dc_canchas->BoundText();
    const QString horario = ui->dc_Hora->BoundText();
    try {
        if (const auto p = dbValoresCanchas::precio(cancha, horario))
            ui->fpTotal->setText(Formatos::importe(*p));
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    Usr_CalculaSaldo();
}

void Frm_T_ReservaCanchasAnexo::Usr_CalculaSaldo()
{
    bool okTotal = false, okPago = false;
    const double total = importeDe(ui->fpTotal, &okTotal);
    const double anticipo = importeDe(ui->fpPago, &okPago);
    if (okTotal && okPago && !ui->fpTotal->text().trimmed().isEmpty())
        ui->fpSaldo->setText(Formatos::importe(ReglasReserva::saldo(total, anticipo)));
    else
        ui->fpSaldo->clear();
}

void Frm_T_ReservaCanchasAnexo::Usr_TipoReserva()
{
    const bool permanente = ui->optPermanente->isChecked();
    if (!permanente)
        ui->fpSemanas->clear();
    ui->lblCantSemanas->setEnabled(permanente);
    ui->fpSemanas->setEnabled(permanente);
}

void Frm_T_ReservaCanchasAnexo::Usr_FechaFin()
{
    ui->dtpFinFecha->setDate(ReglasReserva::fechaFin(ui->dtpFecha->date(), ui->fpSemanas->text().toInt()));
}

void Frm_T_ReservaCanchasAnexo::fechaCambiada()
{
    ui->txtDia->setText(nombreDelDia(ui->dtpFecha->date()));
    // The end of a series follows its start, so the end shown is the date of
    // its last week.
    if (ui->optPermanente->isChecked())
        Usr_FechaFin();
}

void Frm_T_ReservaCanchasAnexo::showEvent(QShowEvent *e)
{
    Dialogo::showEvent(e);
    if (m_primeraActivacion && !e->spontaneous())
        primeraActivacion();
}

void Frm_T_ReservaCanchasAnexo::primeraActivacion()
{
    m_primeraActivacion = false;
    if (Tag == QLatin1String("NEW")) {
        ui->dcEstados->setBoundText(QStringLiteral("RES"));
        ui->txtEstado->setText(QStringLiteral("RES"));
        ui->dcEstados->setEnabled(false);
        ui->txtEstado->setEnabled(false);
        try {
            ui->txtCliente->setText(dbConfiguraciones().getValor(QStringLiteral("DEFAULT_CLIENTE_RESERVAS")));
        } catch (const DbError &e) {
            MsgBox(e.mensaje(), vb::Critical);
        }
        ui->dc_cliente->setBoundText(ui->txtCliente->text().trimmed());
        if (ui->dc_cliente->BoundText().isEmpty())
            ui->txtCliente->clear();
    }
    ui->cmdDel->setVisible(!ui->labResId->text().trimmed().isEmpty());
}

void Frm_T_ReservaCanchasAnexo::Usr_BuscaDatos(const QString &id)
{
    dbReserva r;
    try {
        if (!r.load(id))
            return;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    ui->labResId->setText(r.m_id);
    ui->labFechaHora->setText(r.m_fecha_anticipo);
    ui->dc_canchas->setBoundText(r.m_canchas_id);
    ui->mskCancha->setText(r.m_canchas_id);
    ui->dc_cliente->setBoundText(r.m_clientes_id);
    ui->txtCliente->setText(r.m_clientes_id);
    const QSignalBlocker bloqueo(ui->dtpFecha);
    ui->dtpFecha->setDate(r.fecha());
    ui->txtDia->setText(nombreDelDia(r.fecha()));
    ui->dc_Hora->setBoundText(r.m_horarios_id);
    if (r.esDeSerie()) {
        ui->optPermanente->setChecked(true);
        const QSignalBlocker semanas(ui->fpSemanas);
        ui->fpSemanas->setText(r.m_cantidad_semanas);
        ui->fpSemanas->setEnabled(false);
        ui->labSemanaNro->setText(r.m_semana_numero + QStringLiteral(" /"));
        m_semanaNumero = r.m_semana_numero.toInt();
    } else {
        ui->optUnaVez->setChecked(true);
    }
    ui->frmTipoReserva->setEnabled(false);
    if (!r.m_fecha_reserva_fin.isEmpty())
        ui->dtpFinFecha->setDate(Formatos::leerFecha(r.m_fecha_reserva_fin));
    ui->fpTotal->setText(Formatos::importe(r.m_importe_total.toDouble()));
    ui->fpPago->setText(Formatos::importe(r.m_importe_anticipo.toDouble()));
    ui->fpSaldo->setText(Formatos::importe(r.m_importe_saldo.toDouble()));
    ui->txtEstado->setText(r.m_estado);
    ui->dcEstados->setBoundText(r.m_estado);
    ui->txtComentarios->setText(r.m_comentarios);
    ui->labArqueoAnticipoId->setText(r.m_arqueo_anticipo_id);
    ui->labAqueoSaldoId->setText(r.m_arqueo_saldo_id);
    ui->labUsuario->setText(r.m_t_usuarios_codigo);

    const bool anticipoTomado = !r.m_arqueo_anticipo_id.isEmpty();
    const bool saldoTomado = !r.m_arqueo_saldo_id.isEmpty();
    ui->fpPago->setReadOnly(anticipoTomado);
    ui->cmdDel->setEnabled(!anticipoTomado && !saldoTomado);
    ui->cmdAcepta->setEnabled(!saldoTomado);
}

bool Frm_T_ReservaCanchasAnexo::leerImporte(QLineEdit *caja, const QString &nombre, double *valor)
{
    bool ok = false;
    *valor = importeDe(caja, &ok);
    if (ok && *valor >= 0)
        return true;
    MsgBox(QStringLiteral("El importe de ") + nombre +
               QStringLiteral(" no es válido: escriba un número sin signo, con punto como separador decimal."),
           vb::Exclamation);
    caja->setFocus();
    return false;
}

ReglasReserva::Reserva Frm_T_ReservaCanchasAnexo::reserva() const
{
    ReglasReserva::Reserva r;
    r.id = ui->labResId->text().trimmed();
    r.clientes_id = ui->dc_cliente->BoundText();
    r.canchas_id = ui->dc_canchas->BoundText();
    r.horarios_id = ui->dc_Hora->BoundText();
    // The picker's code: a typed text that names no state is none, also
    // when Enter saves before the box is left.
    r.estado = ui->dcEstados->BoundText();
    r.comentarios = ui->txtComentarios->text();
    r.fecha = ui->dtpFecha->date();
    r.permanente = ui->optPermanente->isChecked();
    r.semanas = ui->fpSemanas->text().toInt();
    r.semana = m_semanaNumero;
    r.total = importeDe(ui->fpTotal);
    r.anticipo = importeDe(ui->fpPago);
    return r;
}

bool Frm_T_ReservaCanchasAnexo::Usr_ControlDatos()
{
    double importe = 0;
    if (!leerImporte(ui->fpTotal, QStringLiteral("TOTAL"), &importe) ||
        !leerImporte(ui->fpPago, QStringLiteral("SEÑA"), &importe))
        return false;
    ReglasReserva::Resultado res;
    try {
        res = ReglasReserva::controlar(reserva(), Tag == QLatin1String("NEW"));
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    if (res.aceptada())
        return true;
    avisarRechazo(res);
    return false;
}

void Frm_T_ReservaCanchasAnexo::avisarRechazo(const ReglasReserva::Resultado &res)
{
    // A slot or week found taken (by another station since the agenda was
    // filled, or chosen here): the agenda shows again who holds what.
    if (res.control == 7 || res.control == 8)
        if (auto *agenda = Ventanas::existente<Frm_T_ReservaCanchas>())
            agenda->Usr_BuscaDatosReservas();
    // Taken by a closing at another station since the editor read it: shown
    // again as it is now, its stamps and what they leave to change.
    if (res.control == 10)
        Usr_BuscaDatos(ui->labResId->text().trimmed());
    if (!res.aviso.isEmpty())
        MsgBox(res.aviso, vb::Information);
    MsgBox(res.mensaje, vb::Exclamation);
    using ReglasReserva::Foco;
    switch (res.foco) {
    case Foco::Cliente: ui->dc_cliente->setFocus(); break;
    case Foco::Horario: ui->dc_Hora->setFocus(); break;
    case Foco::Cancha: ui->dc_canchas->setFocus(); break;
    case Foco::Anticipo: ui->fpPago->setFocus(); break;
    case Foco::Semanas: ui->fpSemanas->setFocus(); break;
    case Foco::Ninguno: break;
    }
}

bool Frm_T_ReservaCanchasAnexo::Usr_GuardaReserva() { return guardar() == Guardado::Hecho; }

Frm_T_ReservaCanchasAnexo::Guardado Frm_T_ReservaCanchasAnexo::guardar()
{
    try {
        Transaccion t(*gConexion);
        ReglasReserva::guardar(reserva(), gUsuarioActual, Reloj::ahora());
        t.commit();
        return Guardado::Hecho;
    } catch (const ReglasReserva::Rechazada &r) {
        avisarRechazo(r.resultado);
        return Guardado::Rechazado;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return Guardado::Fallido;
    }
}

void Frm_T_ReservaCanchasAnexo::cmdAcepta_Click()
{
    if (!Usr_ControlDatos())
        return;
    const Guardado g = guardar();
    // Another station took the slot after the checks: refused as by the
    // checks, the fields kept.
    if (g == Guardado::Rechazado)
        return;
    if (g == Guardado::Fallido)
        MsgBox(QStringLiteral("Se han producido errores."), vb::Exclamation);
    Usr_LimpiaDatos();
    if (auto *agenda = Ventanas::existente<Frm_T_ReservaCanchas>())
        agenda->Usr_BuscaDatosReservas();
    descargar();
}

void Frm_T_ReservaCanchasAnexo::Usr_LimpiaDatos()
{
    ui->dtpFecha->setDate(Reloj::hoy());
    for (DataCombo *c : {ui->dc_cliente, ui->dc_canchas, ui->dc_Hora, ui->dcEstados})
        c->setBoundText(QString());
    for (QLineEdit *e : {ui->txtCliente, ui->mskCancha, ui->txtEstado, ui->fpTotal, ui->fpPago, ui->fpSaldo,
                         ui->fpSemanas, ui->txtComentarios})
        e->clear();
    ui->optUnaVez->setChecked(true);
}

void Frm_T_ReservaCanchasAnexo::cmdDel_Click()
{
    if (MsgBox(QStringLiteral("Se eliminará la reserva.\r\n¿Desea continuar?"), vb::YesNo + vb::Question) != vb::Yes)
        return;
    const QString id = ui->labResId->text().trimmed();
    try {
        // Asked before the transaction: no row is held while the user answers.
        dbReserva r;
        const bool serie =
            r.load(id) && r.esDeSerie() &&
            MsgBox(QStringLiteral("¿Desea eliminar todas las reservas futuras de esta reserva permanente?"),
                   vb::YesNo + vb::Question) == vb::Yes;
        Transaccion t(*gConexion);
        ReglasReserva::borrar(id, serie);
        t.commit();
    } catch (const ReglasReserva::Rechazada &r) {
        // Taken by a closing since it was read: the editor stays, showing it.
        avisarRechazo(r.resultado);
        return;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    if (auto *agenda = Ventanas::existente<Frm_T_ReservaCanchas>())
        agenda->Usr_BuscaDatosReservas();
    descargar();
}
