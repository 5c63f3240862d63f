#pragma once
// The rows of the grid reports, each computed by one set-based statement:
// court occupation, client ranking and the regular clients who stopped
// booking. Periods are whole days, desde and hasta included.
#include <QDate>
#include <QList>
#include <QString>

namespace ConsultasInformes {

// One court: its collected (COB) reservations dated in the period and the sum
// of their importe_total. Every court is listed, also with 0 and 0.
struct FilaTurnos {
    QString id;
    QString descripcion;
    qint64 cantidad = 0;
    double importe = 0;
};
// Courts ordered by description (Spanish order). A reservation counts only
// for the court it names: parent and child courts are apart.
QList<FilaTurnos> turnosPorCancha(const QDate &desde, const QDate &hasta);

// One client: the sum of its sales from 00:00:00 of desde to 23:59:59 of
// hasta plus the sum of its collected reservations dated in the period.
struct FilaRanking {
    qint64 id = 0;
    QString nombre;
    double importe = 0;
};
// Every client, also with 0, in the order of their ids.
QList<FilaRanking> rankingClientes(const QDate &desde, const QDate &hasta);

// A client with at least minimo reservations on record (any date, any state)
// and none dated in the period (any state).
struct FilaFideliza {
    qint64 id = 0;
    QString nombre;
    QString telefono;
    QDate ultimoTurno;       // latest date among all its reservations
    QString canchaFrecuente; // description of the court it booked most
    QDate fechaFrecuente;    // a reservation on that court: its date ...
    QString horaFrecuente;   // ... and its time slot's description
    QString comentarios;
};
// Ordered by name (Spanish order), then id. The court booked most is the one
// with the most reservations; on a tie the lowest court id (compared ignoring
// case). Its reservation is the client's earliest on that court (date, then
// id).
QList<FilaFideliza> clientesSinTurnos(int minimo, const QDate &desde, const QDate &hasta);

} // namespace ConsultasInformes
