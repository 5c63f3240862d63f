#!/usr/bin/env bash
# instalar.sh RAIZ BUILD: scripts/instalar into a temporary program folder.
# The program's files are installed; a database an earlier version left
# behind is copied over once (never moved), with its log and settings; an
# existing database is never replaced; a missing one is created, unless
# club.ini names a server.
set -euo pipefail
raiz="$1"
build="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fallos=0
falla() {
  echo "FALLA: $*" >&2
  fallos=$((fallos + 1))
}
huella() { sha256sum "$1" | cut -d' ' -f1; }

viejo="$tmp/build_bin"
club="$tmp/club"
mkdir -p "$viejo"
"$build/bin/crear_base" "$viejo/db_main.mdb"
# An earlier version left its files readable by others.
chmod 644 "$viejo/db_main.mdb"
printf 'registro sin pasar a la base' >"$viejo/db_main.mdb-wal"
printf '[soporte]\ntelefono=011 4555-0000\n' >"$viejo/club.ini"
antes_base="$(huella "$viejo/db_main.mdb")"
antes_wal="$(huella "$viejo/db_main.mdb-wal")"
instalar() { CLUB_CARPETA="$club" CLUB_CARPETA_ANTERIOR="$viejo" "$raiz/scripts/instalar" "$build"; }

# A program still open on the old database: nothing is copied.
sleep 30 <"$viejo/db_main.mdb" &
abierto=$!
if instalar >"$tmp/salida" 2>&1; then falla "copió con el programa abierto"; fi
[ -e "$club/db_main.mdb" ] && falla "quedó una base con el programa abierto"
kill "$abierto"
wait "$abierto" 2>/dev/null || true

# First install: the program's files, and the old club copied over.
instalar >"$tmp/salida" 2>&1 || falla "la instalación falló: $(cat "$tmp/salida")"
for f in club crear_base ManualUsuario.pdf rptcr/rpt_venta.rpt img/fondos/bg-1366x768.jpg; do
  [ -s "$club/$f" ] || falla "falta $f"
done
[ -x "$club/club" ] || falla "el programa no es ejecutable"
[ "$(huella "$club/db_main.mdb")" = "$antes_base" ] || falla "la base no se copió igual"
[ "$(huella "$club/db_main.mdb-wal")" = "$antes_wal" ] || falla "el registro -wal no se copió igual"
cmp -s "$viejo/club.ini" "$club/club.ini" || falla "club.ini no se copió"
[ "$(huella "$viejo/db_main.mdb")" = "$antes_base" ] || falla "la base vieja cambió"
[ -e "$viejo/db_main.mdb-wal" ] || falla "el -wal viejo se movió"
grep -q "se copió a $club/db_main.mdb" "$tmp/salida" || falla "no avisó la copia: $(cat "$tmp/salida")"
[ -n "$(find "$club" -maxdepth 1 -name '*copiando')" ] && falla "quedaron archivos a medio copiar"
for f in db_main.mdb db_main.mdb-wal; do
  [ "$(stat -c %a "$club/$f")" = 600 ] || falla "$f no es solo del usuario: $(stat -c %a "$club/$f")"
done

# Installing again (a rebuilt program) keeps the club's database as it is.
printf 'la base en uso' >"$club/db_main.mdb"
rm "$club/db_main.mdb-wal"
en_uso="$(huella "$club/db_main.mdb")"
instalar >"$tmp/salida" 2>&1 || falla "la segunda instalación falló"
[ "$(huella "$club/db_main.mdb")" = "$en_uso" ] || falla "una base existente fue reemplazada"
[ -s "$tmp/salida" ] && falla "dijo algo sin nada que hacer: $(cat "$tmp/salida")"

# The old database is carried over once only: a missing one is now new.
rm "$club/db_main.mdb"
instalar >"$tmp/salida" 2>&1 || falla "la tercera instalación falló"
[ -s "$club/db_main.mdb" ] || falla "no creó la base que faltaba"
[ "$(stat -c %a "$club/db_main.mdb")" = 600 ] || falla "la base nueva no es solo del usuario"
[ "$(huella "$club/db_main.mdb")" = "$antes_base" ] && falla "copió la base vieja por segunda vez"
grep -q "Base de datos nueva creada en $club/db_main.mdb" "$tmp/salida" || falla "no avisó la base nueva"

# A station whose club.ini names a server gets no database file.
rm "$club/db_main.mdb"
printf '[base]\nmotor=postgresql\nhost=servidor.club.local\n' >"$club/club.ini"
instalar >"$tmp/salida" 2>&1 || falla "la instalación de una estación de un servidor falló"
[ -e "$club/db_main.mdb" ] && falla "creó una base en una estación de un servidor"

# A folder that does not exist yet is made private to the user.
CLUB_CARPETA="$tmp/otra/club" CLUB_CARPETA_ANTERIOR="$tmp/nada" "$raiz/scripts/instalar" "$build" >/dev/null ||
  falla "la instalación en una carpeta nueva falló"
[ "$(stat -c %a "$tmp/otra/club")" = 700 ] || falla "la carpeta nueva no es privada"
[ -s "$tmp/otra/club/db_main.mdb" ] || falla "no creó la base en la carpeta nueva"

[ "$fallos" -eq 0 ]
