#include "Frm_S_AsignarOpciones.h"
#include "ui_Frm_S_AsignarOpciones.h"

#include "InterfazModule.h"
#include "MenuPrincipal.h"
#include "Module.h"
#include "Permisos.h"
#include "dbUsuarios.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/Mensajes.h"

#include <QPointer>
#include <QStyle>

namespace {
constexpr int kAsigna = 1;
constexpr int kOpcion = 2;
constexpr int kNombre = 3;
constexpr int kNivel = 4;
} // namespace

Frm_S_AsignarOpciones::Frm_S_AsignarOpciones(QWidget *parent) : Formulario(parent), ui(new Ui::Frm_S_AsignarOpciones)
{
    ui->setupUi(this);
    Grid *g = ui->vaSpread;
    g->setMaxCols(4);
    const QStringList titulos{QStringLiteral("Asigna"), QStringLiteral("Opción"), QStringLiteral("Descripción"),
                              QStringLiteral("Nivel")};
    for (int c = 1; c <= 4; ++c)
        g->setText(c, 0, titulos[c - 1]);
    g->setColumnCheck(kAsigna);
    g->setColumnWidth(kAsigna, 56);
    g->setColumnWidth(kOpcion, 300);
    g->setColumnWidth(kNombre, 220);
    g->setColumnWidth(kNivel, 50);
    g->setMaxRows(0);
    Aperturas::conectar(g, &Grid::buttonClicked, this, [this](int col, int row) {
        if (col == kAsigna && row >= 1)
            alMarcar(row);
    });

    const QStyle::StandardPixmap dibujos[] = {QStyle::SP_DialogResetButton, QStyle::SP_DialogSaveButton,
                                              QStyle::SP_DialogYesButton, QStyle::SP_DialogNoButton};
    const QList<QPushButton *> botones{ui->Command_0, ui->Command_1, ui->Command_2, ui->Command_3};
    for (int i = 0; i < botones.size(); ++i) {
        botones[i]->setIcon(style()->standardIcon(dibujos[i]));
        botones[i]->setIconSize(QSize(24, 24));
        botones[i]->setAutoDefault(false);
        Aperturas::conectar(botones[i], &QPushButton::clicked, this, [this, i] { Command_Click(i); });
    }

    ui->DBCombo_0->cargar(dbUsuarios::sinAdministrador, QStringLiteral("Descripcion"), QStringLiteral("Codigo"));
    Aperturas::conectar(ui->DBCombo_0, &DataCombo::cambiado, this, [this] {
        if (!ui->DBCombo_0->Text().isEmpty())
            elegirUsuario(ui->DBCombo_0->BoundText());
    });
    // The box may lose the focus while the window is being destroyed.
    QPointer<Frm_S_AsignarOpciones> yo = this;
    alPerderFoco(ui->Text_0, [yo] {
        if (yo && !Ventanas::descargada(yo))
            yo->alDejarCodigo();
    });
}

Frm_S_AsignarOpciones::~Frm_S_AsignarOpciones() = default;

bool Frm_S_AsignarOpciones::Usr_EsOpcionExcluida(const QString &nombre)
{
    return Permisos::esOpcionSiempreVisible(nombre);
}

bool Frm_S_AsignarOpciones::Usr_ValidaUsuario()
{
    if (!ui->Text_0->text().isEmpty())
        return true;
    MsgBox(QStringLiteral("Debe llenar Código de Usuario"), vb::Exclamation);
    ui->Text_0->setFocus();
    return false;
}

void Frm_S_AsignarOpciones::Usr_LimpiaPantalla()
{
    ui->Text_0->clear();
    ui->DBCombo_0->setBoundText(QString());
    ui->vaSpread->setMaxRows(0);
    m_cargado.clear();
}

void Frm_S_AsignarOpciones::alDejarCodigo()
{
    // An emptied box names no user either: picker and grid are emptied.
    const QString codigo = ui->Text_0->text();
    ui->DBCombo_0->setBoundText(codigo);
    if (ui->DBCombo_0->BoundText().isEmpty()) {
        Usr_LimpiaPantalla();
        return;
    }
    elegirUsuario(ui->DBCombo_0->BoundText());
}

void Frm_S_AsignarOpciones::elegirUsuario(const QString &codigo)
{
    ui->Text_0->setText(codigo);
    // Leaving the box again must not throw away the ticks being made.
    if (codigo.compare(m_cargado, Qt::CaseInsensitive) == 0 && ui->vaSpread->MaxRows() > 0)
        return;
    try {
        Usr_CargaOpciones();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
}

void Frm_S_AsignarOpciones::Usr_CargaOpciones()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    m_cargado.clear();
    const QColor gris = colorVB(0xC0C0C0);
    const QColor grisClaro = colorVB(0xE0E0E0);
    int fila = 0;
    for (const MenuPrincipal::Entrada &e : MenuPrincipal::entradas()) {
        if (Usr_EsOpcionExcluida(e.nombre))
            continue;
        g->setMaxRows(++fila);
        g->setText(kAsigna, fila, QStringLiteral("0"));
        g->setText(kOpcion, fila, QString(e.helpContext(), QLatin1Char(' ')) + QString(e.caption).remove('&'));
        g->setText(kNombre, fila, e.nombre);
        g->setText(kNivel, fila, QString::number(e.helpContext()));
        if (e.helpContext() == 0) {
            g->setCellBackColor(kOpcion, fila, gris);
            // The last item of a menu (level 1) closes it in light grey.
            if (fila > 1 && g->text(kNivel, fila - 1) == QLatin1String("5"))
                g->setCellBackColor(kOpcion, fila - 1, grisClaro);
        }
    }
    const QStringList tiene = Permisos::opciones(ui->Text_0->text());
    for (int r = 1; r <= g->MaxRows(); ++r)
        if (tiene.contains(g->text(kNombre, r), Qt::CaseInsensitive))
            g->setText(kAsigna, r, QStringLiteral("1"));
    m_cargado = ui->Text_0->text();
}

void Frm_S_AsignarOpciones::alMarcar(int fila)
{
    Grid *g = ui->vaSpread;
    auto nivel = [g](int r) { return g->text(kNivel, r).toInt() / 5; };
    const int propio = nivel(fila);
    if (g->text(kAsigna, fila) != QLatin1String("1")) {
        for (int r = fila + 1; r <= g->MaxRows() && nivel(r) > propio; ++r)
            g->setText(kAsigna, r, QStringLiteral("0"));
        return;
    }
    int r = fila;
    for (int buscado = propio - 1; buscado >= 0; --buscado) {
        while (r > 1 && nivel(r) != buscado)
            --r;
        if (nivel(r) == buscado)
            g->setText(kAsigna, r, QStringLiteral("1"));
    }
}

void Frm_S_AsignarOpciones::marcarTodas(bool marca)
{
    Grid *g = ui->vaSpread;
    for (int r = 1; r <= g->MaxRows(); ++r)
        g->setText(kAsigna, r, marca ? QStringLiteral("1") : QStringLiteral("0"));
}

void Frm_S_AsignarOpciones::guardar()
{
    if (!Usr_ValidaUsuario())
        return;
    QStringList elegidas;
    Grid *g = ui->vaSpread;
    for (int r = 1; r <= g->MaxRows(); ++r)
        if (g->text(kAsigna, r) == QLatin1String("1"))
            elegidas << g->text(kNombre, r);
    CursorEspera(1);
    try {
        Transaccion t(*gConexion);
        Permisos::asignar(ui->Text_0->text(), elegidas);
        t.commit();
    } catch (const DbError &e) {
        // The user keeps the old options and the screen keeps the ticks.
        CursorEspera(0);
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    Usr_LimpiaPantalla();
    CursorEspera(0);
}

void Frm_S_AsignarOpciones::Command_Click(int indice)
{
    switch (indice) {
    case 0: Usr_LimpiaPantalla(); break;
    case 1: guardar(); break;
    case 2: marcarTodas(true); break;
    case 3: marcarTodas(false); break;
    default: break;
    }
}
