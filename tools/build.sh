#!/usr/bin/env bash
# Configures and builds the trees: native (core tests, benchmarks), Windows 64-bit (the DLL,
# launcher, Windows Installer package, Wine tests and benchmarks), Windows 32-bit (the DLL for
# 32-bit programs, its launcher, and what tests and times it under Wine) and the clang fuzzing
# build. Usage: tools/build.sh [all|native|win|msi|run|run32|fuzz]; msi builds only the DLLs and
# their package, build/win/propweave.msi; run only the DLL and the launcher that tools/run.sh
# opens it with, run32 the same two in 32 bits (tools/run.sh --32).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
what="${1:-all}"

configure() { # dir, extra args...
    local dir=$1; shift
    [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
windows() { # bits (64 or 32), cmake --build arguments...
    local bits=$1 dir="$BUILD_DIR/win" toolchain=x86_64; shift
    [ "$bits" = 64 ] || { dir="$BUILD_DIR/win32"; toolchain=i686; }
    configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-$toolchain.cmake"
    cmake --build "$dir" "$@"
}
if [ "$what" = all ] || [ "$what" = native ]; then
    configure "$BUILD_DIR/native"
    cmake --build "$BUILD_DIR/native"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
    # 32 bits first: the package in the 64-bit tree takes its DLL. Of that tree only what the
    # test and benchmark runs use for it.
    windows 32 --target propweave propweave_next propweave_launch wine_tests core_tests \
        properties_bench file_io_bench
    windows 64
    # The slow file system that the Wine tests and benchmarks mount (Linux side).
    mkdir -p "$BUILD_DIR/slowfs"
    gcc -std=c11 -D_GNU_SOURCE -Wall -Wextra -Werror -O2 "$ROOT/tools/slowfs/slowfs.c" \
        -o "$BUILD_DIR/slowfs/slowfs" $(pkg-config --cflags --libs fuse3) -lpthread
fi
case "$what" in
msi) windows 32 --target propweave && windows 64 --target propweave_msi ;;
run) windows 64 --target propweave propweave_launch ;;
run32) windows 32 --target propweave propweave_launch ;;
esac
if [ "$what" = all ] || [ "$what" = fuzz ]; then
    configure "$BUILD_DIR/fuzz" -DPROPWEAVE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
    cmake --build "$BUILD_DIR/fuzz"
fi
