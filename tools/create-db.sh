#!/usr/bin/env bash
# Creates an empty database from the project's schema script.
#   create-db.sh FILE pharmacy|interface [WIN1252|NONE]
# FILE must not exist. Runs the embedded engine through isql-fb; when
# FIREBIRD_LOCK is not set, a lock folder beside FILE is used so that an
# ordinary user needs no access to the system's lock folder.
set -euo pipefail
file=$1 kind=$2 charset=${3:-WIN1252}
here=$(cd "$(dirname "$0")" && pwd)
# The schema script: in the checkout's source tree, or beside this script
# where the package installs it.
schema="$here/../src/data/schema.sql"
[ -e "$schema" ] || schema="$here/schema.sql"
[ -e "$file" ] && { echo "create-db: $file already exists" >&2; exit 1; }
mkdir -p "$(dirname "$file")"
export FIREBIRD_LOCK="${FIREBIRD_LOCK:-$(cd "$(dirname "$file")" && pwd)/.firebird-lock}"
mkdir -p "$FIREBIRD_LOCK"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
{
  echo "SET SQL DIALECT 3;"
  echo "CREATE DATABASE '$file' PAGE_SIZE 8192 DEFAULT CHARACTER SET $charset;"
  if [ "$kind" = pharmacy ]; then
    sed '/^-- Interface database/,$d' "$schema"
  else
    sed -n '/^-- Interface database/,$p' "$schema"
  fi
  echo "COMMIT;"
} > "$tmp/create.sql"
isql-fb -q -b -i "$tmp/create.sql"
