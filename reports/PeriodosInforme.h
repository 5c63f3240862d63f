#pragma once
// Period presets of the grid reports: the texts of each window's preset list
// and the days each one sets, computed from a given "today" so that the
// arithmetic does not depend on the moment it runs.
#include <QDate>
#include <QList>
#include <QString>
#include <functional>

namespace PeriodosInforme {

struct Periodo {
    QDate desde;
    QDate hasta;
};

// One entry of a preset list. A fixed preset has a rule giving the period
// for today; the free range has none (the user types both dates).
struct Preset {
    QString texto;
    std::function<Periodo(const QDate &hoy)> regla;
    bool libre() const { return !regla; }
};

// Court occupation statistics: the last 90, 180 or 365 days, or two dates.
QList<Preset> estadistica();
// Client ranking: this month, last month, the current month and the three
// or six before it (calendar months), or two dates.
QList<Preset> ranking();
// Client loyalty: next, this and last week (Monday to Sunday), the last 15
// days, this month, the last 2 and 3 months, or a range of dates.
QList<Preset> fidelizacion();

// desde .. hasta widened to whole weeks: desde goes back by the weekday of
// hasta (Monday 1 .. Sunday 7) minus 1 days, hasta forward to its Sunday.
// Both set to a day d, it gives the Monday and the Sunday of d's week.
Periodo semanasCompletas(const QDate &desde, const QDate &hasta);

} // namespace PeriodosInforme
