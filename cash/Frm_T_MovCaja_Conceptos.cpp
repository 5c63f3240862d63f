#include "Frm_T_MovCaja_Conceptos.h"
#include "ui_Frm_T_MovCaja_Conceptos.h"

#include "InterfazModule.h"
#include "Module.h"
#include "dbConceptosCaja.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"

#include <QKeyEvent>
#include <utility>

namespace {
enum Columna { kCodigo = 1, kDescripcion };
}

Frm_T_MovCaja_Conceptos::Frm_T_MovCaja_Conceptos(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_T_MovCaja_Conceptos>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_MovCaja_Conceptos"));
    Grid *g = ui->vaSpread;
    g->setMaxCols(kDescripcion);
    g->setRowTexts(0, {QStringLiteral("Código"), QStringLiteral("Descripcion")});
    g->setColumnWidth(kCodigo, 90);
    g->setColumnWidth(kDescripcion, 300);
    Aperturas::conectar(g, &Grid::clicked, this, [this](int col, int row) {
        if (row >= 1 && col == 0)
            cargarFila(row);
        else if (row == 0 && col >= 1)
            ordenar(col, true);
        else
            Usr_LimpiaPantalla();
    });
    Aperturas::conectar(g, &Grid::rightClicked, this, [this](int col, int row) {
        if (row == 0 && col >= 1)
            ordenar(col, false);
    });
    alPerderFoco(ui->mskBox_0, [this] { salirDelCodigo(); });
    for (QLineEdit *e : {ui->mskBox_0, ui->mskBox_1})
        e->installEventFilter(this);
    Aperturas::conectar(ui->mskBox_1, &QLineEdit::textChanged, this, &Frm_T_MovCaja_Conceptos::habilitarBotones);
    Aperturas::conectar(ui->cmdButton_0, &QPushButton::clicked, this, [this] { boton(0); });
    Aperturas::conectar(ui->cmdButton_1, &QPushButton::clicked, this, [this] { boton(1); });
    Aperturas::conectar(ui->cmdButton_2, &QPushButton::clicked, this, [this] { boton(2); });

    Usr_CargaGrilla();
    Usr_LimpiaPantalla();
}

Frm_T_MovCaja_Conceptos::~Frm_T_MovCaja_Conceptos() = default;

Grid *Frm_T_MovCaja_Conceptos::grilla() const { return ui->vaSpread; }

bool Frm_T_MovCaja_Conceptos::event(QEvent *e)
{
    // Concepts added elsewhere show when the user comes back. A failed
    // reload is told once: the activation that follows the closing of its
    // message does not try again.
    if (e->type() == QEvent::WindowActivate && !std::exchange(m_saltarRecarga, false))
        m_saltarRecarga = !Aperturas::protegida([this] { Usr_CargaGrilla(); });
    return Formulario::event(e);
}

bool Frm_T_MovCaja_Conceptos::filtrar(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent *>(e)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (obj == ui->mskBox_0)
                salirDelCodigo();
            if (Usr_ValidaCampos()) {
                Usr_GuardaDatos(QStringLiteral("1"));
                Usr_LimpiaPantalla();
                Usr_CargaGrilla();
            }
            return true;
        }
    }
    return Formulario::filtrar(obj, e);
}

void Frm_T_MovCaja_Conceptos::Usr_CargaGrilla()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    try {
        for (Recordset rs = dbConceptosCaja::deUsuario(); !rs.eof(); rs.moveNext())
            g->appendRow({rs.texto(QStringLiteral("id")), rs.texto(QStringLiteral("descripcion"))});
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
}

void Frm_T_MovCaja_Conceptos::Usr_LimpiaPantalla()
{
    ui->vaSpread->clearSelection();
    ui->mskBox_0->clear();
    ui->mskBox_1->clear();
    ui->mskBox_0->setEnabled(true);
    habilitarBotones();
    ui->mskBox_0->setFocus();
}

void Frm_T_MovCaja_Conceptos::habilitarBotones()
{
    const bool codigo = !ui->mskBox_0->text().isEmpty();
    const bool edicion = !ui->mskBox_0->isEnabled();
    ui->cmdButton_0->setEnabled(codigo);
    ui->cmdButton_1->setEnabled(codigo);
    ui->cmdButton_2->setEnabled(codigo && edicion);
}

void Frm_T_MovCaja_Conceptos::cargarFila(int row)
{
    Grid *g = ui->vaSpread;
    g->setActiveCell(kCodigo, row);
    ui->mskBox_0->setText(g->text(kCodigo, row));
    ui->mskBox_0->setEnabled(false);
    ui->mskBox_1->setText(g->text(kDescripcion, row));
    ui->mskBox_1->setFocus();
    habilitarBotones();
}

void Frm_T_MovCaja_Conceptos::salirDelCodigo()
{
    if (!ui->mskBox_0->isEnabled())
        return;
    const int fila = SS_BuscarFila(ui->vaSpread, kCodigo, ui->mskBox_0->text(), true);
    if (fila > 0)
        cargarFila(fila);
    habilitarBotones();
}

void Frm_T_MovCaja_Conceptos::ordenar(int col, bool ascendente)
{
    Usr_LimpiaPantalla();
    SS_Claves = {static_cast<qint16>(col)};
    SS_Ascendente = {ascendente};
    SS_UltimaClave = 0;
    SS_OrdenarFilas = true;
    SS_Ordenar(ui->vaSpread);
}

bool Frm_T_MovCaja_Conceptos::Usr_ValidaCampos()
{
    if (ui->mskBox_0->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe Ingresar Código."), vb::Exclamation);
        ui->mskBox_0->setFocus();
        return false;
    }
    if (ui->mskBox_1->text().isEmpty()) {
        MsgBox(QStringLiteral("Debe Ingresar Descripción"), vb::Exclamation);
        ui->mskBox_1->setFocus();
        return false;
    }
    return true;
}

bool Frm_T_MovCaja_Conceptos::Usr_GuardaDatos(const QString &op)
{
    const QString codigo = ui->mskBox_0->text();
    const QString descripcion = ui->mskBox_1->text();
    if (op == QLatin1String("1") && !Usr_ValidaCampos())
        return false;
    const bool alta = ui->mskBox_0->isEnabled();
    bool hallado = true;
    int intentos = 0;
    try {
        Transaccion t(*gConexion);
        for (;;) {
            try {
                // The caller may go on after a failed attempt: each runs in
                // a part of its own, undone alone when it fails.
                Transaccion intento(*gConexion);
                if (op == QLatin1String("2"))
                    dbConceptosCaja::eliminar(codigo);
                else if (alta)
                    dbConceptosCaja::insertar(codigo, descripcion);
                else
                    hallado = dbConceptosCaja::modificar(codigo, descripcion);
                intento.commit();
                break;
            } catch (const DbError &e) {
                const int respuesta = ManejoErrorDB(intentos, windowTitle(), e);
                if (respuesta == 0) {
                    ++intentos;
                    continue;
                }
                if (respuesta == 1)
                    break;
                return false; // the guard rolls back
            }
        }
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    // Deleted at another station while it was being changed: said, and the
    // list shows what is left (the caller refills it).
    if (!hallado)
        avisarRegistroEliminado();
    return true;
}

void Frm_T_MovCaja_Conceptos::boton(int indice)
{
    if (indice == 0) {
        Usr_LimpiaPantalla();
        return;
    }
    CursorEspera(1);
    if (Usr_GuardaDatos(indice == 1 ? QStringLiteral("1") : QStringLiteral("2"))) {
        Usr_LimpiaPantalla();
        Usr_CargaGrilla();
    }
    CursorEspera(0);
}
