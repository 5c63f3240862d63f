#pragma once
// Fixture for the main window and the login: the program's world of Entorno,
// the program's end and the desktop recorded, helpers to log in.
#include "Aplicacion.h"
#include "Claves.h"
#include "Frm_Main.h"
#include "Frm_S_Login.h"
#include "platform/Escritorio.h"
#include "support/Entorno.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

class PruebaPrincipal : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        fin = std::make_unique<FinDePrueba>();
        escritorio = std::make_unique<EscritorioDePrueba>();
    }
    void TearDown() override
    {
        Entorno::TearDown();
        Aplicacion::fijarTamanoPantalla(QSize());
        escritorio.reset();
        fin.reset();
    }

    Frm_Main *abrirPrincipal() { return principal = Ventanas::obtener<Frm_Main>(); }
    bool visible(const QString &nombre) const { return principal->accion(nombre)->isVisible(); }
    bool barraVisible() const { return !principal->barra()->isHidden(); }
    bool usable(int boton) const { return principal->botonBarra(boton)->isEnabled(); }
    // Level-0 menus shown, in menu-bar order.
    QStringList menusVisibles() const
    {
        QStringList l;
        for (QAction *a : principal->accionesMenu())
            if (a->property("HelpContextID").toInt() == 0 && a->isVisible())
                l << a->objectName();
        return l;
    }
    QString captionBase() const
    {
        return tituloAplicacion() + QStringLiteral(" versión %1.%2.%3")
                                        .arg(CLUB_VERSION_MAJOR)
                                        .arg(CLUB_VERSION_MINOR)
                                        .arg(CLUB_VERSION_PATCH);
    }

    Frm_S_Login *login() const { return Ventanas::existente<Frm_S_Login>(); }
    QLineEdit *caja(int i) const { return login()->findChild<QLineEdit *>(QStringLiteral("Text_%1").arg(i)); }
    QPushButton *boton(int i) const { return login()->findChild<QPushButton *>(QStringLiteral("Command_%1").arg(i)); }
    // Types into the open login dialog and presses Aceptar.
    void ingresar(const QString &codigo, const QString &clave)
    {
        ASSERT_NE(login(), nullptr);
        caja(0)->setText(codigo);
        caja(1)->setText(clave);
        boton(0)->click();
        procesarEventos();
    }
    // Main window loaded and the login dialog of its first activation open.
    void arrancar()
    {
        abrirPrincipal();
        principal->Form_Activate();
    }

    void crearUsuario(const QString &codigo, const QString &clave, const QStringList &opciones = {})
    {
        db().execute(QStringLiteral("INSERT INTO t_usuarios (Codigo, Descripcion, Clave) VALUES (?, ?, ?)"),
                     {codigo, codigo, Claves::hash(clave)});
        for (const QString &o : opciones)
            db().execute(QStringLiteral("INSERT INTO t_opcionesasignadas VALUES (?, ?)"), {codigo, o});
    }

    Frm_Main *principal = nullptr;
    std::unique_ptr<FinDePrueba> fin;
    std::unique_ptr<EscritorioDePrueba> escritorio;
};
