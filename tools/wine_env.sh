# Sourced by the scripts that run Windows programs: one Wine prefix inside the build tree.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wine-prefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# hhctrl.ocx: a program with its own copy beside it (the Wine tests) gets that one.
export WINEDLLOVERRIDES="mscoree,mshtml=;hhctrl.ocx=n,b"
WIN_BUILD_DIR="$BUILD_DIR/win"
WIN32_BUILD_DIR="$BUILD_DIR/win32" # the 32-bit DLL and the programs that test it
