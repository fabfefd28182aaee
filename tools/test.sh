#!/usr/bin/env bash
# Builds everything and runs every test suite: the native core tests, the Windows tests under
# Wine on a private X display, and bounded fuzzing runs. Ends with "N passed, N failed".
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

if [ -z "${PROPWEAVE_INNER:-}" ]; then
    "$ROOT/tools/install_deps.sh" || exit 1
    "$ROOT/tools/build.sh" || { echo "0 passed, 1 failed"; exit 1; }
    # A display of our own: the tests use the clipboard and real windows.
    export PROPWEAVE_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@" </dev/null
fi

source "$ROOT/tools/wine_env.sh"
RESULTS="$BUILD_DIR/results"
rm -rf "$RESULTS"; mkdir -p "$RESULTS"
passed=0
failed=0

# Adds up one GoogleTest run from its console output; a run without a summary (a crash)
# counts as one failure.
count_gtest() {
    local name=$1 log=$2 rc=$3 p f
    p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | awk '{print $4}')
    f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | awk '{print $4}')
    p=${p:-0}; f=${f:-0}
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    if [ "$p" -eq 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    echo "$name: $p passed, $f failed"
    passed=$((passed + p)); failed=$((failed + f))
}

echo "== Native core tests"
"$BUILD_DIR/native/core_tests" --gtest_color=no 2>&1 | tee "$RESULTS/native.log"
count_gtest native "$RESULTS/native.log" "${PIPESTATUS[0]}"

echo "== Fuzzing (bounded)"
for fuzzer in "$BUILD_DIR"/fuzz/fuzz_* "$BUILD_DIR"/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="$ROOT/tests/fuzz/corpus/${name#fuzz_}"
    work="$RESULTS/$name-corpus"; mkdir -p "$work"
    if "$fuzzer" -runs="${FUZZ_RUNS:-200000}" -max_len=512 -print_final_stats=1 "$work" "$corpus" \
        >"$RESULTS/$name.log" 2>&1; then
        echo "$name: passed ($(grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$RESULTS/$name.log" | tr '\n' ' '))"
        passed=$((passed + 1))
    else
        tail -40 "$RESULTS/$name.log"
        echo "$name: FAILED"
        failed=$((failed + 1))
    fi
done

echo "== Windows tests under Wine"
wineserver -k 2>/dev/null || true
"$ROOT/tools/wine_prefix.sh"
wineserver -p
(cd "$WIN_BUILD_DIR" && "$ROOT/tools/wine_run.sh" ./wine_tests.exe --gtest_color=no "$@") \
    2>&1 | tee "$RESULTS/wine.log"
count_gtest wine "$RESULTS/wine.log" "${PIPESTATUS[0]}"
# The view's picture for docs/ (docs/hex-view.png is a copy of one such run).
if [ -f "$WIN_BUILD_DIR/hex-view.bmp" ] && command -v convert >/dev/null; then
    convert "$WIN_BUILD_DIR/hex-view.bmp" "$RESULTS/hex-view.png" 2>/dev/null || true
fi
for shot in "$WIN_BUILD_DIR"/page-*.bmp; do # the page's pictures (docs/page-*.png)
    [ -f "$shot" ] && convert "$shot" "$RESULTS/$(basename "${shot%.bmp}").png" 2>/dev/null || true
done
wineserver -k 2>/dev/null || true

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
