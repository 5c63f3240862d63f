#include "AyudaCaja.h"

#include "Frm_L_InformeDeMovCaja.h"
#include "Frm_ViewerReport.h"
#include "VisorReporte.h"
#include "reportes/Reporte.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QTextDocument>

using namespace ayuda;

namespace {

class InformeMovCajaTest : public CajaBase {
protected:
    void SetUp() override
    {
        CajaBase::SetUp();
        instalarPlantillas();
        db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('O''B', 'Obra ''nueva''')");
        // Bar from 01/03 to 10/03: the first second and the last one are in,
        // a second before and after are out; Luz is another concept.
        db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                     "caja_conceptos_descripcion, importe, comentarios, t_usuarios_codigo) VALUES "
                     "(1, 'ING', '2024-02-29 23:59:59', 'BAR', 'Bar', 1, 'antes', 'ana'), "
                     "(1, 'ING', '2024-03-01 00:00:00', 'BAR', 'Bar', 10, 'primero', 'ana'), "
                     "(2, 'EGR', '2024-03-05 12:00:00', 'BAR', 'Bar', -2.5, 'hielo', 'luis'), "
                     "(2, 'ING', '2024-03-10 23:59:59', 'BAR', 'Bar', 100, 'ultimo', 'luis'), "
                     "(2, 'ING', '2024-03-11 00:00:00', 'BAR', 'Bar', 1000, 'despues', 'luis'), "
                     "(2, 'EGR', '2024-03-05 12:00:00', 'LUZ', 'Luz', -40, 'factura', 'luis'), "
                     "(2, 'ING', '2024-03-06 12:00:00', 'O''B', 'Obra', 7, 'comillas', 'luis')");
        EXPECT_TRUE(Aperturas::abrir("mnu_InfCajaConcepto"));
        procesarEventos();
        w = Ventanas::existente<Frm_L_InformeDeMovCaja>();
    }
    void fechas(const QDate &desde, const QDate &hasta)
    {
        w->findChild<QDateEdit *>("dtpDesde")->setDate(desde);
        w->findChild<QDateEdit *>("dtpHasta")->setDate(hasta);
    }
    Reporte *mostrado()
    {
        auto *v = Ventanas::existente<Frm_ViewerReport>();
        return v ? v->crViewer()->reporte() : nullptr;
    }
    QString texto() { return mostrado() ? mostrado()->documento().toPlainText() : QString(); }
    QString parametro(const char *nombre) { return mostrado()->valorParametro(nombre).value_or("(sin valor)"); }
    QLineEdit *codigo() { return caja(w, "txtCodigo"); }
    DataCombo *combo() { return w->findChild<DataCombo *>("dc_Concepto"); }

    Frm_L_InformeDeMovCaja *w = nullptr;
};

TEST_F(InformeMovCajaTest, ConceptoRangoYParametros)
{
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Informe de Movimientos de Caja");
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpDesde")->date(), QDate(2024, 3, 15));
    // Only the users' concepts: a system code or an unknown one is emptied,
    // and nothing is printed without a concept.
    for (const char *c : {"INI", "VEN", "XYZ"}) {
        escribir(codigo(), c);
        EXPECT_EQ(codigo()->text(), "") << c;
    }
    clic(w, 3);
    EXPECT_EQ(msg->textos(), QStringList{"Debe seleccionar un concepto."});
    EXPECT_EQ(mostrado(), nullptr);

    // Bar from 01/03 to 10/03, both ends whole days.
    db().execute("INSERT INTO t_configuraciones (codigo, valor) VALUES ('CLUB_NOMBRE', 'Club Norte')");
    escribir(codigo(), "bar");
    EXPECT_EQ(codigo()->text(), "BAR");
    EXPECT_EQ(combo()->Text(), "Bar");
    fechas(QDate(2024, 3, 1), QDate(2024, 3, 10));
    msg->limpiar();
    clic(w, 3);
    EXPECT_TRUE(msg->vacio());
    ASSERT_NE(mostrado(), nullptr);
    EXPECT_EQ(parametro("concepto"), "Bar");
    EXPECT_EQ(parametro("entre_fechas"), "01/03/2024 al 10/03/2024");
    EXPECT_EQ(parametro("club_nombre"), "Club Norte");
    EXPECT_EQ(parametro("club_telefono"), "(sin valor)");
    const QString t = texto();
    for (const char *en : {"primero", "hielo", "ultimo", "01/03/2024 00:00:00", "10/03/2024 23:59:59", "107.50",
                           "TOTAL (3 movimientos)", "Club Norte"})
        EXPECT_TRUE(t.contains(en)) << en;
    for (const char *fuera : {"antes", "despues", "factura", "comillas"})
        EXPECT_FALSE(t.contains(fuera)) << fuera;

    // A code with a quote is just a character; the description shown is the combo's.
    escribir(codigo(), "o'b");
    clic(w, 3);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(parametro("concepto"), "Obra 'nueva'");
    EXPECT_TRUE(texto().contains("comillas"));
    EXPECT_FALSE(texto().contains("primero"));

    // "Desde" after "Hasta": an empty report, not an error.
    fechas(QDate(2024, 3, 10), QDate(2024, 3, 1));
    escribir(codigo(), "BAR");
    clic(w, 3);
    EXPECT_TRUE(texto().contains("No hay movimientos de este concepto en el período elegido."));

    // "Todos" empties and locks the concept; there is no report of every concept.
    auto *todos = w->findChild<QCheckBox *>("chkTodos");
    todos->setChecked(true);
    EXPECT_FALSE(codigo()->isEnabled());
    EXPECT_FALSE(combo()->isEnabled());
    EXPECT_EQ(codigo()->text(), "");
    EXPECT_EQ(combo()->BoundText(), "");
    clic(w, 3);
    EXPECT_EQ(msg->textos(), QStringList{"Debe seleccionar un concepto."});
    // "Limpiar" unlocks, empties and puts both dates back to today.
    clic(w, 2);
    EXPECT_FALSE(todos->isChecked());
    EXPECT_TRUE(codigo()->isEnabled());
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpDesde")->date(), QDate(2024, 3, 15));
    EXPECT_EQ(w->findChild<QDateEdit *>("dtpHasta")->date(), QDate(2024, 3, 15));
    EXPECT_EQ(msg->textos(), QStringList{"Debe seleccionar un concepto."});

    // Without its template: told, nothing shown.
    Ventanas::descargar(Ventanas::existente<Frm_ViewerReport>());
    procesarEventos();
    ASSERT_TRUE(QFile::remove(carpeta() + "/rptcr/rpt_movimientos_caja_conceptos.rpt"));
    escribir(codigo(), "LUZ");
    msg->limpiar();
    clic(w, 3);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(mostrado(), nullptr);
}

} // namespace
