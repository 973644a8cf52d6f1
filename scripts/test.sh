#!/usr/bin/env bash
# Builds and runs every test: the dev preset, the Debian package (lintian, then
# the install test on its unpacked files), the ASan+UBSan preset, then a short
# run of each fuzz target. Warnings are errors in all three builds.
# Does all set-up on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
export CCACHE_BASEDIR=$root
export XDG_RUNTIME_DIR=$(mktemp -d /tmp/qx-runtime-XXXXXX)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
jobs=${QX_JOBS:-2}

run_suite() {  # preset
  echo "== $1: configure and build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
  echo "== $1: test"
  ctest --preset "$1" -j "$jobs"
}

run_suite dev

# The package as a user gets it: built, lintian-clean, unpacked (never
# installed on this machine) and run from there by the install test.
bash scripts/package.sh
echo "== package: unpacked and run"
unpacked=$(mktemp -d /tmp/qx-unpacked-XXXXXX)
dpkg-deb -x dist/*.deb "$unpacked"
QX_INSTALLED_ROOT=$unpacked build/tests/install_tests
rm -rf "$unpacked"

run_suite asan

echo "== fuzz targets: short runs"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
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
