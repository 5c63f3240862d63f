#include "support/Entorno.h"

#include "AppUtils.h"
#include "Modulo_CRegional.h"
#include "platform/AlmacenRegional.h"
#include "platform/Formatos.h"

#include <QLocale>

namespace {

const QString kTitulo = "Error en configuración regional";
const QString kCabecera =
    "Se ha encontrado que la configuración regional no es la adecuada para ejecutar el sistema. \n";
const QString kPie = "Se procederá a ajustar los valores de configuración necesarios.";
const QString kLineaDecimal = "Separador decimal debe ser (.) \n";
const QString kLineaMiles = "Separador de miles/listas debe ser (,) \n";
const QString kHecho = "Se han realizado los cambios en el sistema.";

class RegionalTest : public Entorno {
protected:
    void TearDown() override
    {
        AlmacenRegional::simularFallos({});
        Entorno::TearDown();
    }
    void separadores(const QString &decimal, const QString &miles)
    {
        ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::SeparadorDecimal, decimal));
        ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::SeparadorMiles, miles));
    }
};

} // namespace

TEST_F(RegionalTest, AmbosSeparadoresMalAvisaCorrigeYLaSiguienteVezNoDiceNada)
{
    separadores(",", ".");
    gAppUtils.chequearConfigRegional();

    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].prompt, kCabecera + kLineaDecimal + kLineaMiles + kPie);
    EXPECT_EQ(msg->mostrados()[0].estilo, vb::Exclamation);
    EXPECT_EQ(msg->mostrados()[0].titulo, kTitulo);
    EXPECT_EQ(msg->mostrados()[1].prompt, kHecho);
    EXPECT_EQ(msg->mostrados()[1].estilo, vb::Information);
    EXPECT_EQ(msg->mostrados()[1].titulo, tituloAplicacion());

    EXPECT_EQ(LeeConfigRegional(ItemRegional::SeparadorDecimal), ".");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::SeparadorMiles), ",");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::FechaCorta), "dd/MM/yyyy");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::FechaLarga), "dddd, d' de 'MMMM' de 'yyyy");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::FormatoHora), "HH:mm:ss");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::DecimalMoneda), ".");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::MilesMoneda), ",");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::SimboloMoneda), "$");

    msg->limpiar();
    gAppUtils.chequearConfigRegional();
    EXPECT_TRUE(msg->vacio());
}

TEST_F(RegionalTest, SoloMilesMalListaSoloEsaLinea)
{
    separadores(".", " ");
    gAppUtils.chequearConfigRegional();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].prompt, kCabecera + kLineaMiles + kPie);
}

TEST_F(RegionalTest, ConfiguracionCorrectaNoMuestraNada)
{
    separadores(".", ",");
    gAppUtils.chequearConfigRegional();
    EXPECT_TRUE(msg->vacio());
}

TEST_F(RegionalTest, EscrituraFallidaIgualMuestraElCierreYVuelveAAvisar)
{
    separadores(",", ".");
    AlmacenRegional::simularFallos({ItemRegional::SeparadorMiles});
    gAppUtils.chequearConfigRegional();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->ultimo().prompt, kHecho);
    EXPECT_EQ(LeeConfigRegional(ItemRegional::SeparadorDecimal), ".");

    msg->limpiar();
    gAppUtils.chequearConfigRegional();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].prompt, kCabecera + kLineaMiles + kPie);
}

TEST_F(RegionalTest, AjustaConfigRegionalInformaElUltimoFallo)
{
    QString error;
    AlmacenRegional::simularFallos({ItemRegional::FechaCorta, ItemRegional::SimboloMoneda});
    EXPECT_FALSE(AjustaConfigRegional(error));
    EXPECT_EQ(error, "Error al setear símbolo de moneda.");

    // A currency separator that stays wrong also fails the read-back.
    AlmacenRegional::simularFallos({});
    ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::MilesMoneda, "."));
    AlmacenRegional::simularFallos({ItemRegional::MilesMoneda});
    error.clear();
    EXPECT_FALSE(AjustaConfigRegional(error));
    EXPECT_EQ(error, "Error al setear separador de miles de moneda.");
    EXPECT_EQ(LeeConfigRegional(ItemRegional::MilesMoneda), ".");

    AlmacenRegional::simularFallos({});
    error.clear();
    EXPECT_TRUE(AjustaConfigRegional(error));
    EXPECT_EQ(error, "");
}

TEST_F(RegionalTest, SinValorGuardadoSeLeeElDelSistema)
{
    const QLocale sistema = QLocale::system();
    EXPECT_EQ(AlmacenRegional::leer(ItemRegional::SeparadorDecimal), sistema.decimalPoint());
    EXPECT_EQ(AlmacenRegional::leer(ItemRegional::FechaCorta), sistema.dateFormat(QLocale::ShortFormat));
    EXPECT_FALSE(AlmacenRegional::leer(ItemRegional::FormatoHora).contains('t'));
    ASSERT_TRUE(AlmacenRegional::escribir(ItemRegional::FechaCorta, "dd/MM/yyyy"));
    EXPECT_EQ(AlmacenRegional::leer(ItemRegional::FechaCorta), "dd/MM/yyyy");
    EXPECT_EQ(AlmacenRegional::leer(ItemRegional::SeparadorDecimal), sistema.decimalPoint());
    EXPECT_FALSE(AlmacenRegional::escribir(9999, "x"));
}

TEST_F(RegionalTest, FormatosNoDependenDelIdiomaDeLaMaquina)
{
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Formatos::importe(1234567.5), "1,234,567.50");
    EXPECT_EQ(Formatos::importe(-1234.5), "-1,234.50");
    EXPECT_EQ(Formatos::importe(0), "0.00");
    EXPECT_EQ(Formatos::importe(999.999), "1,000.00");
    EXPECT_EQ(Formatos::importe(-0.001), "0.00");
    // Halves round up as the decimal amounts they stand for, also where the
    // double lies just below (2.675 is 2.67499999... in binary).
    EXPECT_EQ(Formatos::importe(2.675), "2.68");
    EXPECT_EQ(Formatos::importe(-2.675), "-2.68");
    EXPECT_EQ(Formatos::importe(1.005), "1.01");
    EXPECT_EQ(Formatos::importe(1.5 * 1.65), "2.48");
    EXPECT_EQ(Formatos::importe(2.674999), "2.67");
    EXPECT_EQ(Formatos::fecha(QDate(2024, 3, 5)), "05/03/2024");
    EXPECT_EQ(Formatos::fecha(QDate()), "");
    EXPECT_EQ(Formatos::momento(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))), "05/03/2024 07:08:09");

    bool ok = false;
    EXPECT_EQ(Formatos::numero("1234.5", &ok), 1234.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Formatos::numero(" -3 ", &ok), -3.0);
    EXPECT_TRUE(ok);
    // Any plain decimal as people type it, "," grouping thousands.
    for (const auto &[texto, valor] : {std::pair<const char *, double>{"0.125", 0.125},
                                       {".5", 0.5},
                                       {"2.", 2},
                                       {"1,234.5", 1234.5},
                                       {"-1,234,567.25", -1234567.25},
                                       {"+7", 7},
                                       {"-.5", -0.5},
                                       {"007", 7},
                                       {"1234567890123456789", 1234567890123456789.0}}) {
        EXPECT_EQ(Formatos::numero(texto, &ok), valor) << texto;
        EXPECT_TRUE(ok) << texto;
    }
    const QString desborde = "1" + QString(400, '0');
    for (const QString &malo : QStringList{"1,5",  "1,23", "12,34.5", "1,2345", ",5",    "1,",     "1,,234", "",
                                           " ",    "abc",  "1e3",     "1e309",  "1.2.3", ".",      "-",      "inf",
                                           "-inf", "nan",  "0x10",    "1 000",  "1.5,0", "\u0663", desborde}) {
        EXPECT_EQ(Formatos::numero(malo, &ok), 0.0) << malo.toStdString();
        EXPECT_FALSE(ok) << malo.toStdString();
    }
    EXPECT_EQ(Formatos::redondear(2.675), 2.68);
    EXPECT_EQ(Formatos::redondear(-0.125), -0.13);

    EXPECT_EQ(Formatos::leerFecha("29/02/2024"), QDate(2024, 2, 29));
    EXPECT_EQ(Formatos::leerFecha("5/3/2024"), QDate(2024, 3, 5));
    EXPECT_FALSE(Formatos::leerFecha("31/02/2024").isValid());
    EXPECT_FALSE(Formatos::leerFecha("2024-02-01").isValid());
    QLocale::setDefault(antes);
}
