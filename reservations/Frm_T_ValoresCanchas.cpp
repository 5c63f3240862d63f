#include "Frm_T_ValoresCanchas.h"
#include "ui_Frm_T_ValoresCanchas.h"

#include "Module.h"
#include "dbCanchas.h"
#include "dbValoresCanchas.h"
#include "platform/Aperturas.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"

#include <QLineEdit>

namespace {

constexpr int kColCodigo = 1;
constexpr int kColHorario = 2;
constexpr int kColValor = 3;

} // namespace

Frm_T_ValoresCanchas::Frm_T_ValoresCanchas(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_T_ValoresCanchas>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_ValoresCanchas"));

    Grid *g = ui->vaSpread;
    g->setMaxCols(3);
    g->setMaxRows(0);
    g->setText(kColHorario, 0, QStringLiteral("Horarios"));
    g->setText(kColValor, 0, QStringLiteral("Valores"));
    g->setColumnHidden(kColCodigo, true);
    g->setColumnWidth(kColHorario, 220);
    g->setColumnWidth(kColValor, 120);
    g->setColumnEditable(kColValor, true);
    // The price is shown as an amount; a typed text that is no price stays in
    // its cell until the saving refuses it.
    g->setColumnFormat(kColValor, Formatos::kPrecio);

    try {
        ui->dc_cancha->cargar(dbCanchas::lista, QStringLiteral("descripcion"), QStringLiteral("id"));
        ui->cmbCanchaCopia->cargar(dbCanchas::lista, QStringLiteral("descripcion"), QStringLiteral("id"));
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    ui->dc_cancha->enlazarCaja(ui->txtCancha);
    ui->cmbCanchaCopia->enlazarCaja(ui->txtCanchaCopia);

    Aperturas::conectar(ui->cmdActualizar, &QPushButton::clicked, this, [this] { cmdActualizar_Click(); });
    Aperturas::conectar(ui->cmdGuarda, &QPushButton::clicked, this, [this] { cmdGuarda_Click(); });
    Aperturas::conectar(ui->cmdLimpia, &QPushButton::clicked, this, [this] { Usr_LimpiaPantalla(); });
    Aperturas::conectar(ui->cmdCopia, &QPushButton::clicked, this, [this] { cmdCopia_Click(); });
    Aperturas::conectar(ui->cmdCerrar, &QPushButton::clicked, this, [this] { descargar(); });

    Usr_HabilitaCancha(true);
}

Frm_T_ValoresCanchas::~Frm_T_ValoresCanchas() = default;

bool Frm_T_ValoresCanchas::Usr_BuscaDatos()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    QList<dbValoresCanchas::FilaValor> filas;
    try {
        filas = dbValoresCanchas::valoresDeCancha(ui->txtCancha->text());
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    g->setMaxRows(static_cast<int>(filas.size()));
    int fila = 0;
    for (const auto &f : filas) {
        ++fila;
        g->setRowTexts(fila, {f.codigo, f.descripcion});
        g->setNumber(kColValor, fila, f.importe);
    }
    return true;
}

void Frm_T_ValoresCanchas::Usr_HabilitaCancha(bool habilitar)
{
    const QColor fondo = habilitar ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xE0, 0xE0, 0xE0);
    for (QWidget *w : {static_cast<QWidget *>(ui->txtCancha), static_cast<QWidget *>(ui->dc_cancha)}) {
        w->setEnabled(habilitar);
        QPalette p = w->palette();
        p.setColor(QPalette::Base, fondo);
        p.setColor(QPalette::Button, fondo);
        w->setPalette(p);
    }
}

bool Frm_T_ValoresCanchas::Usr_ControlCancha()
{
    if (ui->txtCancha->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe seleccionar Cancha."), vb::Exclamation);
        ui->dc_cancha->setFocus();
        return false;
    }
    return true;
}

bool Frm_T_ValoresCanchas::Usr_ControlCopia()
{
    if (ui->txtCanchaCopia->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe seleccionar la cancha destino."), vb::Exclamation);
        ui->cmbCanchaCopia->setFocus();
        return false;
    }
    // Court ids compare without regard to letter case, as the database does.
    if (ui->txtCancha->text().trimmed().compare(ui->txtCanchaCopia->text().trimmed(), Qt::CaseInsensitive) == 0) {
        MsgBox(QStringLiteral("No se puede copiar sobre si mismo."), vb::Exclamation);
        return false;
    }
    return true;
}

void Frm_T_ValoresCanchas::cmdActualizar_Click()
{
    ui->dc_cancha->tomarCaja();
    if (!Usr_ControlCancha())
        return;
    if (Usr_BuscaDatos())
        Usr_HabilitaCancha(false);
}

void Frm_T_ValoresCanchas::cmdGuarda_Click()
{
    if (!Usr_ControlCancha())
        return;
    // Only the prices loaded with "Actualizar" are saved: saving an unloaded
    // court would delete its stored prices and write none.
    if (ui->txtCancha->isEnabled()) {
        MsgBox(QStringLiteral("Debe presionar Actualizar para cargar los valores de la cancha."), vb::Exclamation);
        ui->cmdActualizar->setFocus();
        return;
    }
    Usr_GuardaValores();
}

bool Frm_T_ValoresCanchas::Usr_GuardaValores()
{
    Grid *g = ui->vaSpread;
    const QString cancha = ui->txtCancha->text().trimmed();
    QList<double> importes;
    for (int fila = 1; fila <= g->MaxRows(); ++fila) {
        bool ok = false;
        importes << g->number(kColValor, fila, &ok);
        if (!ok) {
            MsgBox(QStringLiteral("El valor del horario ") + g->text(kColHorario, fila) +
                       QStringLiteral(" debe ser un número sin signo, con punto como separador decimal."),
                   vb::Exclamation);
            g->setActiveCell(kColValor, fila);
            g->setFocus();
            return false;
        }
    }
    try {
        Transaccion t(*gConexion);
        dbValoresCanchas::borrarValores(cancha);
        for (int fila = 1; fila <= g->MaxRows(); ++fila)
            dbValoresCanchas::insertarValor(cancha, g->text(kColCodigo, fila), importes[fila - 1]);
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    MsgBox(QStringLiteral("Se han realizado los cambios"), vb::Information);
    Usr_LimpiaPantalla();
    return true;
}

void Frm_T_ValoresCanchas::Usr_LimpiaPantalla()
{
    ui->txtCancha->clear();
    ui->dc_cancha->setBoundText(QString());
    ui->vaSpread->setMaxRows(0);
    Usr_HabilitaCancha(true);
}

void Frm_T_ValoresCanchas::cmdCopia_Click()
{
    // Typed ids count only when a court has them.
    if (ui->txtCancha->isEnabled())
        ui->dc_cancha->tomarCaja();
    ui->cmbCanchaCopia->tomarCaja();
    if (!Usr_ControlCancha() || !Usr_ControlCopia())
        return;
    Usr_CopiaValores();
}

bool Frm_T_ValoresCanchas::Usr_CopiaValores()
{
    try {
        // All or nothing: a failing copy leaves the target's prices as they were.
        Transaccion t(*gConexion);
        dbValoresCanchas::copiarValores(ui->txtCancha->text().trimmed(), ui->txtCanchaCopia->text().trimmed());
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    MsgBox(QStringLiteral("Valores copiados correctamente a: ") + ui->cmbCanchaCopia->Text(), vb::Information);
    ui->cmbCanchaCopia->setBoundText(QString());
    ui->txtCanchaCopia->clear();
    return true;
}
