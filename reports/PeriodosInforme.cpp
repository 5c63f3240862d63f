#include "PeriodosInforme.h"

#include "AppUtils.h"

namespace PeriodosInforme {

namespace {

Periodo mesDe(const QDate &d) { return {gAppUtils.firstDayOfMonth(d), gAppUtils.lastDayOfMonth(d)}; }

// From the first day of the month meses calendar months back to the last day
// of the current month (QDate::addMonths keeps the day or takes the month's
// last one: 31 March minus one month is the last day of February).
Periodo desdeMesesAtras(const QDate &hoy, int meses)
{
    return {gAppUtils.firstDayOfMonth(hoy.addMonths(-meses)), gAppUtils.lastDayOfMonth(hoy)};
}

Periodo ultimosDias(const QDate &hoy, int dias) { return {hoy.addDays(-dias), hoy}; }

Periodo semanaDe(const QDate &d) { return semanasCompletas(d, d); }

} // namespace

Periodo semanasCompletas(const QDate &desde, const QDate &hasta)
{
    const int w = hasta.dayOfWeek();
    return {desde.addDays(-(w - 1)), hasta.addDays(7 - w)};
}

QList<Preset> estadistica()
{
    return {
        {QStringLiteral("Ultimos 3 meses"), [](const QDate &h) { return ultimosDias(h, 90); }},
        {QStringLiteral("Ultimos 6 meses"), [](const QDate &h) { return ultimosDias(h, 180); }},
        {QStringLiteral("Ultimos 12 meses"), [](const QDate &h) { return ultimosDias(h, 365); }},
        {QStringLiteral("Entre 2 fechas"), {}},
    };
}

QList<Preset> ranking()
{
    return {
        {QStringLiteral("Este mes"), [](const QDate &h) { return mesDe(h); }},
        {QStringLiteral("El mes pasado"), [](const QDate &h) { return mesDe(h.addMonths(-1)); }},
        {QStringLiteral("Ultimos 3 meses"), [](const QDate &h) { return desdeMesesAtras(h, 3); }},
        {QStringLiteral("Ultimos 6 meses"), [](const QDate &h) { return desdeMesesAtras(h, 6); }},
        {QStringLiteral("Entre dos fechas"), {}},
    };
}

QList<Preset> fidelizacion()
{
    return {
        {QStringLiteral("Clientes sin turno la semana próxima"), [](const QDate &h) { return semanaDe(h.addDays(7)); }},
        {QStringLiteral("Clientes sin turnos esta semana"), [](const QDate &h) { return semanaDe(h); }},
        {QStringLiteral("Clientes sin turnos la semana pasada"),
         [](const QDate &h) { return semanaDe(h.addDays(-7)); }},
        {QStringLiteral("Clientes sin turnos hace 15 días"), [](const QDate &h) { return ultimosDias(h, 15); }},
        {QStringLiteral("Clientes sin turnos el ultimo mes"), [](const QDate &h) { return mesDe(h); }},
        {QStringLiteral("Clientes sin turnos ultimos 2 meses"), [](const QDate &h) { return desdeMesesAtras(h, 1); }},
        {QStringLiteral("Clientes sin turnos ultimos 3 meses"), [](const QDate &h) { return desdeMesesAtras(h, 2); }},
        {QStringLiteral("Clientes sin turnos en un rango de fechas"), {}},
    };
}

} // namespace PeriodosInforme
