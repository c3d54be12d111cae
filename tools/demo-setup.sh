#!/usr/bin/env bash
# Sets up the demo pharmacy.
#   demo-setup.sh ROOT [PROGRAM_DIR] [--reset]
# ROOT receives the pharmacy database (dados/korvante.bd), the interface
# database of workstation 01 (interfac01/korvante.bd) and the report
# definition file (RPT/VELIX6.rav). PROGRAM_DIR (the folder of the executable)
# receives KORVANTE.INI when it has none. Existing databases are kept unless
# --reset is given. The package installs this script as the lay-out of
# velix6-demo (packaging/velix6-demo).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${1:?usage: demo-setup.sh ROOT [PROGRAM_DIR] [--reset]}
progdir=${2:-}
reset=no
for a in "$@"; do [ "$a" = --reset ] && reset=yes; done
mkdir -p "$root"
root=$(cd "$root" && pwd)
export FIREBIRD_LOCK="${FIREBIRD_LOCK:-$root/.firebird-lock}"
mkdir -p "$FIREBIRD_LOCK"

if [ $reset = yes ]; then
  rm -f "$root/dados/korvante.bd" "$root/interfac01/korvante.bd"
fi
if [ ! -e "$root/dados/korvante.bd" ]; then
  "$here/create-db.sh" "$root/dados/korvante.bd" pharmacy WIN1252
  "$here/load-sql.sh" "$root/dados/korvante.bd" "$here/demo/pharmacy.sql"
  echo "Demo pharmacy database: $root/dados/korvante.bd"
fi
if [ ! -e "$root/interfac01/korvante.bd" ]; then
  "$here/create-db.sh" "$root/interfac01/korvante.bd" interface WIN1252
  "$here/load-sql.sh" "$root/interfac01/korvante.bd" "$here/demo/interface.sql"
fi
# The report definition file: in the source tree, or in the program's folder
# where the package installs this script (its tools/ folder).
rav="$here/../src/report/VELIX6.rav"
[ -e "$rav" ] || rav="$here/../VELIX6.rav"
if [ -e "$rav" ]; then
  mkdir -p "$root/RPT"
  cp "$rav" "$root/RPT/VELIX6.rav"
fi
if [ -n "$progdir" ] && [ ! -e "$progdir/KORVANTE.INI" ]; then
  mkdir -p "$progdir"
  ini="$here/demo/KORVANTE.INI"
  [ -e "$ini" ] || ini="$here/demo/korvante-demo.ini"   # its name in the package
  sed 's/$/\r/' "$ini" > "$progdir/KORVANTE.INI"
fi
