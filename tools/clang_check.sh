#!/usr/bin/env bash
# Compiles every product source once more with clang for the same Windows target, with the
# cross build's own flags and MinGW headers, syntax only: the product must stay buildable by
# the compilers Windows developers use, not just by GCC. The flags come from the Windows
# tree's compile_commands.json, so a new file or define is checked without a change here.
# Exits non-zero when a file fails.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
commands="$BUILD_DIR/win/compile_commands.json"
[ -f "$commands" ] || { echo "clang: $commands missing (build the Windows tree first)"; exit 1; }

# clang finds the MinGW C headers by itself but not the C++ library of the posix-model GCC.
cxx_dirs=()
while read -r dir; do cxx_dirs+=(-isystem "$dir"); done < <(
    x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
        sed -n '/#include <\.\.\.>/,/End of search/p' | grep '/c++')

checked=0
failed=0
while IFS= read -r command; do
    eval "args=($command)"
    args=("${args[@]:1}") # the compiler itself
    file="${args[-1]}"
    case "$file" in "$ROOT"/hexedit/* | "$ROOT"/page/* | "$ROOT"/server/* | "$ROOT"/tools/*) ;; *) continue ;; esac
    flags=()
    for ((i = 0; i < ${#args[@]} - 1; i++)); do # drop "-o object" and "-c"
        case "${args[i]}" in -o) ((i++)) ;; -c) ;; *) flags+=("${args[i]}") ;; esac
    done
    checked=$((checked + 1))
    clang++ --target=x86_64-w64-mingw32 -nostdinc++ "${cxx_dirs[@]}" -fsyntax-only "${flags[@]}" \
        "$file" || { echo "clang: $file FAILED"; failed=$((failed + 1)); }
done < <(sed -n 's/^ *"command": "\(.*\)",$/\1/p' "$commands")

echo "clang: $checked files checked, $failed failed"
[ "$checked" -gt 0 ] && [ "$failed" -eq 0 ]
