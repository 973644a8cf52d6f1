#!/usr/bin/env bash
# Builds the utility and runs it against a virtual mouse. On a desktop the
# window opens on your display; without one the utility runs on a private X
# server with a tray, and the script writes a screenshot of its window.
# Everything it keeps lies in build/demo (data folder, the mouse's state and
# trace, the screenshot).
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
export XDG_DATA_HOME=$demo/data
export QX_VIRTUAL_HID_DIR=$(mktemp -d /tmp/qx-virtual-hid-XXXXXX)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/qx-runtime-XXXXXX)}
pids=()
cleanup() {
  # The last started first: the utility before its X server and its mouse.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$QX_VIRTUAL_HID_DIR"
}
trap cleanup EXIT

"$app/qx-virtual-mouse" --version 12 --state "$demo/virtual-mouse.state" \
  --trace "$demo/virtual-mouse.trace" &
pids+=($!)
for _ in $(seq 50); do [ -S "$QX_VIRTUAL_HID_DIR/qx-mouse.sock" ] && break; sleep 0.1; done

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "qx-driver on $DISPLAY against a virtual mouse (data folder $demo/data)."
  echo "Close it with Exit in its tray menu (or Ctrl+C here)."
  "$app/qx-driver"
  exit 0
fi

# No desktop: a private X server with a tray, the utility, and a screenshot.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype pixel --width 200 --height 26 >/dev/null 2>&1 &
pids+=($!)
# The model chooser would wait for a person; this run picks the QX600.
model_ini=$demo/data/ORVIK/6E41/DeviceModel.ini
[ -f "$model_ini" ] || { mkdir -p "$(dirname "$model_ini")"; printf '[Orvik]\nDeviceModel=QX600\n' > "$model_ini"; }

"$app/qx-driver" &
pids+=($!)
if ! window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orvik QX-Gaming Mouse Driver$' | head -n 1); then
  echo "the window did not appear" >&2
  exit 1
fi
sleep 1
import -window root "$demo/qx-driver.png"
echo "qx-driver ran on a private X server (no desktop here) against a virtual mouse."
echo "Screenshot of its window: $demo/qx-driver.png"
echo "Data folder: $demo/data; the mouse's trace: $demo/virtual-mouse.trace"
"$app/qxctl" --data-dir "$demo/data/ORVIK/6E41" profiles
