#!/usr/bin/env bash
# Builds the utility and runs it against a demo data folder. Until the main
# window lands, the main job is the command-line client qxctl.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2

app=$root/build/app
demo=${QX_DEMO_DIR:-$root/build/demo-data}
mkdir -p "$demo"
echo "The window is not built yet; running qxctl on the demo data folder $demo."
"$app/qxctl" --data-dir "$demo" profiles
"$app/qxctl" --data-dir "$demo" profile show
