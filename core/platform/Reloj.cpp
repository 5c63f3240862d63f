#include "Reloj.h"

namespace {
QDateTime g_fijo;
}

QDateTime Reloj::ahora()
{
    const QDateTime t = g_fijo.isValid() ? g_fijo : QDateTime::currentDateTime();
    // Whole seconds: moments are stored to the second.
    return t.addMSecs(-t.time().msec());
}

QDate Reloj::hoy() { return ahora().date(); }

void Reloj::fijar(const QDateTime &momento) { g_fijo = momento; }
