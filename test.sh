#!/usr/bin/env bash
# Installs what the build and the tests need, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 900 -j"${VELIX6_TEST_JOBS:-2}"
