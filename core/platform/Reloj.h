#pragma once
// The one clock of the program: "now" and "today" come from here so that
// tests can set them.
#include <QDateTime>

namespace Reloj {
QDateTime ahora();
QDate hoy();
// Fixes the clock at a moment (tests); an invalid moment returns to real time.
void fijar(const QDateTime &momento);
} // namespace Reloj
