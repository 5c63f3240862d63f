// Users list and dialog, the password change, and a new user's first login.
#include "PruebaPrincipal.h"

#include "Frm_S_CambioClave.h"
#include "Frm_S_Usuarios.h"
#include "Frm_S_UsuariosAnexo.h"
#include "Permisos.h"
#include "RegistroUsuarios.h"
#include "platform/Aperturas.h"
#include "reservations/AyudaListas.h"

using namespace ayuda;

namespace {

class Usuarios : public PruebaPrincipal {
protected:
    // Runs the menu item and returns the window it opened.
    template <class T> T *abrirPor(const char *menu)
    {
        registrarVentanasUsuarios();
        EXPECT_TRUE(Aperturas::abrir(menu));
        procesarEventos();
        return Ventanas::existente<T>();
    }
    Frm_S_Usuarios *abrirLista() { return abrirPor<Frm_S_Usuarios>("mnu_AdminUsuarios"); }
    Frm_S_UsuariosAnexo *anexo() { return Ventanas::existente<Frm_S_UsuariosAnexo>(); }
    QString clave(const QString &codigo) { return valor("SELECT Clave FROM t_usuarios WHERE Codigo = ?", {codigo}); }
    int opciones(const QString &codigo)
    {
        return contar("SELECT count(*) FROM t_opcionesasignadas WHERE codigo = ?", {codigo});
    }
    // The last message: text, no icon, OK button only.
    void aviso(const QString &texto)
    {
        ASSERT_FALSE(msg->vacio());
        EXPECT_EQ(msg->ultimo().prompt, texto);
        EXPECT_EQ(msg->ultimo().estilo, vb::OKOnly);
        msg->limpiar();
    }
};

TEST_F(Usuarios, AltaConSuCodigoComoClaveYPrimerIngreso)
{
    auto *l = abrirLista();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->windowTitle(), "Gestión de Usuarios");
    EXPECT_EQ(grilla(l)->text(2, 0), "Código");
    EXPECT_EQ(grilla(l)->text(3, 0), "Descripción");
    EXPECT_EQ(grilla(l)->MaxRows(), 0); // only the administrator exists
    // Four picture buttons (add, delete, print, search), no close button.
    const QStringList consejos{"Agregar", "Eliminar", "Imprimir", "Buscar"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(ayuda::boton(l, i), nullptr);
        EXPECT_EQ(ayuda::boton(l, i)->text(), consejos[i]);
        EXPECT_FALSE(ayuda::boton(l, i)->icon().isNull());
        EXPECT_EQ(ayuda::boton(l, i)->toolTip(), consejos[i]);
    }
    EXPECT_EQ(ayuda::boton(l, 4), nullptr);

    clic(l, 0);
    auto *d = anexo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Gestión De Usuarios - Anexo");
    EXPECT_TRUE(mask(d, 0)->isEnabled());
    clic(d, 0);
    aviso("Debe Llenar el Código");
    EXPECT_EQ(d->focusWidget(), mask(d, 0));
    escribir(mask(d, 0), "juan");
    clic(d, 0);
    aviso("Debe Llenar la Descripción");
    EXPECT_EQ(d->focusWidget(), mask(d, 1));

    escribir(mask(d, 1), "Juan O'Neill");
    clic(d, 0);
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(anexo(), d); // stays open, empty, for the next user
    EXPECT_TRUE(mask(d, 0)->text().isEmpty());
    EXPECT_TRUE(mask(d, 1)->text().isEmpty());
    EXPECT_EQ(columna(grilla(l), 3), QStringList{"Juan O'Neill"});
    // The password is the code, stored as a salted hash.
    EXPECT_NE(clave("juan"), "juan");
    EXPECT_TRUE(Claves::verificar(clave("juan"), "juan"));

    // A code that exists in another letter case, also the administrator's.
    for (const QString codigo : {"JUAN", "Admin"}) {
        escribir(mask(d, 0), codigo);
        escribir(mask(d, 1), "Otro");
        clic(d, 0);
        aviso("Código Existente en Tabla");
        EXPECT_TRUE(mask(d, 0)->text().isEmpty());
        EXPECT_TRUE(mask(d, 1)->text().isEmpty());
        EXPECT_EQ(d->focusWidget(), mask(d, 0));
    }
    EXPECT_EQ(contar("SELECT count(*) FROM t_usuarios"), 2);
    d->descargar();

    // The new user's first login uses its code as password.
    arrancar();
    ingresar("juan", "juan");
    EXPECT_EQ(gUsuarioActual, "juan");
    EXPECT_EQ(msg->textos(), QStringList{"El Usuario no tiene Opciones Habilitadas"});
}

TEST_F(Usuarios, ElAdministradorNoSeListaPeroADMINSi)
{
    crearUsuario("zoe", "x");
    crearUsuario("ana", "x");
    auto *l = abrirLista();
    EXPECT_EQ(columna(grilla(l), 2), (QStringList{"ana", "zoe"}));
    l->descargar();
    procesarEventos();
    // Only the code written exactly "admin" is the hidden built-in row.
    db().execute("UPDATE t_usuarios SET Codigo = 'ADMIN' WHERE Codigo = 'admin'");
    l = abrirLista();
    EXPECT_EQ(columna(grilla(l), 2), (QStringList{"ADMIN", "ana", "zoe"}));
}

TEST_F(Usuarios, ModificarBuscarYEliminarConSusPermisos)
{
    crearUsuario("ana", "x", {"mnu_Venta", "mnu_VentasAlta"});
    crearUsuario("beto", "x", {"mnu_Caja"});
    auto *l = abrirLista();
    Grid *g = grilla(l);

    // Column 1 opens the row: code fixed, name editable; the dialog closes.
    clicCelda(g, 1, 1);
    auto *d = anexo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "MOD");
    EXPECT_EQ(mask(d, 0)->text(), "ana");
    EXPECT_FALSE(mask(d, 0)->isEnabled());
    EXPECT_TRUE(mask(d, 1)->isEnabled());
    escribir(mask(d, 1), "Ana María");
    clic(d, 0);
    procesarEventos();
    EXPECT_EQ(anexo(), nullptr);
    EXPECT_EQ(valor("SELECT Descripcion FROM t_usuarios WHERE Codigo = 'ana'"), "Ana María");
    EXPECT_EQ(g->text(3, 1), "Ana María");

    // Search by the start of the code.
    clic(l, 3);
    d = anexo();
    EXPECT_EQ(d->Tag, "BUS");
    escribir(mask(d, 0), "be");
    clic(d, 0);
    procesarEventos();
    EXPECT_EQ(g->selectedRow(), 2);

    // A failing delete of the user keeps its permissions too.
    hacerFallar("t_usuarios", "no", "1 = 1", {}, "DELETE");
    g->setActiveCell(2, 2);
    clic(l, 1);
    d = anexo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "DEL");
    EXPECT_FALSE(mask(d, 0)->isEnabled());
    EXPECT_FALSE(mask(d, 1)->isEnabled());
    EXPECT_EQ(mask(d, 0)->text(), "beto");
    clic(d, 0);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(opciones("beto"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM t_usuarios WHERE Codigo = 'beto'"), 1);
    EXPECT_EQ(anexo(), d);
    msg->limpiar();

    // Without the fault: no question, user and permissions gone together.
    quitarFalla("t_usuarios");
    clic(d, 0);
    procesarEventos();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(anexo(), nullptr);
    EXPECT_EQ(opciones("beto"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM t_usuarios WHERE Codigo = 'beto'"), 0);
    EXPECT_EQ(opciones("ana"), 2);
    EXPECT_EQ(columna(g, 2), QStringList{"ana"});
}

TEST_F(Usuarios, ImprimirSinPreguntarYEliminarSinFilas)
{
    auto *l = abrirLista();
    clic(l, 1); // nothing to delete on an empty list
    EXPECT_EQ(anexo(), nullptr);
    clic(l, 2);
    for (const auto &m : msg->mostrados())
        EXPECT_NE(m.botones(), vb::YesNo);
}

class CambioClave : public Usuarios {
protected:
    Frm_S_CambioClave *abrir() { return abrirPor<Frm_S_CambioClave>("mnu_UsuariosContrasenia"); }
    QLineEdit *texto(QWidget *w, int i) { return ayuda::caja(w, QStringLiteral("Text_%1").arg(i)); }
    void llenar(QWidget *w, const QStringList &valores)
    {
        for (int i = 0; i < 4; ++i)
            texto(w, i)->setText(valores.value(i));
    }
    // Guardar refuses with texto and leaves the focus on box foco.
    void rechaza(QWidget *w, const QString &texto, int foco)
    {
        clic(w, 1);
        ASSERT_FALSE(msg->vacio());
        EXPECT_EQ(msg->ultimo().prompt, texto);
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_EQ(msg->ultimo().titulo, "Mensaje");
        EXPECT_EQ(w->focusWidget(), this->texto(w, foco)) << texto.toStdString();
        msg->limpiar();
    }
};

TEST_F(CambioClave, LasSieteComprobacionesEnOrdenYElCambio)
{
    crearUsuario("ana", "Vieja 1");
    auto *w = abrir();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Actualización de Claves de Usuario");
    EXPECT_EQ(modal->mostrados().size(), 1);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(texto(w, i)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(texto(w, 0)->echoMode(), QLineEdit::Normal);

    rechaza(w, "Debe llenar Código de Usuario", 0);
    llenar(w, {"ana"});
    rechaza(w, "Debe llenar Clave de Identificación", 1);
    llenar(w, {"ana", "Vieja 1"});
    rechaza(w, "Debe llenar Nueva Clave de Identificación", 2);
    llenar(w, {"ana", "Vieja 1", "nueva"});
    rechaza(w, "Debe llenar la Confirmación de la Clave de Identificación", 3);
    llenar(w, {"nadie", "Vieja 1", "nueva", "nueva"});
    rechaza(w, "Código de Usuario Inexistente", 0);
    llenar(w, {"ana", "vieja 1", "nueva", "nueva"});
    rechaza(w, "Clave de Identificación Errónea", 0);
    llenar(w, {"ana", "Vieja 1", "nueva", "Nueva"});
    rechaza(w, "No coincide la Nueva Clave y la Confirmación de la misma", 2);
    EXPECT_TRUE(Claves::verificar(clave("ana"), "Vieja 1"));

    // "Limpiar" empties the four boxes.
    clic(w, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(texto(w, i)->text().isEmpty());

    // The code in another case finds the user; blanks are a password.
    llenar(w, {"ANA", "Vieja 1", "  ", "  "});
    clic(w, 1);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha cambiado la contraseña"});
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    procesarEventos();
    EXPECT_EQ(Ventanas::existente<Frm_S_CambioClave>(), nullptr);
    EXPECT_EQ(Permisos::verificar("ana", "  "), Permisos::Credenciales::Correctas);
    EXPECT_EQ(Permisos::verificar("ana", "Vieja 1"), Permisos::Credenciales::ClaveErronea);
    EXPECT_NE(clave("ana"), "  ");

    // The administrator's password is changed here as well; the next
    // opening starts empty.
    msg->limpiar();
    w = abrir();
    EXPECT_TRUE(texto(w, 0)->text().isEmpty());
    llenar(w, {"admin", "admin", "Otra", "Otra"});
    clic(w, 1);
    EXPECT_EQ(msg->textos(), QStringList{"Se ha cambiado la contraseña"});
    EXPECT_EQ(Permisos::verificar("admin", "Otra"), Permisos::Credenciales::Correctas);
}

} // namespace
