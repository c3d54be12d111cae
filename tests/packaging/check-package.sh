#!/usr/bin/env bash
# Checks the Debian package's contents without installing it.
#   check-package.sh DEB VERSION
# The files it installs (program folder, commands, menu entry, icons), the
# menu entry's fields, no KORVANTE.INI, the control fields (version, Depends
# naming the Firebird client and engine, nothing only the tests need).
# Exits 77 (skipped) when the package has not been built.
set -uo pipefail
deb=$1 version=$2
if [ ! -e "$deb" ]; then
  echo "SKIP: $deb not built (scripts/package.sh builds it)"
  exit 77
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velix6 ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the program's is $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ "$(basename "$deb")" = "velix6_${version}_amd64.deb" ] || fail "file name $(basename "$deb")"
depends=", $(field Depends | tr -s ' ' ' '),"
for d in libfbclient2 firebird3.0-server-core firebird3.0-utils fonts-liberation2 qt6-qpa-plugins \
         qt6-translations-l10n 'libqt6widgets6[ ,(]' 'libqt6printsupport6[ ,(]' 'libc6[ ,(]'; do
  echo "$depends" | grep -Eq ", ?${d//./\\.}" || fail "Depends lacks $d: $depends"
done
for d in xvfb poppler-utils cmake qt6-base-dev firebird-dev firebird3.0-server, lintian; do
  echo "$depends" | grep -q ", $d" && fail "Depends names $d, which only the tests or the build need"
done

# Listing: type, mode, path (and link target).
dpkg-deb -c "$deb" | awk '{ p = $6; sub(/^\.\//, "", p); t = ""; if ($7 == "->") t = $8; print substr($1, 1, 1), $1, p, t }' \
  > "$tmp/list"
has() {   # has TYPE PATH [MODE-or-TARGET]
  local line
  line=$(awk -v p="$2" '$3 == p' "$tmp/list")
  [ -n "$line" ] || { fail "missing $2"; return; }
  [ "${line:0:1}" = "$1" ] || fail "$2 is not of type $1: $line"
  if [ -n "${3:-}" ]; then
    case "$1" in
      l) [ "$(echo "$line" | awk '{print $4}')" = "$3" ] || fail "$2 does not point at $3: $line" ;;
      *) [ "$(echo "$line" | awk '{print $2}')" = "$3" ] || fail "$2 has mode $(echo "$line" | awk '{print $2}'), not $3" ;;
    esac
  fi
}
prog=opt/korvante/velix6
has - $prog/velix6 -rwxr-xr-x
has - $prog/velix6-demo -rwxr-xr-x
has - $prog/VELIX6.rav -rw-r--r--
for f in demo-setup.sh create-db.sh load-sql.sh; do has - $prog/tools/$f -rwxr-xr-x; done
for f in schema.sql demo/pharmacy.sql demo/interface.sql demo/korvante-demo.ini; do has - $prog/tools/$f -rw-r--r--; done
has l usr/bin/velix6 /$prog/velix6
has l usr/bin/velix6-demo /$prog/velix6-demo
has - usr/share/applications/velix6.desktop -rw-r--r--
has - usr/share/icons/hicolor/scalable/apps/velix6.svg
for s in 16 24 32 48 64 128 256; do has - usr/share/icons/hicolor/${s}x${s}/apps/velix6.png; done
has - usr/share/doc/velix6/copyright
has - usr/share/man/man1/velix6.1.gz
if grep -qi 'korvante\.ini$' <(awk '{print $3}' "$tmp/list"); then
  fail "the package ships a KORVANTE.INI: $(awk '{print $3}' "$tmp/list" | grep -i 'korvante\.ini$')"
fi
outside=$(awk '{print $3}' "$tmp/list" | grep -Ev '^(|opt/|opt/korvante/.*|usr/|usr/bin/.*|usr/share/.*)$')
[ -z "$outside" ] || fail "files outside the program folder and /usr: $outside"
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "not owned by root: $owners"
# Nothing runs at installation that could touch a pharmacy's files.
dpkg-deb -e "$deb" "$tmp/control"
for s in preinst postinst prerm postrm; do [ -e "$tmp/control/$s" ] && fail "maintainer script $s"; done
[ -e "$tmp/control/conffiles" ] && fail "conffiles: $(cat "$tmp/control/conffiles")"

# The menu entry.
dpkg-deb -x "$deb" "$tmp/root"
desktop="$tmp/root/usr/share/applications/velix6.desktop"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = VELIX6 ] || fail "desktop Name is '$(key Name)'"
[ "$(key Type)" = Application ] || fail "desktop Type is '$(key Type)'"
[ "$(key Exec)" = velix6 ] || fail "desktop Exec is '$(key Exec)'"
[ "$(key Icon)" = velix6 ] || fail "desktop Icon is '$(key Icon)'"
key Categories | tr ';' '\n' | grep -qx Office || fail "desktop Categories lack Office: $(key Categories)"
grep -q '^GenericName\[pt_BR\]=.' "$desktop" || fail "no Portuguese GenericName"
grep -q '^Comment\[pt_BR\]=.' "$desktop" || fail "no Portuguese Comment"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
fi
file "$tmp/root/$prog/velix6" | grep -q 'ELF 64-bit.*x86-64' || fail "the program is not an x86-64 executable"
file "$tmp/root/$prog/velix6" | grep -q 'not stripped' && fail "the program is not stripped"

[ $failures -eq 0 ] && echo "package $deb: all checks passed"
exit $((failures > 0))
