#!/usr/bin/env bash
# Builds the test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# into ./build-asan and runs them: the first memory or undefined-behaviour
# report ends the test that made it, and the run fails.
#   scripts/sanitize.sh [ctest arguments...]     (e.g. -R test_shell)
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELIX6_SANITIZE=ON "${launcher[@]}" >/dev/null
# The suites only (every test is a target of its own name), not the benchmarks.
mapfile -t tests < <(ctest --test-dir build-asan -N | sed -n 's/^ *Test *#[0-9]*: //p')
# A test run by a script (the package check) has no target of its own.
declare -A known=()
while read -r t; do known[$t]=1; done < <(cmake --build build-asan --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
targets=()
for t in "${tests[@]}"; do
  if [ -n "${known[$t]:-}" ]; then targets+=(--target "$t"); fi
done
cmake --build build-asan -j"$(nproc)" "${targets[@]}"
supp="$PWD/scripts/sanitizers"
# intercept_tls_get_addr=0: the leak checker at exit otherwise walks the
# dynamic thread-local storage of a library the embedded database engine has
# already unloaded, and crashes ("Tracer caught signal 11") instead of
# checking; leaks are still checked, TLS of loaded libraries still counts.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:intercept_tls_get_addr=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp:${UBSAN_OPTIONS:-}"
cd build-asan
ctest --output-on-failure --timeout 1800 -j"${VELIX6_TEST_JOBS:-2}" "$@"
