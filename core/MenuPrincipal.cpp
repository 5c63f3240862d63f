#include "MenuPrincipal.h"

namespace MenuPrincipal {

const std::vector<Entrada> &entradas()
{
    static const std::vector<Entrada> e = {
        {QStringLiteral("&Sistema"), QStringLiteral("mnu_Sistema"), 0},
        {QStringLiteral("-"), QStringLiteral("mnu_raya"), 1},
        {QStringLiteral("&Conectarse"), QStringLiteral("mnu_conectarse"), 1},
        {QStringLiteral("&Desconectarse"), QStringLiteral("mnu_desconectarse"), 1},
        {QStringLiteral("&Salir"), QStringLiteral("mnu_Salir"), 1},
        {QStringLiteral("&Reservas"), QStringLiteral("mnu_ReservasG"), 0},
        {QStringLiteral("&Agenda"), QStringLiteral("mnu_ReservasAgenda"), 1},
        {QStringLiteral("&Listado"), QStringLiteral("mnu_ReservasListado"), 1},
        {QStringLiteral("Ventas"), QStringLiteral("mnu_Venta"), 0},
        {QStringLiteral("Alta"), QStringLiteral("mnu_VentasAlta"), 1},
        {QStringLiteral("Anulación"), QStringLiteral("mnu_VentaAnulación"), 1},
        {QStringLiteral("Buscar"), QStringLiteral("mnu_VentasBuscar"), 1},
        {QStringLiteral("Caja"), QStringLiteral("mnu_Caja"), 0},
        {QStringLiteral("Inicio de Saldo de Caja"), QStringLiteral("mnu_InicioCaja"), 1},
        {QStringLiteral("Ingreso de Efectivo"), QStringLiteral("mnu_CajaIngresoEfectivo"), 1},
        {QStringLiteral("Extracción de Efectivo"), QStringLiteral("mnu_CajaExtraccionEfectivo"), 1},
        {QStringLiteral("Arqueo y Cierre de Caja"), QStringLiteral("mnu_CajaArqueo"), 1},
        {QStringLiteral("Listado de Arqueos"), QStringLiteral("mnu_ListadoArqueosCaja"), 1},
        {QStringLiteral("Conceptos de movimientos"), QStringLiteral("mnu_CajaConceptos"), 1},
        {QStringLiteral("&Herramientas"), QStringLiteral("mnu_Herramientas"), 0},
        {QStringLiteral("&Movimiento de Stock"), QStringLiteral("mnu_mstock"), 1},
        {QStringLiteral("&Base de datos"), QStringLiteral("mnu_uti"), 1},
        {QStringLiteral("&Generar Backup"), QStringLiteral("mnu_backup"), 2},
        {QStringLiteral("&Restaurar Backup"), QStringLiteral("mnu_restaurarbkp"), 2},
        {QStringLiteral("Resetear base"), QStringLiteral("mnu_BaseReset"), 2},
        {QStringLiteral("&Opciones"), QStringLiteral("mnu_Opciones"), 1},
        {QStringLiteral("Configuración &e-mail"), QStringLiteral("mnu_ConfiguraEmail"), 1},
        {QStringLiteral("&Informes"), QStringLiteral("Mnu_Informes"), 0},
        {QStringLiteral("Informe de ventas y rentabilidad"), QStringLiteral("mnu_InformeIngresos"), 1},
        {QStringLiteral("Informe de movimientos de caja por concepto"), QStringLiteral("mnu_InfCajaConcepto"), 1},
        {QStringLiteral("Estadística de turnos"), QStringLiteral("mnu_EstadisticaHorasOcupadas"), 1},
        {QStringLiteral("Ranking de clientes"), QStringLiteral("mnu_InfRankingClientes"), 1},
        {QStringLiteral("Fidelización de clientes"), QStringLiteral("mnu_ControlFidelidad"), 1},
        {QStringLiteral("Existencia de productos / stock"), QStringLiteral("mnu_ExistenciaArticulos"), 1},
        {QStringLiteral("Cierres de caja"), QStringLiteral("mnu_CierresCaja"), 1},
        {QStringLiteral("&Movimientos de stock"), QStringLiteral("mnu_MovimientosStock"), 1},
        {QStringLiteral("&Maestros"), QStringLiteral("Mnu_Tablas"), 0},
        {QStringLiteral("&Canchas"), QStringLiteral("mnu_canchas"), 1},
        {QStringLiteral("&Clientes"), QStringLiteral("mnu_clientes"), 1},
        {QStringLiteral("&Horarios"), QStringLiteral("mnu_horarios"), 1},
        {QStringLiteral("&Canchas Valores"), QStringLiteral("mnu_canchasvalores"), 1},
        {QStringLiteral("&Productos"), QStringLiteral("mnu_productos"), 1},
        {QStringLiteral("&Usuarios"), QStringLiteral("mnu_Usuarios"), 0},
        {QStringLiteral("&Administrar"), QStringLiteral("mnu_AdminUsuarios"), 1},
        {QStringLiteral("&Asignar Permisos"), QStringLiteral("mnu_PermisosUsuarios"), 1},
        {QStringLiteral("&Cambio de Contraseña"), QStringLiteral("mnu_UsuariosContrasenia"), 1},
        {QStringLiteral("A&yuda"), QStringLiteral("mnu_Ayuda"), 0},
        {QStringLiteral("&Manual de usuario"), QStringLiteral("mnu_ManualUsuario"), 1},
        {QStringLiteral("&Soporte técnico"), QStringLiteral("mnu_Soporte"), 1},
        {QStringLiteral("&Acerca de ..."), QStringLiteral("mnu_AcercaDe"), 1},
    };
    return e;
}

const QStringList &menusConPermiso()
{
    static const QStringList m = {QStringLiteral("mnu_ReservasG"), QStringLiteral("mnu_Venta"),
                                  QStringLiteral("mnu_Caja"),      QStringLiteral("mnu_Herramientas"),
                                  QStringLiteral("Mnu_Informes"),  QStringLiteral("Mnu_Tablas"),
                                  QStringLiteral("mnu_Usuarios")};
    return m;
}

const std::vector<Boton> &botones()
{
    static const std::vector<Boton> b = {
        {1, {}, {}, {}, {}},
        {2, QStringLiteral("Reservas"), QStringLiteral("Administración de Reservas de Canchas"),
         QStringLiteral("mnu_ReservasAgenda"), QStringLiteral("mnu_ReservasAgenda")},
        {3, QStringLiteral("Venta"), QStringLiteral("Alta de Facturación"), QStringLiteral("mnu_VentasAlta"),
         QStringLiteral("mnu_VentasAlta")},
        {4, QStringLiteral("Productos"), QStringLiteral("Lista de Productos"), QStringLiteral("mnu_productos"),
         QStringLiteral("mnu_productos")},
        {5, QStringLiteral("Clientes"), QStringLiteral("Administración de Clientes"), QStringLiteral("mnu_clientes"),
         QStringLiteral("mnu_clientes")},
        {6, {}, {}, {}, {}},
        {7, QStringLiteral("Inicio de Caja"), {}, QStringLiteral("mnu_InicioCaja"), QStringLiteral("mnu_InicioCaja")},
        {8,
         QStringLiteral("Ingreso de Efectivo"),
         {},
         QStringLiteral("mnu_CajaIngresoEfectivo"),
         QStringLiteral("mnu_CajaIngresoEfectivo")},
        {9,
         QStringLiteral("Extracción de Efectivo"),
         {},
         QStringLiteral("mnu_CajaExtraccionEfectivo"),
         QStringLiteral("mnu_CajaExtraccionEfectivo")},
        {10, QStringLiteral("Arqueo de Caja"), {}, QStringLiteral("mnu_CajaArqueo"), QStringLiteral("mnu_CajaArqueo")},
        {11, {}, {}, {}, {}},
        {12, QStringLiteral("Ayuda"), {}, {}, QStringLiteral("mnu_ManualUsuario")},
    };
    return b;
}

} // namespace MenuPrincipal
