#include "support/Entorno.h"

#include "Frm_S_Configuraciones.h"
#include "RegistroConfiguraciones.h"
#include "dbConfiguraciones.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QStringList kCheck = {"chkModPrecioReserva", "chkPrecioVentaProd", "chkStockEnCaja", "chkFormato80mm"};
const QStringList kTextos = {"fpMinimoRes", "txtNombreClub", "txtTel", "txtCliente", "txtCliente2"};

class ConfiguracionesTest : public Entorno {
protected:
    Frm_S_Configuraciones *abrir()
    {
        registrarVentanaConfiguraciones();
        EXPECT_TRUE(Aperturas::abrir("mnu_Opciones"));
        d = Ventanas::existente<Frm_S_Configuraciones>();
        EXPECT_NE(d, nullptr);
        return d;
    }
    template <class T> T *c(const QString &n) { return d->findChild<T *>(n); }
    QLineEdit *caja(const QString &n) { return c<QLineEdit>(n); }
    QCheckBox *chk(const QString &n) { return c<QCheckBox>(n); }
    DataCombo *combo(const QString &n) { return c<DataCombo>(n); }
    void aceptar()
    {
        c<QPushButton>("cmdOk")->click();
        procesarEventos();
    }
    void escribir(const QString &n, const QString &texto)
    {
        QLineEdit *e = caja(n);
        e->setText(texto);
        QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e, &fuera);
    }
    bool abierto() { return Ventanas::existente<Frm_S_Configuraciones>() != nullptr; }
    QString guardado(const QString &clave)
    {
        return valor("SELECT valor FROM t_configuraciones WHERE codigo = ?", {clave});
    }

    Frm_S_Configuraciones *d = nullptr;
};

} // namespace

TEST_F(ConfiguracionesTest, PrimeraVezAbreVacioYAceptarEscribeLasNueveClaves)
{
    abrir();
    EXPECT_TRUE(modal->mostrados().contains("Frm_S_Configuraciones"));
    EXPECT_EQ(d->windowTitle(), "Configuraciones");
    EXPECT_EQ(d->pos(), QPoint(0, 0));
    for (const QString &n : kCheck)
        EXPECT_FALSE(chk(n)->isChecked()) << n.toStdString();
    for (const QString &n : kTextos)
        EXPECT_TRUE(caja(n)->text().isEmpty()) << n.toStdString();

    caja("fpMinimoRes")->setText("30");
    aceptar();
    EXPECT_FALSE(abierto());
    // Rows in the order they were written: the file's rowid, the server's
    // physical position (nothing was updated or deleted in between).
    Recordset rs =
        db().openRecordset(QStringLiteral("SELECT codigo, descripcion, valor FROM t_configuraciones ORDER BY %1")
                               .arg(enServidor() ? "ctid" : "rowid"));
    QStringList l;
    for (; !rs.eof(); rs.moveNext())
        l << rs.texto("codigo") + "|" + rs.texto("descripcion") + "|" + rs.texto("valor");
    EXPECT_EQ(l, (QStringList{
                     "CAN_MOD_PRECIO_RESERVA|Permite modificar el precio de reservas.|0",
                     "CAN_MOD_PRECIO_VENTAS|Permite modificar el precio de ventas.|0",
                     "PORC_MINIMO_RESERVAS|Porcentaje míminmo del total para reservar|30",
                     "CLUB_NOMBRE|Nombre del club para usar en reportes|",
                     "CLUB_TEL|Telefonos del club para usar en reportes|",
                     "DEFAULT_CLIENTE_VENTAS|Cliente por defecto en ventas|",
                     "DEFAULT_CLIENTE_RESERVAS|Cliente por defecto en reservas|",
                     "SHOW_STOCK_EN_CAJA|Define si se incluye o no el stock en los cierres de caja|0",
                     "IMP_FORMATO_80mm|Define si se imprime o no en formato de comandera 80mm|0",
                 }));
}

TEST_F(ConfiguracionesTest, GuardarDosVecesDejaUnaFilaPorClaveYSeVuelveACargar)
{
    db().execute("INSERT INTO clientes (id, nombre, telefono) VALUES (7, 'Ana', '555')");
    abrir();
    caja("fpMinimoRes")->setText("10");
    aceptar();

    abrir();
    chk("chkModPrecioReserva")->setChecked(true);
    chk("chkFormato80mm")->setChecked(true);
    caja("fpMinimoRes")->setText("25.5");
    caja("txtNombreClub")->setText("Club O'Higgins");
    caja("txtTel")->setText("4444-5555");
    escribir("txtCliente2", "7");
    aceptar();
    EXPECT_EQ(contar("SELECT count(*) FROM t_configuraciones"), 9);
    EXPECT_EQ(contar("SELECT count(DISTINCT codigo) FROM t_configuraciones"), 9);
    EXPECT_EQ(guardado("CAN_MOD_PRECIO_RESERVA"), "1");
    EXPECT_EQ(guardado("CAN_MOD_PRECIO_VENTAS"), "0");
    EXPECT_EQ(guardado("IMP_FORMATO_80mm"), "1");
    EXPECT_EQ(guardado("CLUB_NOMBRE"), "Club O'Higgins");
    EXPECT_EQ(guardado("DEFAULT_CLIENTE_RESERVAS"), "7");

    abrir();
    EXPECT_TRUE(chk("chkModPrecioReserva")->isChecked());
    EXPECT_FALSE(chk("chkPrecioVentaProd")->isChecked());
    EXPECT_TRUE(chk("chkFormato80mm")->isChecked());
    EXPECT_EQ(caja("fpMinimoRes")->text(), "25.5");
    EXPECT_EQ(caja("txtTel")->text(), "4444-5555");
    EXPECT_EQ(caja("txtCliente2")->text(), "7");
    EXPECT_EQ(combo("dc_cliente2")->Text(), "Ana - 555");
    c<QPushButton>("cmdCancel")->click();
    procesarEventos();
    EXPECT_FALSE(abierto());
}

TEST_F(ConfiguracionesTest, ClaveSinFilaNoImpideCargarLasDemas)
{
    dbConfiguraciones cfg;
    cfg.save("CLUB_TEL", "Telefonos del club para usar en reportes", "123");
    cfg.save("SHOW_STOCK_EN_CAJA", "x", "1");
    abrir();
    EXPECT_FALSE(chk("chkModPrecioReserva")->isChecked());
    EXPECT_EQ(caja("txtTel")->text(), "123");
    EXPECT_TRUE(chk("chkStockEnCaja")->isChecked());
    EXPECT_TRUE(msg->vacio());
}

TEST_F(ConfiguracionesTest, PorcentajeFueraDeRangoORaroSeRechaza)
{
    abrir();
    for (const char *malo : {"100.5", "-1", "", "abc"}) {
        msg->limpiar();
        caja("fpMinimoRes")->setText(malo);
        aceptar();
        ASSERT_EQ(msg->textos(), QStringList{"El valor debebe estar comprendido entre 0 y 100"}) << malo;
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_TRUE(abierto());
        EXPECT_EQ(QApplication::focusWidget(), caja("fpMinimoRes"));
    }
    EXPECT_EQ(contar("SELECT count(*) FROM t_configuraciones"), 0);

    caja("fpMinimoRes")->setText("100");
    aceptar();
    EXPECT_FALSE(abierto());
    EXPECT_EQ(guardado("PORC_MINIMO_RESERVAS"), "100");
}

TEST_F(ConfiguracionesTest, CajaDeClienteYPickerVanJuntos)
{
    db().execute("INSERT INTO clientes (id, nombre, telefono) VALUES (5, 'Luis', NULL), (6, 'Eva', '321')");
    abrir();
    // A client without a telephone is listed too.
    EXPECT_GE(combo("dc_cliente")->findText("Luis - "), 0);

    escribir("txtCliente", "5");
    EXPECT_EQ(combo("dc_cliente")->BoundText(), "5");
    EXPECT_EQ(combo("dc_cliente")->Text(), "Luis - ");
    escribir("txtCliente", "99");
    EXPECT_TRUE(caja("txtCliente")->text().isEmpty());
    EXPECT_TRUE(combo("dc_cliente")->Text().isEmpty());

    DataCombo *d2 = combo("dc_cliente2");
    const int i = d2->findData("6");
    d2->setCurrentIndex(i);
    emit d2->activated(i);
    EXPECT_EQ(caja("txtCliente2")->text(), "6");
}

TEST_F(ConfiguracionesTest, GetValorYSaveFallido)
{
    dbConfiguraciones cfg;
    EXPECT_EQ(cfg.getValor("CLUB_NOMBRE"), "");
    cfg.save("CLUB_NOMBRE", "Nombre del club para usar en reportes", "Viejo");
    hacerFallar("t_configuraciones", "sin lugar");
    EXPECT_THROW(cfg.save("CLUB_NOMBRE", "Nombre del club para usar en reportes", "Nuevo"), DbError);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(cfg.getValor("club_nombre"), "Viejo");
}

namespace {

TEST_F(ConfiguracionesTest, GuardadoFallidoNoGuardaNadaAvisaUnaVezYQuedaAbierto)
{
    dbConfiguraciones().save("CLUB_NOMBRE", "Nombre del club para usar en reportes", "Viejo");
    abrir();
    escribir("txtNombreClub", "Nuevo");
    escribir("txtTel", "4444-5555");
    escribir("fpMinimoRes", "10");
    chk("chkFormato80mm")->setChecked(true);
    // The fifth of the nine writes fails.
    db().execute("CREATE TABLE cuenta (n INTEGER)");
    hacerFallar("t_configuraciones", "sin lugar", "(SELECT count(*) FROM cuenta) >= 5",
                "INSERT INTO cuenta VALUES (1)");
    aceptar();

    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_TRUE(abierto());
    EXPECT_EQ(caja("txtNombreClub")->text(), "Nuevo");
    EXPECT_EQ(caja("txtTel")->text(), "4444-5555");
    EXPECT_TRUE(chk("chkFormato80mm")->isChecked());
    // Nothing of the four writes before the failure stays.
    EXPECT_EQ(guardado("CLUB_NOMBRE"), "Viejo");
    EXPECT_EQ(contar("SELECT count(*) FROM t_configuraciones"), 1);
    EXPECT_FALSE(db().enTransaccion());

    // Once the cause is gone the same dialog saves everything.
    quitarFalla("t_configuraciones");
    msg->limpiar();
    aceptar();
    EXPECT_TRUE(msg->vacio());
    EXPECT_FALSE(abierto());
    EXPECT_EQ(guardado("CLUB_NOMBRE"), "Nuevo");
    EXPECT_EQ(contar("SELECT count(*) FROM t_configuraciones"), 9);
}

} // namespace
