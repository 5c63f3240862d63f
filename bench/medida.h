#pragma once
// What every benchmark of the generated club shares.
#include <benchmark/benchmark.h>

// False, and the benchmark reported as failed, when a query found nothing:
// a benchmark of an empty result measures nothing.
inline bool hayFilas(benchmark::State &st, bool hay)
{
    if (!hay)
        st.SkipWithError("la consulta no devolvió filas en el club generado");
    return hay;
}
