#!/usr/bin/env bash
# Builds the Debian package of the utility and leaves exactly one .deb in
# dist/: the dev build (build/), CPack's DEB generator on its installation
# (runtime dependencies computed by dpkg-shlibdeps), then lintian, which must
# find no errors. Does all set-up on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

export CCACHE_DIR=${CCACHE_DIR:-$root/.cache/ccache}
export CCACHE_BASEDIR=$root
jobs=${QX_JOBS:-2}

echo "== package: build"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"

echo "== package: cpack -G DEB"
staging=$(mktemp -d /tmp/qx-package-XXXXXX)
trap 'rm -rf "$staging"' EXIT
# Files and folders get the modes the package will have whatever the umask.
(umask 022 && cpack --config build/CPackConfig.cmake -G DEB -B "$staging" >"$staging/cpack.log") ||
  { cat "$staging/cpack.log"; exit 1; }
shopt -s nullglob
made=("$staging"/*.deb)
if [ ${#made[@]} -ne 1 ]; then
  echo "package.sh: expected one package, CPack made ${#made[@]}" >&2
  exit 1
fi
mkdir -p dist
rm -f dist/*.deb
cp "${made[0]}" dist/
deb=dist/$(basename "${made[0]}")

echo "== package: lintian"
# Warnings are shown and kept (README, "Installing"); an error fails.
lintian --fail-on error --info "$deb"
echo "package: $deb"
