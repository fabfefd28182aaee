#!/usr/bin/env bash
# Configures and builds the three trees: native (core tests, benchmarks), Windows (the DLL,
# launcher, Windows Installer package, Wine tests and benchmarks) and the clang fuzzing build.
# Usage: tools/build.sh [all|native|win|msi|run|fuzz]; msi builds only the DLL and its package,
# build/win/propweave.msi; run only the DLL and the launcher that tools/run.sh opens it with.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
what="${1:-all}"

configure() { # dir, extra args...
    local dir=$1; shift
    [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
if [ "$what" = all ] || [ "$what" = native ]; then
    configure "$BUILD_DIR/native"
    cmake --build "$BUILD_DIR/native"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
    configure "$BUILD_DIR/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake"
    cmake --build "$BUILD_DIR/win"
    # The slow file system that the Wine tests and benchmarks mount (Linux side).
    mkdir -p "$BUILD_DIR/slowfs"
    gcc -std=c11 -D_GNU_SOURCE -Wall -Wextra -Werror -O2 "$ROOT/tools/slowfs/slowfs.c" \
        -o "$BUILD_DIR/slowfs/slowfs" $(pkg-config --cflags --libs fuse3) -lpthread
fi
if [ "$what" = msi ] || [ "$what" = run ]; then
    configure "$BUILD_DIR/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake"
    if [ "$what" = msi ]; then targets=(propweave_msi); else targets=(propweave propweave_launch); fi
    cmake --build "$BUILD_DIR/win" --target "${targets[@]}"
fi
if [ "$what" = all ] || [ "$what" = fuzz ]; then
    configure "$BUILD_DIR/fuzz" -DPROPWEAVE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
    cmake --build "$BUILD_DIR/fuzz"
fi
