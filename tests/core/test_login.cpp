// Login, logout and the permissions applied to the main window.
#include "PruebaPrincipal.h"

#include "MenuPrincipal.h"
#include "Module.h"

#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolButton>

class Login : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        crearUsuario("juan", "Secreta1",
                     {"mnu_ReservasG", "mnu_ReservasAgenda", "Mnu_Tablas", "mnu_clientes", "mnu_CajaArqueo"});
        crearUsuario("ana", "ana", {"mnu_Venta", "mnu_VentasAlta", "mnu_productos"});
        crearUsuario("sinpermisos", "clave");
        arrancar();
    }
    QList<int> botonesUsables() const
    {
        QList<int> l;
        for (int i : {2, 3, 4, 5, 7, 8, 9, 10, 12})
            if (usable(i))
                l << i;
        return l;
    }
    void validacion(const QString &texto)
    {
        ASSERT_FALSE(msg->vacio());
        EXPECT_EQ(msg->ultimo().prompt, texto);
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_EQ(msg->ultimo().titulo, tituloAplicacion());
        EXPECT_TRUE(gUsuarioActual.isEmpty());
        EXPECT_NE(login(), nullptr); // the dialog stays open for a new try
        msg->limpiar();
    }
};

TEST_F(Login, DialogoVacioConAceptarPorDefecto)
{
    ASSERT_NE(login(), nullptr);
    EXPECT_TRUE(caja(0)->text().isEmpty());
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_EQ(caja(1)->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(boton(0)->isDefault());
    EXPECT_EQ(boton(0)->text(), "&Aceptar");
    EXPECT_EQ(boton(1)->text(), "&Cancelar");
    EXPECT_EQ(caja(1)->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, caja(1)), '*');
}

TEST_F(Login, EscapeDescargaElDialogoSinTerminar)
{
    QTest::keyClick(login(), Qt::Key_Escape);
    procesarEventos();
    EXPECT_EQ(login(), nullptr);
    EXPECT_EQ(fin->veces(), 0);
    EXPECT_TRUE(visible("mnu_conectarse"));
    EXPECT_FALSE(visible("mnu_desconectarse"));
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Ayuda"}));

    // Cancelar ends the program also from the dialog that Conectarse opens.
    principal->accion("mnu_conectarse")->trigger();
    ASSERT_NE(login(), nullptr);
    boton(1)->click();
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_TRUE(gUsuarioActual.isEmpty());
}

TEST_F(Login, MensajesDeValidacionEnOrden)
{
    ingresar("", "");
    validacion("Debe llenar Código de Usuario");
    EXPECT_EQ(login()->focusWidget(), caja(0));

    ingresar("juan", "");
    validacion("Debe llenar Clave de Identificación");
    EXPECT_EQ(login()->focusWidget(), caja(1));
    EXPECT_EQ(caja(0)->text(), "juan"); // kept for the password

    ingresar("pedro", "x");
    validacion("Código de Usuario Inexistente");
    EXPECT_TRUE(caja(0)->text().isEmpty());
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_EQ(login()->focusWidget(), caja(0));

    ingresar("juan", "otra");
    validacion("Clave de Identificación Errónea");
    EXPECT_TRUE(caja(0)->text().isEmpty());
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_EQ(login()->focusWidget(), caja(0));

    ingresar("juan", "Secreta1");
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(gUsuarioActual, "juan");
    EXPECT_EQ(login(), nullptr);
}

TEST_F(Login, ClaveDistintaSoloEnMayusculasRechazada)
{
    ingresar("juan", "secreta1");
    validacion("Clave de Identificación Errónea");
    ingresar("juan", "SECRETA1");
    validacion("Clave de Identificación Errónea");
}

TEST_F(Login, ClavesGuardadasComoHashNuncaEnTextoPlano)
{
    const QString guardada = valor("SELECT Clave FROM t_usuarios WHERE Codigo = 'admin'");
    EXPECT_NE(guardada, "admin");
    EXPECT_TRUE(guardada.startsWith("$argon2id$"));
    // A row holding the password as plain text is not a way in.
    db().execute("INSERT INTO t_usuarios (Codigo, Descripcion, Clave) VALUES ('viejo', 'Viejo', 'viejo')");
    db().execute("INSERT INTO t_opcionesasignadas VALUES ('viejo', 'mnu_Venta')");
    ingresar("viejo", "viejo");
    validacion("Clave de Identificación Errónea");
}

TEST_F(Login, AdminEnOtrasMayusculasVeTodoPeroLosBotonesSiguenSusFilas)
{
    db().execute("INSERT INTO t_opcionesasignadas VALUES ('admin', 'mnu_clientes')");
    ingresar("Admin", "admin");
    EXPECT_EQ(gUsuarioActual, "Admin");
    for (QAction *a : principal->accionesMenu()) {
        if (a->objectName() != "mnu_conectarse") {
            EXPECT_TRUE(a->isVisible()) << a->objectName().toStdString();
        }
    }
    EXPECT_FALSE(visible("mnu_conectarse"));
    EXPECT_TRUE(barraVisible());
    EXPECT_EQ(botonesUsables(), (QList<int>{5, 12}));
    EXPECT_EQ(principal->windowTitle(), captionBase() + " - [ Conectado como: Admin]");
    EXPECT_TRUE(msg->vacio());
}

TEST_F(Login, AdminExactoTieneTodosLosBotones)
{
    ingresar("admin", "admin");
    EXPECT_EQ(botonesUsables(), (QList<int>{2, 3, 4, 5, 7, 8, 9, 10, 12}));
    EXPECT_EQ(menusVisibles().size(), 9);
}

TEST_F(Login, UsuarioConAlgunasOpciones)
{
    ingresar("JUAN", "Secreta1"); // the code is found in any letter case
    EXPECT_EQ(gUsuarioActual, "JUAN");
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_ReservasG", "Mnu_Tablas", "mnu_Ayuda"}));
    EXPECT_TRUE(visible("mnu_ReservasAgenda"));
    EXPECT_FALSE(visible("mnu_ReservasListado"));
    EXPECT_TRUE(visible("mnu_clientes"));
    EXPECT_FALSE(visible("mnu_canchas"));
    EXPECT_TRUE(visible("mnu_Soporte"));
    EXPECT_TRUE(visible("mnu_desconectarse"));
    EXPECT_FALSE(visible("mnu_conectarse"));
    // Granted without its menu: the menu stays hidden, so the item cannot be reached.
    EXPECT_FALSE(visible("mnu_Caja"));
    EXPECT_EQ(botonesUsables(), (QList<int>{2, 5, 10, 12}));

    // An unavailable button does not react to a click.
    auto *venta = principal->findChild<QToolButton *>("ToolBar_3");
    QSignalSpy disparos(principal->botonBarra(3), &QAction::triggered);
    venta->click();
    EXPECT_EQ(disparos.count(), 0);
    principal->findChild<QToolButton *>("ToolBar_12")->click();
    EXPECT_EQ(escritorio->abiertas().size(), 1);
}

TEST_F(Login, UsuarioSinOpcionesIngresaSinMenusNiBarra)
{
    ingresar("sinpermisos", "clave");
    EXPECT_EQ(msg->textos(), QStringList{"El Usuario no tiene Opciones Habilitadas"});
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(gUsuarioActual, "sinpermisos");
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Ayuda"}));
    EXPECT_FALSE(barraVisible());
    EXPECT_TRUE(visible("mnu_desconectarse"));
    EXPECT_FALSE(visible("mnu_conectarse"));
    EXPECT_EQ(principal->windowTitle(), captionBase() + " - [ Conectado como: sinpermisos]");
    EXPECT_EQ(login(), nullptr);
}

TEST_F(Login, DesconectarseYEntrarComoOtroUsuario)
{
    ingresar("juan", "Secreta1");
    ASSERT_EQ(botonesUsables(), (QList<int>{2, 5, 10, 12}));
    auto *otra = new Formulario;
    Ventanas::registrar(otra, "Frm_T_Prueba");
    Ventanas::mostrarEnArea(otra);

    principal->accion("mnu_desconectarse")->trigger();
    procesarEventos();
    EXPECT_FALSE(Ventanas::cargadas().contains("Frm_T_Prueba"));
    EXPECT_TRUE(gUsuarioActual.isEmpty());
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Ayuda"}));
    EXPECT_FALSE(barraVisible());
    EXPECT_FALSE(visible("mnu_desconectarse"));
    EXPECT_TRUE(visible("mnu_conectarse"));
    EXPECT_EQ(principal->windowTitle(), captionBase());
    EXPECT_EQ(modal->mostrados(), (QStringList{"Frm_S_Login", "Frm_S_Login"}));

    ingresar("ana", "ana");
    EXPECT_EQ(gUsuarioActual, "ana");
    EXPECT_EQ(principal->windowTitle(), captionBase() + " - [ Conectado como: ana]");
    EXPECT_EQ(menusVisibles(), (QStringList{"mnu_Sistema", "mnu_Venta", "mnu_Ayuda"}));
    EXPECT_FALSE(visible("mnu_ReservasAgenda"));
    EXPECT_TRUE(visible("mnu_VentasAlta"));
    // Buttons unavailable for juan become usable for ana, and the other way round.
    EXPECT_EQ(botonesUsables(), (QList<int>{3, 4, 12}));
}

TEST_F(Login, CancelarTrasDesconectarseTerminaElPrograma)
{
    ingresar("juan", "Secreta1");
    principal->accion("mnu_desconectarse")->trigger();
    ASSERT_NE(login(), nullptr);
    caja(0)->setText("ana");
    caja(1)->setText("ana");
    boton(1)->click();
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_TRUE(caja(0)->text().isEmpty());
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_TRUE(gUsuarioActual.isEmpty());
}
