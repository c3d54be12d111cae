#!/usr/bin/env bash
# Runs a UTF-8 SQL script against a database, sending its text as Windows-1252.
#   load-sql.sh DATABASE SCRIPT
set -euo pipefail
db=$1 script=$2
export FIREBIRD_LOCK="${FIREBIRD_LOCK:-$(cd "$(dirname "$db")" && pwd)/.firebird-lock}"
mkdir -p "$FIREBIRD_LOCK"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
{
  echo "SET NAMES WIN1252;"
  echo "CONNECT '$db';"
  cat "$script"
  echo
  echo "COMMIT;"
} | iconv -f UTF-8 -t CP1252 > "$tmp/load.sql"
# isql-fb drops 8-bit characters read from standard input: always feed it a file.
isql-fb -q -b -i "$tmp/load.sql"
