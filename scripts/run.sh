#!/usr/bin/env bash
# Builds the utility and runs it against a virtual mouse. Until the main
# window lands, the main job is the command-line client qxctl: it finds the
# virtual mouse, reads its firmware version and writes the active profile of
# a demo data folder into it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2

app=$root/build/app
demo=${QX_DEMO_DIR:-$root/build/demo}
mkdir -p "$demo/data"
export QX_VIRTUAL_HID_DIR=$(mktemp -d /tmp/qx-virtual-hid-XXXXXX)
"$app/qx-virtual-mouse" --version 12 --state "$demo/virtual-mouse.state" \
  --trace "$demo/virtual-mouse.trace" &
mouse=$!
trap 'kill $mouse 2>/dev/null; wait $mouse 2>/dev/null; rm -rf "$QX_VIRTUAL_HID_DIR"' EXIT
sleep 0.5

echo "The window is not built yet; running qxctl against a virtual mouse (data folder $demo/data)."
set -x
"$app/qxctl" devices
"$app/qxctl" version
"$app/qxctl" --data-dir "$demo/data" profiles
"$app/qxctl" --data-dir "$demo/data" apply
"$app/qxctl" --data-dir "$demo/data" profile show
set +x
echo "What the virtual mouse now holds:"
"$app/qx-virtual-mouse" --dump --state "$demo/virtual-mouse.state"
echo "The skins of every window: build/tools/qx-skinshots build/skinshots"
