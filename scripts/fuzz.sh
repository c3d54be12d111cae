#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer and both sanitizers
# into ./build-fuzz and runs each for SECONDS (default 25) on its seed corpus.
# Fails on a finding. Without clang it says so and does nothing.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not installed (scripts/install-deps.sh installs it); fuzz targets not run" >&2
  exit 1
fi
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVELIX6_FUZZ=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target velix6_fuzz
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizers/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
bash fuzz/run.sh build-fuzz "${1:-25}"
