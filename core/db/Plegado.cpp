#include "Plegado.h"

#include <QString>
#include <sqlite3.h>

namespace {

// Folds s into r (both n bytes) when every character is ASCII or Latin-1,
// where the fold keeps the length in UTF-8; false for any other character.
bool plegarLatin1(const unsigned char *s, int n, unsigned char *r)
{
    for (int i = 0; i < n; ++i) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            r[i] = b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
            continue;
        }
        if (i + 1 >= n || (b != 0xC2 && b != 0xC3))
            return false;
        unsigned char c = s[i + 1];
        if (b == 0xC2 && c == 0xB5) // µ folds to Greek mu, of another length
            return false;
        // À to Þ but ×: their small letter is 0x20 further on.
        if (b == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97)
            c = static_cast<unsigned char>(c + 0x20);
        r[i] = b;
        r[++i] = c;
    }
    return true;
}

void plegarSql(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    if (sqlite3_value_type(v) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *s = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    auto *r = static_cast<unsigned char *>(sqlite3_malloc(n > 0 ? n : 1));
    if (!r) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    // Codes and Spanish names fold byte by byte, without leaving UTF-8.
    if (plegarLatin1(s, n, r)) {
        sqlite3_result_text(ctx, reinterpret_cast<const char *>(r), n, sqlite3_free);
        return;
    }
    sqlite3_free(r);
    const QByteArray u = QString::fromUtf8(reinterpret_cast<const char *>(s), n).toCaseFolded().toUtf8();
    sqlite3_result_text(ctx, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

} // namespace

void Plegado::registrar(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "plegar", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, plegarSql, nullptr,
                               nullptr, nullptr);
}
