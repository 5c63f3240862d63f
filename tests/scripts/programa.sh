#!/usr/bin/env bash
# programa.sh SOURCE BUILD: the target scripts/run builds, "programa", makes
# everything the install takes (each file and folder the install rules name,
# each report template) and neither the tests nor the benchmarks.
set -euo pipefail
raiz="$1"
build="$2"
comandos="$(ninja -C "$build" -t commands programa)"
falta() { echo "el objetivo programa no hace $1" >&2; exit 1; }

instalados="$(grep -F "file(INSTALL " "$build/cmake_install.cmake" | grep -o "\"$build/[^\"]*\"" | tr -d '"' | sort -u)"
[ -n "$instalados" ] || { echo "no se encontraron las reglas de instalación en $build" >&2; exit 1; }
while read -r archivo; do
  grep -Fq -- "${archivo#"$build"/}" <<<"$comandos" || falta "${archivo#"$build"/}"
done <<<"$instalados"
for plantilla in "$raiz"/rptcr/*.rpt; do
  grep -Fq -- "bin/rptcr/$(basename "$plantilla")" <<<"$comandos" || falta "bin/rptcr/$(basename "$plantilla")"
done
if grep -Eq -- "-o bin/club_(tests|bench)" <<<"$comandos"; then
  echo "el objetivo programa hace también las pruebas o los benchmarks" >&2
  exit 1
fi
