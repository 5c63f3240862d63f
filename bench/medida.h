#pragma once
// What every benchmark of the generated club shares.
#include <benchmark/benchmark.h>
#include <vector>

// False, and the benchmark reported as failed, when a query found nothing:
// a benchmark of an empty result measures nothing.
inline bool hayFilas(benchmark::State &st, bool hay)
{
    if (!hay)
        st.SkipWithError("la consulta no devolvió filas en el club generado");
    return hay;
}

// Runs the benchmarks chosen by the arguments left for the library (resto,
// as TamanioClub::desdeArgumentos leaves them).
inline void correrBenchmarks(std::vector<char *> &resto)
{
    int n = static_cast<int>(resto.size());
    benchmark::Initialize(&n, resto.data());
    benchmark::RunSpecifiedBenchmarks();
}
