#pragma once
// User passwords are kept as salted slow hashes, never as plain text.
#include <QString>

namespace Claves {
// A new salted hash of clave (argon2id text form).
QString hash(const QString &clave);
// True when clave matches the stored hash (exact, letter case counts).
bool verificar(const QString &hashGuardado, const QString &clave);
} // namespace Claves
