#include "Frm_M_CajaArqueo.h"
#include "ui_Frm_M_CajaArqueo.h"

#include "Frm_M_CajaArqueDetalle.h"
#include "InterfazCaja.h"
#include "Module.h"
#include "dbArqueo.h"
#include "dbConceptosCaja.h"
#include "dbUsuarios.h"
#include "db_caja_cabeza.h"
#include "db_caja_movimientos.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <cmath>

namespace {
enum Columna { kCodigo = 1, kConcepto, kImporte, kObservaciones };

// Amounts compared in whole cents, as they are shown.
qint64 centavos(double v) { return std::llround(v * 100.0); }
} // namespace

Frm_M_CajaArqueo::Frm_M_CajaArqueo(QWidget *parent) : Dialogo(parent), ui(std::make_unique<Ui::Frm_M_CajaArqueo>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_M_CajaArqueo"));
    for (Grid *g : {ui->vasCaja, ui->vaSpread}) {
        g->setMaxCols(g == ui->vasCaja ? kObservaciones : kImporte);
        g->setRowTexts(0, {QStringLiteral("Código"), QStringLiteral("Concepto"), QStringLiteral("Importe"),
                           QStringLiteral("Observaciones")});
        g->setColumnWidth(kCodigo, 60);
        g->setColumnWidth(kConcepto, 200);
        g->setColumnWidth(kImporte, 100);
        g->setColumnFormat(kImporte, Formatos::kImporte);
    }
    ui->vasCaja->setColumnWidth(kObservaciones, 160);

    ui->DBCombo_0->cargar([] { return dbUsuarios::porDescripcion(); }, QStringLiteral("Descripcion"),
                          QStringLiteral("Codigo"));
    ui->DBCombo_0->enlazarCaja(ui->MaskEd_0);
    const bool admin = gUsuarioActual == QLatin1String("admin");
    ui->MaskEd_0->setEnabled(admin);
    ui->DBCombo_0->setEnabled(admin);
    ui->dtpFecha->setDate(Reloj::hoy());
    ui->MaskEd_0->setText(gUsuarioActual);
    ui->DBCombo_0->setBoundText(gUsuarioActual);

    cajaImporte(ui->fpImpReal);
    Aperturas::conectar(ui->fpImpReal, &QLineEdit::textChanged, this, &Frm_M_CajaArqueo::Usr_Descuadre);
    Aperturas::conectar(ui->Command_4, &QPushButton::clicked, this, &Frm_M_CajaArqueo::Usr_LimpiaPantalla);
    Aperturas::conectar(ui->Command_7, &QPushButton::clicked, this, [this] {
        ui->DBCombo_0->tomarCaja();
        Usr_CargaArqueo();
        ui->Command_9->setEnabled(true);
    });
    Aperturas::conectar(ui->Command_9, &QPushButton::clicked, this, &Frm_M_CajaArqueo::guardar);
    Aperturas::conectar(ui->cmdDetalleCaja, &QPushButton::clicked, this, [this] { detalle(2); });
    Aperturas::conectar(ui->cmdDetalleTurnosVentas, &QPushButton::clicked, this, [this] { detalle(1); });
    for (QPushButton *b : {ui->Command_4, ui->Command_7, ui->Command_9, ui->cmdDetalleCaja, ui->cmdDetalleTurnosVentas})
        b->setAutoDefault(false);

    Usr_CargaArqueo();
    m_cargando = false;
}

Frm_M_CajaArqueo::~Frm_M_CajaArqueo() = default;

QString Frm_M_CajaArqueo::cajaId() const { return ui->labCajaId->text(); }
QString Frm_M_CajaArqueo::usuario() const { return ui->MaskEd_0->text().trimmed(); }

double Frm_M_CajaArqueo::importeReal(bool *ok) const { return Formatos::tecleado(ui->fpImpReal->text(), ok); }

void Frm_M_CajaArqueo::agregarFila(Grid *g, const QString &codigo, double importe)
{
    const int fila = g->appendRow({codigo, dbConceptosCaja::descripcion(codigo)});
    g->setNumber(kImporte, fila, importe);
}

void Frm_M_CajaArqueo::Usr_CargaArqueo()
{
    const QString user = usuario();
    ui->labCajaId->setText(db_caja_cabeza().getCajaAbiertaId(user));
    if (cajaId().isEmpty()) {
        MsgBox(QStringLiteral("El usuario: %1 no posee una caja abierta.").arg(user), vb::Information);
        // Only admin may go on and choose another user.
        if (gUsuarioActual != QLatin1String("admin"))
            descargar();
        return;
    }
    const dbArqueo::Operaciones op = dbArqueo::operaciones(user);
    ui->vaSpread->setMaxRows(0);
    agregarFila(ui->vaSpread, QStringLiteral("RES"), op.anticipos);
    agregarFila(ui->vaSpread, QStringLiteral("TUR"), op.turnos);
    agregarFila(ui->vaSpread, QStringLiteral("VEN"), op.ventas);
    db_caja_movimientos mov;
    ui->vasCaja->setMaxRows(0);
    agregarFila(ui->vasCaja, QStringLiteral("INI"), mov.getMovimientoByConcepto(QStringLiteral("INI"), cajaId()));
    agregarFila(ui->vasCaja, QStringLiteral("ING"), mov.getMovimientoByMovTipo(QStringLiteral("ING"), cajaId()));
    agregarFila(ui->vasCaja, QStringLiteral("EGR"), mov.getMovimientoByMovTipo(QStringLiteral("EGR"), cajaId()));
    Usr_Totales();
    ui->Command_9->setEnabled(true);
}

void Frm_M_CajaArqueo::Usr_Totales()
{
    double operaciones = 0, movimientos = 0;
    for (int r = 1; r <= ui->vaSpread->MaxRows(); ++r)
        operaciones += ui->vaSpread->number(kImporte, r);
    for (int r = 1; r <= ui->vasCaja->MaxRows(); ++r)
        movimientos += ui->vasCaja->number(kImporte, r);
    ui->labTotalTurnosVentas->setText(Formatos::importe(operaciones));
    ui->labTotalMovCaja->setText(Formatos::importe(movimientos));
    const double teorico = Formatos::leer(ui->labTotalMovCaja->text(), Formatos::kImporte) +
                           Formatos::leer(ui->labTotalTurnosVentas->text(), Formatos::kImporte);
    ui->fpImpTeorico->setText(Formatos::importe(teorico));
    ui->fpImpReal->setText(Formatos::importe(teorico));
}

void Frm_M_CajaArqueo::Usr_Descuadre()
{
    const double real = importeReal();
    const double teorico = Formatos::leer(ui->fpImpTeorico->text(), Formatos::kImporte);
    const qint64 diferencia = centavos(real) - centavos(teorico);
    ui->fpDescuadre->setText(Formatos::importe(diferencia / 100.0));
    QPalette p = ui->fpDescuadre->palette();
    p.setColor(QPalette::Text, diferencia != 0 ? colorVB(255) : colorVB(0));
    ui->fpDescuadre->setPalette(p);
}

void Frm_M_CajaArqueo::Usr_LimpiaPantalla()
{
    ui->dtpFecha->setDate(Reloj::hoy());
    ui->vaSpread->setMaxRows(0);
    ui->vasCaja->setMaxRows(0);
    ui->MaskEd_0->clear();
    ui->DBCombo_0->setBoundText(QString());
    ui->labCajaId->clear();
    Usr_Totales();
}

bool Frm_M_CajaArqueo::Usr_ValidaCierre()
{
    if (cajaId().isEmpty()) {
        MsgBox(QStringLiteral("El usuario: %1 no posee una caja abierta.").arg(usuario()), vb::Information);
        return false;
    }
    // The closing stamps the operations of the user in the box: the register
    // shown must be that user's open one (the user may have been changed
    // without "Actualizar").
    if (db_caja_cabeza().getCajaAbiertaFromUsuario(usuario()) != cajaId()) {
        MsgBox(QStringLiteral("La caja nº: %1 no es la caja abierta del usuario: %2. Presione \"Actualizar\" para "
                              "ver la caja de ese usuario.")
                   .arg(cajaId(), usuario()),
               vb::Exclamation);
        return false;
    }
    bool ok = false;
    const double real = importeReal(&ok);
    if (!ok) {
        MsgBox(QStringLiteral("El importe no es un número válido."), vb::Exclamation);
        ui->fpImpReal->setFocus();
        return false;
    }
    if (real <= 0) {
        MsgBox(QStringLiteral("Debe ingresar un valor mayor a cero."), vb::Exclamation);
        ui->fpImpReal->setFocus();
        return false;
    }
    if (dbArqueo::hayReservasPendientes(Reloj::ahora())) {
        MsgBox(QStringLiteral("Existen reservas anteriores a este cierre que no estan COBRADAS, ni SUSPENDIDAS."),
               vb::Exclamation);
        return false;
    }
    return true;
}

bool Frm_M_CajaArqueo::Usr_CierraCaja()
{
    try {
        Transaccion t(*gConexion);
        db_caja_cabeza caja;
        if (!caja.load(cajaId()))
            throw DbError(3021, QStringLiteral("No existe la caja %1.").arg(cajaId()));
        caja.m_comentarios = ui->txtComentarios->toPlainText();
        caja.m_importe_cierre_real = importeReal();
        caja.m_t_usuarios_codigo = usuario();
        caja.cerrarCaja();
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    // Told once the closing is written, never before it is.
    MsgBox(QStringLiteral("Se ha realizado el cierre de caja nº: %1 correctamente.").arg(cajaId()), vb::Information);
    return true;
}

void Frm_M_CajaArqueo::guardar()
{
    if (!Usr_ValidaCierre() || !Usr_CierraCaja())
        return;
    const QString caja = cajaId();
    hide();
    Usr_Print(caja);
    descargar();
}

void Frm_M_CajaArqueo::detalle(int clase)
{
    auto *d = Ventanas::obtener<Frm_M_CajaArqueDetalle>();
    d->pClaseMov = clase;
    d->Usr_Carga(this);
    Modal::mostrar(d);
}
