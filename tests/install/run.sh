#!/usr/bin/env bash
# The package test (installer_tests.exe) in a fresh Wine prefix of its own, so the suite's
# registration stays out of it. It installs the package built again at the same version, then
# upgrades to a package of propweave_next.dll made here with the version overridden. Run by
# tools/test.sh on its display.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$ROOT/tools/wine_env.sh"
export WINEPREFIX="$BUILD_DIR/wine-package-prefix"
cd "$WIN_BUILD_DIR"
"$ROOT/tools/install/build_msi.sh" 99.0.0 propweave_next.dll ../win32/propweave_next.dll \
    propweave-next.msi
# The package built again: the same version under a new product code.
"$ROOT/tools/install/build_msi.sh" "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)" \
    propweave.dll ../win32/propweave.dll propweave-again.msi
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
"$ROOT/tools/wine_prefix.sh" --bare
wineserver -p 2>/dev/null || true # persistent when none is running yet
trap 'wineserver -k 2>/dev/null || true' EXIT
"$ROOT/tools/wine_run.sh" ./installer_tests.exe --gtest_color=no
