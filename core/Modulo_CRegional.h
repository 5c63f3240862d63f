#pragma once
// Reading and rewriting the regional settings the program depends on
// ("." decimal, "," thousands, day-first dates).
#include <QString>

// The text of a locale item (ItemRegional numbers) as the program sees it.
QString LeeConfigRegional(int item);

// Writes the Spanish (Argentina) values the program needs, in this order:
// short date "dd/MM/yyyy", long date, decimal ".", thousands ",", time
// "HH:mm:ss", currency decimal ".", currency thousands ",", symbol "$".
// Each failed write leaves its message in error (the last one wins). True
// when every write succeeded and the separators read back as expected.
bool AjustaConfigRegional(QString &error);
