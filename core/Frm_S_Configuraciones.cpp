#include "Frm_S_Configuraciones.h"
#include "ui_Frm_S_Configuraciones.h"

#include "Module.h"
#include "dbConfiguraciones.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"

namespace {

// Keys in the order they are saved, with the description every save writes.
const char *const kClaves[][2] = {
    {"CAN_MOD_PRECIO_RESERVA", "Permite modificar el precio de reservas."},
    {"CAN_MOD_PRECIO_VENTAS", "Permite modificar el precio de ventas."},
    {"PORC_MINIMO_RESERVAS", "Porcentaje míminmo del total para reservar"},
    {"CLUB_NOMBRE", "Nombre del club para usar en reportes"},
    {"CLUB_TEL", "Telefonos del club para usar en reportes"},
    {"DEFAULT_CLIENTE_VENTAS", "Cliente por defecto en ventas"},
    {"DEFAULT_CLIENTE_RESERVAS", "Cliente por defecto en reservas"},
    {"SHOW_STOCK_EN_CAJA", "Define si se incluye o no el stock en los cierres de caja"},
    {"IMP_FORMATO_80mm", "Define si se imprime o no en formato de comandera 80mm"},
};

void marcar(QCheckBox *c, const QString &valor)
{
    bool ok = false;
    const int n = valor.trimmed().toInt(&ok);
    c->setChecked(ok && n != 0);
}

QString marca(const QCheckBox *c) { return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

Frm_S_Configuraciones::Frm_S_Configuraciones(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_S_Configuraciones>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_S_Configuraciones"));
    ui->dc_cliente->enlazarCaja(ui->txtCliente);
    ui->dc_cliente2->enlazarCaja(ui->txtCliente2);
    Aperturas::conectar(ui->cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    Aperturas::conectar(ui->cmdCancel, &QPushButton::clicked, this, [this] { reject(); });

    cargarValores();
}

Frm_S_Configuraciones::~Frm_S_Configuraciones() = default;

void Frm_S_Configuraciones::cargarValores()
{
    // A database error ends the filling quietly; the controls not reached
    // keep their designed (empty) state. A key without a row is just empty.
    try {
        for (DataCombo *d : {ui->dc_cliente, ui->dc_cliente2})
            d->cargar(dbConfiguraciones::clientes, QStringLiteral("nombre"), QStringLiteral("id"));

        dbConfiguraciones cfg;
        auto valor = [&cfg](int i) { return cfg.getValor(QString::fromUtf8(kClaves[i][0])); };
        marcar(ui->chkModPrecioReserva, valor(0));
        marcar(ui->chkPrecioVentaProd, valor(1));
        ui->fpMinimoRes->setText(valor(2));
        ui->txtNombreClub->setText(valor(3));
        ui->txtTel->setText(valor(4));
        ui->txtCliente->setText(valor(5));
        ui->dc_cliente->setBoundText(ui->txtCliente->text());
        ui->txtCliente2->setText(valor(6));
        ui->dc_cliente2->setBoundText(ui->txtCliente2->text());
        marcar(ui->chkStockEnCaja, valor(7));
        marcar(ui->chkFormato80mm, valor(8));
    } catch (const DbError &) {
    }
}

QString Frm_S_Configuraciones::porcentaje(const QString &texto)
{
    bool ok = false;
    const double v = Formatos::tecleado(texto, &ok);
    if (!ok || v < 0 || v > 100)
        return {};
    return QString::number(v);
}

void Frm_S_Configuraciones::cmdOk_Click()
{
    const QString minimo = porcentaje(ui->fpMinimoRes->text());
    if (minimo.isEmpty()) {
        MsgBox(QStringLiteral("El valor debebe estar comprendido entre 0 y 100"), vb::Exclamation);
        ui->fpMinimoRes->setFocus();
        return;
    }
    const QString valores[] = {
        marca(ui->chkModPrecioReserva),
        marca(ui->chkPrecioVentaProd),
        minimo,
        ui->txtNombreClub->text(),
        ui->txtTel->text(),
        ui->txtCliente->text(),
        ui->txtCliente2->text(),
        marca(ui->chkStockEnCaja),
        marca(ui->chkFormato80mm),
    };
    // The nine keys are saved together or not at all; a failure is told once
    // and the dialog stays open with what the user typed.
    try {
        Transaccion t(*gConexion);
        for (int i = 0; i < 9; ++i) {
            dbConfiguraciones cfg;
            cfg.save(QString::fromUtf8(kClaves[i][0]), QString::fromUtf8(kClaves[i][1]), valores[i]);
        }
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    accept();
}
