#pragma once
// World of the booking window tests: three courts (C1 with its parent M1 and
// its child C2), three slots whose descriptions sort as text, prices of C1,
// the settings the editor reads, and the clock on Friday 15 March 2024.
#include "support/Entorno.h"
#include "support/RatonGrid.h"

#include "Frm_T_ReservaCanchas.h"
#include "Frm_T_ReservaCanchasAnexo.h"
#include "RegistroReservas.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "platform/Grid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class ReservasVentanas : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        gUsuarioActual = "ana";
        db().execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES ('C1', 'Central', 'M1'), "
                     "('C2', 'Hija', 'C1'), ('M1', 'Madre', '')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H10', '10:00'), ('H18', '18:00'), "
                     "('H9', '9:00')");
        db().execute("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES ('C1', 'H18', 1000), "
                     "('C1', 'H10', 800), ('C2', 'H18', 700)");
        db().execute("INSERT INTO clientes (nombre, telefono) VALUES ('Ana', '555')");
        ajuste("CAN_MOD_PRECIO_RESERVA", "1");
        ajuste("DEFAULT_CLIENTE_RESERVAS", "1");
        registrarVentanasReservas();
    }
    void ajuste(const QString &codigo, const QString &v)
    {
        db().execute("INSERT OR REPLACE INTO t_configuraciones (codigo, valor) VALUES (?, ?)", {codigo, v});
    }
    // A booking written straight into the table; returns its id.
    qint64 reservar(const QString &cancha, const QDate &fecha, const QString &horario, const QString &estado,
                    double anticipo = 0)
    {
        db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_anticipo, "
                     "importe_total, importe_saldo) VALUES (2, ?, ?, ?, ?, ?, 1000, ?)",
                     {cancha, fecha, horario, estado, anticipo, 1000 - anticipo});
        return db().lastInsertId();
    }

    Frm_T_ReservaCanchas *abrirAgenda()
    {
        EXPECT_TRUE(Aperturas::abrir("mnu_ReservasAgenda"));
        agenda = Ventanas::existente<Frm_T_ReservaCanchas>();
        return agenda;
    }
    Grid *semana() { return agenda->findChild<Grid *>("vaSpread"); }
    template <class T> static T *c(QWidget *w, const char *nombre) { return w->findChild<T *>(nombre); }
    static QLineEdit *caja(QWidget *w, const char *n) { return c<QLineEdit>(w, n); }
    static DataCombo *combo(QWidget *w, const char *n) { return c<DataCombo>(w, n); }
    static void clic(QWidget *w, const char *boton) { c<QPushButton>(w, boton)->click(); }
    // The user picks the row with that key in a picker.
    static void elegir(DataCombo *d, const QString &clave)
    {
        const int i = d->findData(clave);
        ASSERT_GE(i, 0) << clave.toStdString();
        d->setCurrentIndex(i);
        emit d->activated(i);
    }
    // The user replaces the text of a box by typing.
    static void tipear(QLineEdit *e, const QString &texto)
    {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, texto);
    }
    // Grid cell of a weekday (1 Monday) and slot row (2 = "10:00", 3 = "18:00", 4 = "9:00").
    static int dia(int d) { return Frm_T_ReservaCanchas::kColLunes + d - 1; }

    Frm_T_ReservaCanchas *agenda = nullptr;
};
