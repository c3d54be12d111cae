#!/usr/bin/env bash
# Builds the Debian package build/velix6_<version>_amd64.deb.
#   package.sh
# Installs what the build and the package need, builds the program in Release
# (in build-release/, so the test build in build/ is left as it is), packs it
# with CPack's DEB generator from the project's install rules
# (cmake/packaging.cmake) and checks it with lintian, which must report no
# error. <version> is the project's version, the one the caption shows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# What packing and checking need (not the program, not the tests).
PKGS=(dpkg-dev fakeroot file lintian desktop-file-utils qt6-translations-l10n)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Installing (and so packing) builds only what is installed, not the tests.
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-release -j"$(nproc)" --target velix6
rm -rf build-release/cpack
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/cpack/velix6_*_amd64.deb)
mkdir -p build
rm -f build/velix6_*_amd64.deb
cp "$deb" build/
deb=build/$(basename "$deb")

desktop-file-validate packaging/velix6.desktop
lintian_out=$(lintian --fail-on none "$deb" 2>&1 || true)
[ -n "$lintian_out" ] && echo "$lintian_out"
if echo "$lintian_out" | grep -q '^E:'; then
  echo "package.sh: lintian reports errors in $deb" >&2
  exit 1
fi
echo "$deb: $(du -k "$deb" | cut -f1) KiB, installed $(dpkg-deb -f "$deb" Installed-Size) KiB"
