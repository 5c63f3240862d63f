#include "Frm_L_CierresCaja.h"
#include "ui_Frm_L_CierresCaja.h"

#include "CArchivo.h"
#include "ConfigPrograma.h"
#include "InterfazCaja.h"
#include "InterfazModule.h"
#include "InterfazReportes.h"
#include "Module.h"
#include "ReporteCaja.h"
#include "clsCDOmail.h"
#include "dbCierresCaja.h"
#include "dbConfiguraciones.h"
#include "dbEmailConf.h"
#include "dbUsuarios.h"
#include "db_caja_cabeza.h"
#include "platform/Aperturas.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "reportes/ReportesClub.h"

namespace {
enum Columna { kId = 1, kApertura, kCierre, kUsuario, kInicial, kTeorico, kReal, kObservaciones };
}

Frm_L_CierresCaja::Frm_L_CierresCaja(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_L_CierresCaja>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_L_CierresCaja"));
    Grid *g = ui->vaSpread;
    const QStringList titulos{
        QStringLiteral("Id"),          QStringLiteral("Fecha y Hora Apertura"), QStringLiteral("Fecha y Hora Cierre"),
        QStringLiteral("Usuario"),     QStringLiteral("Importe Inicial"),       QStringLiteral("Cierre Teórico"),
        QStringLiteral("Cierre Real"), QStringLiteral("Observaciones")};
    g->setMaxCols(titulos.size());
    g->setRowTexts(0, titulos);
    const int anchos[] = {50, 160, 160, 90, 110, 110, 110, 260};
    for (int c = kId; c <= kObservaciones; ++c)
        g->setColumnWidth(c, anchos[c - 1]);
    g->setColumnAlignment(kId, Qt::AlignRight);
    for (int c : {kInicial, kTeorico, kReal})
        g->setColumnFormat(c, Formatos::kImporte);

    ui->DBCombo_18->cargar([] { return dbUsuarios::porDescripcion(); }, QStringLiteral("Descripcion"),
                           QStringLiteral("Codigo"));
    ui->DBCombo_18->enlazarCaja(ui->MaskEd_18);
    ui->dtFecha_0->setDate(Reloj::hoy());
    ui->dtFecha_1->setDate(Reloj::hoy());

    Aperturas::conectar(ui->Command_4, &QPushButton::clicked, this, [this] {
        if (Usr_ValidaDatos())
            Usr_LlenaGrilla();
    });
    Aperturas::conectar(ui->cmdPrint, &QPushButton::clicked, this, &Frm_L_CierresCaja::imprimir);
    Aperturas::conectar(ui->cmdAnulaCierre, &QPushButton::clicked, this, &Frm_L_CierresCaja::anularCierre);
    Aperturas::conectar(ui->cmdPDF, &QPushButton::clicked, this, &Frm_L_CierresCaja::cmdPDF_Click);

    Usr_LlenaGrilla();
}

Frm_L_CierresCaja::~Frm_L_CierresCaja() = default;

Grid *Frm_L_CierresCaja::grilla() const { return ui->vaSpread; }

bool Frm_L_CierresCaja::Usr_ValidaDatos()
{
    // A code typed but not yet left counts as chosen (or as unknown).
    ui->DBCombo_18->tomarCaja();
    if (!ui->chkTodos->isChecked() && ui->MaskEd_18->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Seleccione usuario."), vb::Exclamation);
        return false;
    }
    return true;
}

void Frm_L_CierresCaja::Usr_LlenaGrilla()
{
    Grid *g = ui->vaSpread;
    const QString antes = g->text(kId, g->ActiveRow());
    g->setMaxRows(0);
    const dbCierresCaja::Estado estado = ui->optAbierta->isChecked()   ? dbCierresCaja::Estado::Abierta
                                         : ui->optCerrada->isChecked() ? dbCierresCaja::Estado::Cerrada
                                                                       : dbCierresCaja::Estado::Ambas;
    const QString usuario = ui->chkTodos->isChecked() ? QString() : ui->MaskEd_18->text().trimmed();
    double total = 0;
    try {
        for (Recordset rs = dbCierresCaja::listado(estado, ui->dtFecha_0->date(), ui->dtFecha_1->date(), usuario);
             !rs.eof(); rs.moveNext()) {
            const int fila =
                g->appendRow({rs.texto(QStringLiteral("id")),
                              Formatos::momento(rs.campo(QStringLiteral("fecha_hora_apertura")).fechaHora()),
                              Formatos::momento(rs.campo(QStringLiteral("fecha_hora_cierre")).fechaHora()),
                              rs.texto(QStringLiteral("t_usuarios_codigo"))});
            const double teorico = rs.campo(QStringLiteral("importe_cierre_teorico")).numero();
            const double real = rs.campo(QStringLiteral("importe_cierre_real")).numero();
            g->setNumber(kInicial, fila, rs.campo(QStringLiteral("importe_inicial")).numero());
            g->setNumber(kTeorico, fila, teorico);
            g->setNumber(kReal, fila, real);
            g->setText(kObservaciones, fila, rs.texto(QStringLiteral("comentarios")));
            total += real;
            if (rs.campo(QStringLiteral("enviado")).entero() == 1)
                PintarFilaSpread(g, fila, colorVB(0xC0FFC0), true);
            // Compared as shown, to the cent: a third decimal is no difference.
            if (g->text(kTeorico, fila) != g->text(kReal, fila)) {
                SS_ColorCelda(g, kTeorico, fila, colorVB(255));
                SS_ColorCelda(g, kReal, fila, colorVB(255));
            }
        }
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    ui->labTotal->setText(Formatos::importe(total));
    if (g->MaxRows() == 0)
        return;
    int fila = 1;
    for (int r = 1; r <= g->MaxRows(); ++r)
        if (g->text(kId, r) == antes)
            fila = r;
    g->setActiveCell(kId, fila);
}

QString Frm_L_CierresCaja::cajaElegida()
{
    Grid *g = ui->vaSpread;
    const int fila = g->ActiveRow();
    if (fila < 1 || fila > g->MaxRows()) {
        MsgBox(QStringLiteral("No hay una caja elegida en la lista."), vb::Exclamation);
        return {};
    }
    return g->text(kId, fila);
}

void Frm_L_CierresCaja::imprimir()
{
    // An open register is printed too, with its figures so far.
    const QString id = cajaElegida();
    if (!id.isEmpty())
        Usr_Print(id);
}

void Frm_L_CierresCaja::anularCierre()
{
    const QString id = cajaElegida();
    if (id.isEmpty())
        return;
    try {
        // The register as it is now, not as the list showed it.
        db_caja_cabeza caja;
        if (!caja.load(id) || !caja.m_fecha_hora_cierre.isValid()) {
            MsgBox(QStringLiteral("La caja Nº %1 no está cerrada: no hay cierre que anular.").arg(id), vb::Exclamation);
            return;
        }
        const QString otra = caja.cajaQueImpideAnular(id);
        if (!otra.isEmpty()) {
            MsgBox(QStringLiteral("El usuario '%1' posee la caja Nº %2 abierta.\r\nDebe cerrarla antes de anular "
                                  "este cierre.")
                       .arg(caja.m_t_usuarios_codigo, otra),
                   vb::Exclamation);
            return;
        }
        if (MsgBox(QStringLiteral("Se anulará el cierre de caja.\r\n¿Desea continuar?"), vb::YesNo + vb::Question) !=
            vb::Yes)
            return;
        Transaccion t(*gConexion);
        caja.anulaCierre(id);
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    Usr_LlenaGrilla();
}

void Frm_L_CierresCaja::cmdPDF_Click()
{
    const QString id = cajaElegida();
    if (id.isEmpty())
        return;
    db_caja_cabeza caja;
    QString club;
    try {
        if (!caja.load(id) || !caja.m_fecha_hora_cierre.isValid()) {
            MsgBox(
                QStringLiteral("La caja Nº %1 no está cerrada: solo se envía el cierre de una caja cerrada.").arg(id),
                vb::Exclamation);
            return;
        }
        club = dbConfiguraciones().getValor(QStringLiteral("CLUB_NOMBRE"));
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return;
    }
    const QString carpeta = CarpetaPrograma::archivo(QStringLiteral("cierres_pdf"));
    CArchivo archivo;
    if (!archivo.CrearCarpeta(carpeta)) {
        MsgBox(QStringLiteral("No se pudo crear la carpeta %1: %2").arg(carpeta, archivo.Error()), vb::Critical);
        return;
    }
    const QString FileName = carpeta + QLatin1Char('/') + dbCierresCaja::nombrePdf(club, caja.m_fecha_hora_cierre);
    const QString cierre = Formatos::momento(caja.m_fecha_hora_cierre);
    if (MsgBox(QStringLiteral("Se enviará el Cierre de Caja Nº: %1 con fecha: %2\r\n¿Desea continuar?").arg(id, cierre),
               vb::OKCancel + vb::Question, QStringLiteral("Confirmar envio")) != vb::OK)
        return;
    CursorEspera(1);
    try {
        Usr_ExportPDF(id, *abrirPlantilla(QString::fromLatin1(kPlantillaCaja)), FileName,
                      QStringLiteral("Informe de Caja"));
    } catch (const DbError &e) {
        // Without its file there is nothing to mail.
        CursorEspera(0);
        AvisarErrorReporte(e);
        return;
    }
    CursorEspera(0);
    if (Usr_EnviaMail(FileName, id, cierre, club))
        Usr_MarcaEnviado(id);
}

bool Frm_L_CierresCaja::Usr_EnviaMail(const QString &FileName, const QString &id, const QString &cierre,
                                      const QString &club)
{
    std::optional<CuentaEmail> cuenta;
    try {
        cuenta = dbEmailConf::leer();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    if (!cuenta || cuenta->usuario.isEmpty() || cuenta->contrasena.isEmpty()) {
        MsgBox(QStringLiteral("Debe configurar una cuenta de correo válida para utilizar esta función"),
               vb::Information);
        return false;
    }
    clsCDOmail objMail;
    objMail.servidor = ConfigPrograma::servidorCorreo();
    objMail.puerto = ConfigPrograma::puertoCorreo();
    objMail.UseAuntentificacion = true;
    objMail.ssl = true;
    objMail.Usuario = cuenta->usuario;
    objMail.PassWord = cuenta->contrasena;
    objMail.Asunto = dbCierresCaja::asunto(id, cierre, club);
    objMail.Adjunto = FileName;
    objMail.de = cuenta->usuario;
    objMail.para = cuenta->destinatario;
    return objMail.Enviar_Backup();
}

void Frm_L_CierresCaja::Usr_MarcaEnviado(const QString &id)
{
    try {
        clsCDOmail::setEnviado(id.toLongLong());
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    Usr_LlenaGrilla();
}
