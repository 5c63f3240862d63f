#include "FuncionesSql.h"

#include <cstddef>
#include <new>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

int sinMayuscula(unsigned char u) { return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u; }

// Two texts as NOCASE orders them: bytes compared unsigned, ASCII letters
// lowered, a prefix first.
int compararSinMayusculas(const char *a, size_t na, const char *b, size_t nb)
{
    const size_t n = na < nb ? na : nb;
    for (size_t i = 0; i < n; ++i) {
        const int d = sinMayuscula(static_cast<unsigned char>(a[i])) - sinMayuscula(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return na < nb ? -1 : na > nb ? 1 : 0;
}

struct Grupo {
    size_t inicio; // of the clave, as its first row wrote it, in Estado::textos
    size_t largo;
    long long cuenta;
};

// A client has a few dozen claves, most seen once or twice: the groups are
// kept ordered by clave, so a row written as the previous one counts after
// one comparison of its bytes (rows ordered by clave, as an index gives
// them), and any other finds its group by a binary search. Lives in the
// aggregate's own memory; its claves' bytes follow one another in textos.
struct Estado {
    std::string textos;
    std::vector<Grupo> grupos;
    size_t ultimo = 0; // the last row's group

    int comparar(const char *t, size_t n, const Grupo &g) const
    {
        return compararSinMayusculas(t, n, textos.data() + g.inicio, g.largo);
    }

    void contar(const char *t, size_t n)
    {
        if (ultimo < grupos.size()) {
            // Claves are short: a loop beats a call to memcmp.
            Grupo &g = grupos[ultimo];
            if (g.largo == n) {
                const char *u = textos.data() + g.inicio;
                size_t i = 0;
                while (i < n && t[i] == u[i])
                    ++i;
                if (i == n) {
                    ++g.cuenta;
                    return;
                }
            }
        }
        size_t pos = grupos.size();
        if (!grupos.empty() && comparar(t, n, grupos.back()) <= 0) {
            size_t a = 0;
            size_t b = grupos.size();
            while (a < b) {
                const size_t m = (a + b) / 2;
                if (comparar(t, n, grupos[m]) > 0)
                    a = m + 1;
                else
                    b = m;
            }
            pos = a;
        }
        if (pos == grupos.size() || comparar(t, n, grupos[pos]) != 0) {
            grupos.insert(grupos.begin() + static_cast<std::ptrdiff_t>(pos), Grupo{textos.size(), n, 0});
            textos.append(t, n);
        }
        ultimo = pos;
        ++grupos[pos].cuenta;
    }
};

// The aggregate's memory starts zeroed: the state is built in it on the
// first row and destroyed by the final call, which SQLite makes whenever a
// row was given.
struct Contexto {
    bool listo;
    alignas(Estado) unsigned char memoria[sizeof(Estado)];
    Estado &estado() { return *std::launder(reinterpret_cast<Estado *>(memoria)); }
};

// Runs once per row of a long scan: only the text's bytes are read and
// compared; memory is taken for a new clave only.
void pasoClaveFrecuente(sqlite3_context *ctx, int, sqlite3_value **args)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    if (!t)
        return; // Null
    const auto n = static_cast<size_t>(sqlite3_value_bytes(args[0]));
    auto *c = static_cast<Contexto *>(sqlite3_aggregate_context(ctx, sizeof(Contexto)));
    if (!c) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    try {
        if (!c->listo) {
            Estado *e = new (c->memoria) Estado;
            c->listo = true;
            // Room for a client's courts taken once: growing step by step
            // cost more than the counting.
            e->grupos.reserve(32);
            e->textos.reserve(256);
        }
        c->estado().contar(t, n);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(ctx);
    }
}

void finClaveFrecuente(sqlite3_context *ctx)
{
    auto *c = static_cast<Contexto *>(sqlite3_aggregate_context(ctx, 0));
    if (!c || !c->listo)
        return; // no row with a clave: Null
    Estado &e = c->estado();
    // Groups are ordered by clave: the first with the highest count has the
    // lowest clave among those tied.
    const Grupo *mejor = nullptr;
    for (const Grupo &g : e.grupos)
        if (!mejor || g.cuenta > mejor->cuenta)
            mejor = &g;
    if (mejor)
        sqlite3_result_text(ctx, e.textos.data() + mejor->inicio, static_cast<int>(mejor->largo), SQLITE_TRANSIENT);
    e.~Estado();
    c->listo = false;
}

} // namespace

void registrarFuncionesSql(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "CLAVE_FRECUENTE", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                               pasoClaveFrecuente, finClaveFrecuente, nullptr);
}
