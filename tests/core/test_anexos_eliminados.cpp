// Every list window with its dialog: a row deleted at another station while
// its dialog is open for a change is not given out as saved.
#include "support/Entorno.h"

#include "RegistroCore.h"
#include "RegistroMaestros.h"
#include "RegistroUsuarios.h"
#include "RegistroVentas.h"
#include "platform/Aperturas.h"
#include "platform/ListaAnexo.h"
#include "reservations/AyudaListas.h"

#include <QPointer>

using namespace ayuda;

namespace {

class AnexosEliminadosTest : public Entorno {
protected:
    // The visible window of type T, or nullptr.
    template <class T> static T *visible()
    {
        for (QWidget *w : QApplication::allWidgets())
            if (auto *v = qobject_cast<T *>(w); v && v->isVisible())
                return v;
        return nullptr;
    }
};

TEST_F(AnexosEliminadosTest, UnaFilaBorradaEnOtraEstacionMientrasSeModificaNoSeDaPorGuardada)
{
    registrarVentanasCore();
    registrarVentanasMaestros();
    registrarVentanasVentas();
    registrarVentanasUsuarios();
    struct Caso {
        const char *menu;
        QString codigo;
        const char *alta;
        const char *borrado;
        const char *quedan;
    };
    const Caso casos[] = {
        {"mnu_clientes", "7", "INSERT INTO clientes (id, nombre, telefono) VALUES (7, 'Borrable', '555')",
         "DELETE FROM clientes WHERE id = 7", "SELECT count(*) FROM clientes WHERE id = 7"},
        {"mnu_productos", "BOR",
         "INSERT INTO productos (id, descripcion, precio_compra, precio_venta, activo) VALUES ('BOR', 'Borrable', 1, "
         "2, 1)",
         "DELETE FROM productos WHERE id = 'BOR'", "SELECT count(*) FROM productos WHERE id = 'BOR'"},
        {"mnu_canchas", "BOR", "INSERT INTO canchas (id, descripcion) VALUES ('BOR', 'Borrable')",
         "DELETE FROM canchas WHERE id = 'BOR'", "SELECT count(*) FROM canchas WHERE id = 'BOR'"},
        {"mnu_horarios", "BOR", "INSERT INTO horarios (codigo, descripcion) VALUES ('BOR', '23:00')",
         "DELETE FROM horarios WHERE codigo = 'BOR'", "SELECT count(*) FROM horarios WHERE codigo = 'BOR'"},
        {"mnu_AdminUsuarios", "bor", "INSERT INTO t_usuarios (Codigo, Descripcion) VALUES ('bor', 'Borrable')",
         "DELETE FROM t_usuarios WHERE Codigo = 'bor'", "SELECT count(*) FROM t_usuarios WHERE Codigo = 'bor'"},
    };
    std::unique_ptr<Conexion> otra = otraEstacion();
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.menu);
        db().execute(k.alta);
        msg->limpiar();
        ASSERT_TRUE(Aperturas::abrir(k.menu));
        procesarEventos();
        FrmLista *lista = visible<FrmLista>();
        ASSERT_NE(lista, nullptr);
        const int fila = columna(lista->grilla(), 2).indexOf(k.codigo) + 1;
        ASSERT_GT(fila, 0);
        clicCelda(lista->grilla(), 1, fila);
        QPointer<FrmAnexo> d = visible<FrmAnexo>();
        ASSERT_TRUE(d);
        ASSERT_EQ(d->Tag, "MOD");

        otra->execute(k.borrado);
        auto *descripcion = qobject_cast<QLineEdit *>(d->campo(1));
        ASSERT_NE(descripcion, nullptr);
        escribir(descripcion, "22:00");
        clic(d, 0);
        procesarEventos();
        EXPECT_EQ(msg->textos(), QStringList{"El registro ya no existe (se eliminó mientras se lo modificaba): los "
                                             "cambios no se guardaron."});
        EXPECT_TRUE(!d || !d->isVisible());
        EXPECT_EQ(contar(k.quedan), 0);
        EXPECT_FALSE(columna(lista->grilla(), 2).contains(k.codigo));
        lista->descargar();
        procesarEventos();
    }
}

} // namespace
