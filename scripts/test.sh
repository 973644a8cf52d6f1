#!/usr/bin/env bash
# Builds and runs every test: a normal build, then an ASan+UBSan build, then a
# short run of each fuzz target. Does all set-up on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
export CCACHE_BASEDIR=$root
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=$(mktemp -d /tmp/qx-runtime-XXXXXX)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

run_suite() {  # folder, extra cmake options...
  local dir=$1; shift
  echo "== $dir: configure and build"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j2
  echo "== $dir: test"
  (cd "$dir" && ctest -j2 --output-on-failure --timeout 300)
}

run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DQX_SANITIZE=ON -DQX_BUILD_BENCHMARKS=OFF

echo "== fuzz targets: short runs"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQX_BUILD_FUZZERS=ON -DQX_BUILD_UI=OFF -DQX_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j2 --target qx_fuzzers
shopt -s nullglob
for fuzzer in build-fuzz/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=tests/fuzz/corpus/${name%_fuzzer}
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "-- $name"
  "$fuzzer" -max_total_time=${QX_FUZZ_SECONDS:-20} -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
  rm -rf "$corpus"
done
echo "all test suites passed"
