#!/usr/bin/env bash
# Configures and builds the project into ./build.
#   build.sh [TARGET...]   (default: everything, tests and benchmarks included)
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, when installed, keeps rebuilds of unchanged files (also from other
# checkouts of the tree under the same parent folder) from compiling again.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
