#include "Frm_M_MovimientosCaja.h"
#include "ui_Frm_M_MovimientosCaja.h"

#include "Module.h"
#include "dbConceptosCaja.h"
#include "dbUsuarios.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

int Frm_M_MovimientosCaja::xoPera = 0;

void Frm_M_MovimientosCaja::abrir(int operacion)
{
    static const char *const captions[] = {"Apertura de Caja", "Ingreso de caja", "Extracción de caja"};
    xoPera = operacion;
    auto *w = Ventanas::obtener<Frm_M_MovimientosCaja>();
    w->setWindowTitle(QString::fromUtf8(captions[operacion]));
    Ventanas::showForm(w, true);
}

Frm_M_MovimientosCaja::Frm_M_MovimientosCaja(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_M_MovimientosCaja>()), m_operacion(xoPera)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_M_MovimientosCaja"));
    cajaImporte(ui->MaskEd_0);
    ui->DBCombo_3->enlazarCaja(ui->MaskEd_3);
    ui->DBCombo_18->enlazarCaja(ui->MaskEd_18);
    Aperturas::conectar(ui->Command_2, &QPushButton::clicked, this, [this] {
        if (Usr_ValidaDatos())
            Usr_GuardaMovimiento();
    });

    Usr_LimpiaPantalla();
    Usr_CargaCombos();
    ui->DBCombo_3->setBoundText(gUsuarioActual);
    ui->MaskEd_3->setText(ui->DBCombo_3->BoundText().isEmpty() ? gUsuarioActual : ui->DBCombo_3->BoundText());
    static const char *const tipos[] = {"INI", "ING", "EGR"};
    m_mov_tipo = QString::fromLatin1(tipos[m_operacion]);
    if (m_operacion == 0) {
        ui->MaskEd_18->setText(QStringLiteral("INI"));
        ui->DBCombo_18->setBoundText(QStringLiteral("INI"));
        ui->MaskEd_18->setEnabled(false);
        ui->DBCombo_18->setEnabled(false);
    }
}

Frm_M_MovimientosCaja::~Frm_M_MovimientosCaja() = default;

void Frm_M_MovimientosCaja::Usr_LimpiaPantalla()
{
    ui->MaskEd_3->clear();
    ui->DBCombo_3->setBoundText(QString());
    ui->MaskEd_0->setText(Formatos::importe(0));
}

void Frm_M_MovimientosCaja::Usr_CargaCombos()
{
    ui->DBCombo_3->cargar([] { return dbUsuarios::porDescripcion(QStringLiteral("ADMSYS")); },
                          QStringLiteral("Descripcion"), QStringLiteral("Codigo"));
    ui->DBCombo_18->cargar(&dbConceptosCaja::deUsuario, QStringLiteral("descripcion"), QStringLiteral("id"));
    // Only admin works on another user's register.
    const bool admin = gUsuarioActual == QLatin1String("admin");
    ui->MaskEd_3->setEnabled(admin);
    ui->DBCombo_3->setEnabled(admin);
}

bool Frm_M_MovimientosCaja::Usr_TieneCajaAbierta(const QString &usuario)
{
    return !db_caja_cabeza().getCajaAbiertaFromUsuario(usuario).isEmpty();
}

bool Frm_M_MovimientosCaja::Usr_ValidaDatos()
{
    // The register's user: one of the picker's, or the current user (admin
    // works on an own register without being a listed user). An unknown code
    // typed by admin is emptied when the box is left.
    const QString usuario = ui->MaskEd_3->text().trimmed();
    if (usuario.isEmpty() || (usuario != gUsuarioActual && ui->DBCombo_3->BoundText().isEmpty())) {
        MsgBox(usuario.isEmpty() ? QStringLiteral("Debe indicar el usuario de la caja.")
                                 : QStringLiteral("El usuario '%1' no existe.").arg(usuario),
               vb::Exclamation);
        ui->MaskEd_3->setFocus();
        return false;
    }
    bool ok = true;
    if (ui->MaskEd_18->isEnabled() && ui->MaskEd_18->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe indicar un concepto / motivo del movimiento."), vb::Exclamation);
        ui->MaskEd_18->setFocus();
        ok = false;
    }
    if (gConexion->openRecordset(QStringLiteral("SELECT id FROM t_numeradores WHERE id = 'CJA'")).eof()) {
        MsgBox(QStringLiteral("No se encuentra el numerador para CJA en t_numeradores "), vb::Critical);
        ok = false;
    }
    return ok;
}

bool Frm_M_MovimientosCaja::importeValido(double *monto)
{
    bool ok = false;
    *monto = Formatos::tecleado(ui->MaskEd_0->text(), &ok);
    if (ok)
        return true;
    MsgBox(QStringLiteral("El importe no es un número válido."), vb::Exclamation);
    ui->MaskEd_0->setFocus();
    return false;
}

void Frm_M_MovimientosCaja::Usr_GuardaMovimiento()
{
    const QString usuario = ui->MaskEd_3->text().trimmed();
    bool hecho = false;
    QString aviso;
    switch (m_operacion) {
    case 0:
        hecho = Usr_AperturaCaja();
        aviso = QStringLiteral("La Apertura de Caja para '%1' ha sido registrada.");
        break;
    case 1:
        hecho = Usr_MovimientoCaja(1);
        aviso = QStringLiteral("El ingreso de caja de '%1' ha sido registrado.");
        break;
    default:
        hecho = Usr_MovimientoCaja(-1);
        aviso = QStringLiteral("La extracción de caja de '%1' ha sido registrada.");
        break;
    }
    if (!hecho)
        return;
    MsgBox(aviso.arg(usuario), vb::Information);
    descargar();
}

bool Frm_M_MovimientosCaja::Usr_AperturaCaja()
{
    const QString usuario = ui->MaskEd_3->text().trimmed();
    const auto yaAbierta = [&] {
        MsgBox(QStringLiteral("El usuario '%1' posee una caja Iniciada.\r\nDebe cerrar esta caja, antes de iniciar "
                              "una nueva.")
                   .arg(usuario),
               vb::Exclamation);
        return false;
    };
    if (Usr_TieneCajaAbierta(usuario))
        return yaAbierta();
    double monto = 0;
    if (!importeValido(&monto))
        return false;
    bool abierta = false;
    try {
        Transaccion t(*gConexion);
        db_caja_cabeza cab;
        cab.m_id = QString::number(ProximoNumero(QStringLiteral("CJA")));
        cab.m_comentarios = ui->txtObserv->toPlainText();
        cab.m_fecha_hora_apertura = Reloj::ahora();
        cab.m_importe_inicial = monto;
        cab.m_t_usuarios_codigo = usuario;
        // Opened meanwhile at another station: refused as above, once the
        // transaction has ended (the message holds no row while it waits).
        abierta = !cab.abrir();
        if (!abierta) {
            db_caja_movimientos mov;
            mov.m_caja_cabeza_id = cab.m_id;
            mov.m_caja_conceptos_id = QStringLiteral("INI");
            mov.m_caja_conceptos_descripcion = dbConceptosCaja::descripcion(QStringLiteral("INI"));
            mov.m_comentarios = cab.m_comentarios;
            mov.m_fecha_hora = cab.m_fecha_hora_apertura;
            mov.m_importe = monto;
            mov.m_t_usuarios_codigo = usuario;
            mov.m_mov_tipo = m_mov_tipo;
            mov.create();
            t.commit();
        }
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    return abierta ? yaAbierta() : true;
}

bool Frm_M_MovimientosCaja::Usr_MovimientoCaja(double signo)
{
    const QString usuario = ui->MaskEd_3->text().trimmed();
    const auto sinCaja = [&] {
        MsgBox(QStringLiteral("El usuario '%1' no posee una caja iniciada.").arg(usuario), vb::Exclamation);
        return false;
    };
    try {
        if (!Usr_TieneCajaAbierta(usuario))
            return sinCaja();
        double monto = 0;
        if (!importeValido(&monto))
            return false;
        if (monto <= 0) {
            MsgBox(QStringLiteral("Ingrese un valor mayor a cero."), vb::Exclamation);
            return false;
        }
        db_caja_movimientos mov;
        mov.m_caja_conceptos_id = ui->MaskEd_18->text().trimmed();
        mov.m_caja_conceptos_descripcion = ui->DBCombo_18->Text();
        mov.m_comentarios = ui->txtObserv->toPlainText();
        mov.m_fecha_hora = Reloj::ahora();
        mov.m_importe = signo * monto;
        mov.m_t_usuarios_codigo = usuario;
        mov.m_mov_tipo = m_mov_tipo;
        // Closed at another station since the check above: told as a user
        // without a register.
        if (!mov.registrar())
            return sinCaja();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
}
