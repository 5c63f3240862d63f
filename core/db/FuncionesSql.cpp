#include "FuncionesSql.h"

#include <cstddef>
#include <new>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

unsigned char sinMayuscula(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

struct Texto {
    const char *p;
    size_t n;
};

Texto texto(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return {t ? t : "", t ? static_cast<size_t>(sqlite3_value_bytes(v)) : 0};
}

// A text against a clave already lowered, as NOCASE orders them: bytes
// compared unsigned, ASCII letters lowered, a prefix first.
int compararClave(Texto t, const std::string &clave)
{
    const size_t n = t.n < clave.size() ? t.n : clave.size();
    for (size_t i = 0; i < n; ++i) {
        const int d = sinMayuscula(t.p[i]) - static_cast<unsigned char>(clave[i]);
        if (d != 0)
            return d;
    }
    return t.n < clave.size() ? -1 : t.n > clave.size() ? 1 : 0;
}

struct Grupo {
    std::string clave; // ASCII letters lowered: equal and ordered as NOCASE
    long long cuenta = 0;
    std::string orden; // of the chosen row
    long long valor = 0;
};

// A client has a few dozen claves, most seen once or twice: the groups are
// kept ordered by clave, so a row finds its group by one comparison when the
// rows come ordered by clave (as an index gives them), by a binary search
// otherwise.
struct Estado {
    std::vector<Grupo> grupos;
    size_t ultimo = 0; // the last row's group
};

Estado *estado(sqlite3_context *ctx, bool crear)
{
    auto **p = static_cast<Estado **>(sqlite3_aggregate_context(ctx, crear ? sizeof(Estado *) : 0));
    if (!p)
        return nullptr;
    if (!*p && crear) {
        *p = new (std::nothrow) Estado;
        if (*p)
            (*p)->grupos.reserve(32); // moving the groups as it grows costs more
    }
    return *p;
}

Grupo &grupoDe(Estado &e, Texto clave)
{
    auto &gs = e.grupos;
    if (e.ultimo < gs.size() && compararClave(clave, gs[e.ultimo].clave) == 0)
        return gs[e.ultimo];
    size_t pos = gs.size();
    if (!gs.empty() && compararClave(clave, gs.back().clave) <= 0) {
        size_t a = 0;
        size_t b = gs.size();
        while (a < b) {
            const size_t m = (a + b) / 2;
            if (compararClave(clave, gs[m].clave) > 0)
                a = m + 1;
            else
                b = m;
        }
        pos = a;
    }
    e.ultimo = pos;
    if (pos == gs.size() || compararClave(clave, gs[pos].clave) != 0) {
        Grupo g{std::string(clave.p, clave.n), 0, {}, 0};
        for (char &c : g.clave)
            c = static_cast<char>(sinMayuscula(c));
        gs.insert(gs.begin() + static_cast<std::ptrdiff_t>(pos), std::move(g));
    }
    return gs[pos];
}

// Runs once per row of a long scan: only the texts' bytes are compared;
// strings are made for a new clave or a lower orden, and the valor is read
// only when the orden does not already lose.
void pasoTurnoFrecuente(sqlite3_context *ctx, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL)
        return;
    Estado *e = estado(ctx, true);
    if (!e) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    Grupo &g = grupoDe(*e, texto(args[0]));
    const Texto orden = texto(args[1]);
    const int cmp = g.cuenta == 0 ? 1 : g.orden.compare(0, std::string::npos, orden.p, orden.n);
    ++g.cuenta;
    if (cmp < 0)
        return;
    const long long valor = sqlite3_value_int64(args[2]);
    if (cmp > 0 || valor < g.valor) {
        g.orden.assign(orden.p, orden.n);
        g.valor = valor;
    }
}

void finTurnoFrecuente(sqlite3_context *ctx)
{
    Estado *e = estado(ctx, false);
    if (!e)
        return; // no row with a clave: Null
    // Groups are ordered by clave: the first with the highest count has the
    // lowest clave among those tied.
    const Grupo *mejor = nullptr;
    for (const Grupo &g : e->grupos)
        if (!mejor || g.cuenta > mejor->cuenta)
            mejor = &g;
    if (mejor)
        sqlite3_result_int64(ctx, mejor->valor);
    delete e;
}

} // namespace

void registrarFuncionesSql(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "TURNO_FRECUENTE", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                               pasoTurnoFrecuente, finTurnoFrecuente, nullptr);
}
