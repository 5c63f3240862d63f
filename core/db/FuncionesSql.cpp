#include "FuncionesSql.h"

#include <new>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

char sinMayuscula(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

struct Texto {
    const char *p;
    size_t n;
};

Texto texto(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return {t ? t : "", t ? static_cast<size_t>(sqlite3_value_bytes(v)) : 0};
}

struct Grupo {
    std::string clave; // ASCII letters lowered: equal and ordered as NOCASE
    long long cuenta = 0;
    std::string orden; // of the chosen row
    long long valor = 0;

    bool es(Texto t) const
    {
        if (t.n != clave.size())
            return false;
        for (size_t i = 0; i < t.n; ++i)
            if (sinMayuscula(t.p[i]) != clave[i])
                return false;
        return true;
    }
};

struct Estado {
    std::vector<Grupo> grupos;
    size_t ultimo = 0; // rows often come grouped by clave: look there first
};

Estado *estado(sqlite3_context *ctx, bool crear)
{
    auto **p = static_cast<Estado **>(sqlite3_aggregate_context(ctx, crear ? sizeof(Estado *) : 0));
    if (!p)
        return nullptr;
    if (!*p && crear)
        *p = new (std::nothrow) Estado;
    return *p;
}

// Runs once per row: only the texts' bytes are compared; strings are made
// for a new clave or a lower orden.
void pasoTurnoFrecuente(sqlite3_context *ctx, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL)
        return;
    Estado *e = estado(ctx, true);
    if (!e) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const Texto clave = texto(args[0]);
    const Texto orden = texto(args[1]);
    const long long valor = sqlite3_value_int64(args[2]);
    if (e->ultimo >= e->grupos.size() || !e->grupos[e->ultimo].es(clave)) {
        e->ultimo = 0;
        while (e->ultimo < e->grupos.size() && !e->grupos[e->ultimo].es(clave))
            ++e->ultimo;
        if (e->ultimo == e->grupos.size()) {
            Grupo g{std::string(clave.p, clave.n), 0, std::string(orden.p, orden.n), valor};
            for (char &c : g.clave)
                c = sinMayuscula(c);
            e->grupos.push_back(std::move(g));
        }
    }
    Grupo &g = e->grupos[e->ultimo];
    ++g.cuenta;
    const int cmp = g.orden.compare(0, std::string::npos, orden.p, orden.n);
    if (cmp > 0 || (cmp == 0 && valor < g.valor)) {
        g.orden.assign(orden.p, orden.n);
        g.valor = valor;
    }
}

void finTurnoFrecuente(sqlite3_context *ctx)
{
    Estado *e = estado(ctx, false);
    if (!e)
        return; // no row with a clave: Null
    const Grupo *mejor = nullptr;
    for (const Grupo &g : e->grupos)
        if (!mejor || g.cuenta > mejor->cuenta || (g.cuenta == mejor->cuenta && g.clave < mejor->clave))
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
