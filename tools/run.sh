#!/usr/bin/env bash
# Builds the shell extension, registers it in the Wine prefix and opens Wine's own Properties
# dialog for the given files (the sample file when none is given). Several files in one
# folder share one dialog, one chooser entry each. With --32 the dialog comes from a 32-bit
# launcher, with the 32-bit DLL registered, as in a 32-bit program's Open or Save dialog.
# Usage: tools/run.sh [--32] [file ...]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY is not set), so there is nowhere to show the dialog." >&2
    echo "        Run it from a desktop session, or under a virtual one: xvfb-run -a $0 $*" >&2
    exit 2
fi

bits=64 build=run
if [ "${1:-}" = --32 ]; then
    bits=32 build=run32
    shift
fi
files=("$@")
[ ${#files[@]} -gt 0 ] || files=("$ROOT/tools/sample/sample.bin")
for f in "${files[@]}"; do
    [ -e "$f" ] || { echo "run.sh: $f: no such file or folder" >&2; exit 2; }
done

"$ROOT/tools/install_deps.sh" run
"$ROOT/tools/build.sh" "$build" # the DLL and the launcher, none of the tests

source "$ROOT/tools/wine_env.sh"
[ "$bits" = 64 ] || WIN_BUILD_DIR="$WIN32_BUILD_DIR"
# A Wine session keeps the display it started with: start a fresh one on ours.
wineserver -k 2>/dev/null || true
"$ROOT/tools/wine_prefix.sh"

windows_paths=()
# Wine's shell finds no item at a path of 260 characters or more: such a file is opened through
# a drive letter that stands for its folder during the run (the page's Location shows that
# drive). Z: is the Unix root in every prefix; winepath would cut a long path short.
mapped=()
trap 'rm -f "${mapped[@]}"' EXIT
for f in "${files[@]}"; do
    full="$(realpath "$f")"
    windows="Z:${full//\//\\}"
    if [ ${#windows} -ge 260 ]; then
        folder="$(dirname "$full")"
        for letter in p q r s t u v w x y; do
            link="$WINEPREFIX/dosdevices/$letter:"
            if [ ! -e "$link" ] && [ ! -L "$link" ]; then
                ln -s "$folder" "$link"
                mapped+=("$link")
            fi
            if [ "$(readlink "$link")" = "$folder" ]; then
                windows="${letter^^}:\\$(basename "$full")"
                break
            fi
        done
    fi
    windows_paths+=("$windows")
done
echo "Opening Properties for: ${windows_paths[*]}"
"$ROOT/tools/wine_run.sh" "$WIN_BUILD_DIR/propweave_launch.exe" "${windows_paths[@]}"
