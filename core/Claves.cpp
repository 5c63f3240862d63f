#include "Claves.h"

#include <sodium.h>
#include <stdexcept>

namespace {
void iniciar()
{
    static const bool ok = sodium_init() >= 0;
    if (!ok)
        throw std::runtime_error("libsodium no pudo iniciarse");
}
} // namespace

QString Claves::hash(const QString &clave)
{
    iniciar();
    const QByteArray c = clave.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, c.constData(), static_cast<unsigned long long>(c.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("memoria insuficiente para calcular la clave");
    return QString::fromLatin1(out);
}

bool Claves::verificar(const QString &hashGuardado, const QString &clave)
{
    iniciar();
    const QByteArray h = hashGuardado.toLatin1();
    if (h.isEmpty() || h.size() >= static_cast<int>(crypto_pwhash_STRBYTES))
        return false;
    const QByteArray c = clave.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), c.constData(), static_cast<unsigned long long>(c.size())) == 0;
}
