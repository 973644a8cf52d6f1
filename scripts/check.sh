#!/usr/bin/env bash
# The quick loop while working: an incremental build of the dev preset
# (build/, warnings as errors) and every test but those labelled slow.
# A few minutes at most from a warm cache; scripts/test.sh is the full run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export XDG_RUNTIME_DIR=$(mktemp -d /tmp/qx-runtime-XXXXXX)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

cmake --preset dev >/dev/null
cmake --build --preset dev -j "${QX_JOBS:-2}"
ctest --preset quick -j "${QX_JOBS:-2}"
