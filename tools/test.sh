#!/usr/bin/env bash
# Builds everything and runs every test suite: the native core tests, a clang compile of the
# product, the Windows tests under Wine on a private X display (against the 64-bit DLL and the
# 32-bit one, each from a test program of its bitness, with the core tests in 32 bits too),
# bounded fuzzing runs and the Windows Installer package's test.
# Ends with "N passed, N failed".
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

# Every suite runs under a time limit, so a hang (a test waiting on a box nobody answers) ends
# as a failure of that suite and the run goes on to the summary. Generous defaults (the Wine
# suite takes under a minute, a bounded fuzzer about 15 s, the package test with its own Wine
# prefix under a minute), overridable; together well under CI's 90 minutes.
NATIVE_TIMEOUT="${NATIVE_TIMEOUT:-300}"
FUZZ_TIMEOUT="${FUZZ_TIMEOUT:-300}"
WINE_TIMEOUT="${WINE_TIMEOUT:-900}"
PACKAGE_TIMEOUT="${PACKAGE_TIMEOUT:-300}"
# limit, command...: the command's exit code, 124 when the limit ended it. SIGTERM goes to the
# command's whole process group, SIGKILL follows 15 s later if anything ignores it.
limited() {
    local limit=$1; shift
    timeout --kill-after=15 "$limit" "$@"
}
# Prints the failing line of a run that ran out of time, with the test it was in when gtest
# said which one.
report_timeout() {
    local name=$1 limit=$2 log=${3:-} current=""
    if [ -n "$log" ] && [ -f "$log" ]; then
        current=$(awk '/^\[ RUN      \]/ {t=$4} /^\[       (OK|FAILED) \]/ {t=""} END {print t}' "$log")
    fi
    echo "$name: TIMED OUT after $limit s${current:+ in $current}"
}

# Adds up one GoogleTest run from its console output; a run without a summary (a crash)
# counts as one failure.
count_gtest() {
    local name=$1 log=$2 rc=$3 limit=${4:-} p f
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        report_timeout "$name" "$limit" "$log"
        p=$(grep -cE '^\[       OK \]' "$log")
        f=$(grep -cE '^\[  FAILED  \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+ \(' "$log")
        echo "$name: $p passed, $((f + 1)) failed"
        passed=$((passed + p)); failed=$((failed + f + 1))
        return
    fi
    p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | awk '{print $4}')
    f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | awk '{print $4}')
    p=${p:-0}; f=${f:-0}
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    if [ "$p" -eq 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    echo "$name: $p passed, $f failed"
    passed=$((passed + p)); failed=$((failed + f))
}

echo "== Native core tests"
limited "$NATIVE_TIMEOUT" "$BUILD_DIR/native/core_tests" --gtest_color=no 2>&1 | tee "$RESULTS/native.log"
count_gtest native "$RESULTS/native.log" "${PIPESTATUS[0]}" "$NATIVE_TIMEOUT"

echo "== Second compiler (clang, the product's Windows sources, syntax only)"
if command -v clang++ >/dev/null; then
    limited "$NATIVE_TIMEOUT" "$ROOT/tools/clang_check.sh" 2>&1 | tee "$RESULTS/clang.log"
    if [ "${PIPESTATUS[0]}" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
else
    echo "clang: not installed, skipped"
fi

echo "== Fuzzing (bounded)"
for fuzzer in "$BUILD_DIR"/fuzz/fuzz_* "$BUILD_DIR"/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="$ROOT/tests/fuzz/corpus/${name#fuzz_}"
    work="$RESULTS/$name-corpus"; mkdir -p "$work"
    limited "$FUZZ_TIMEOUT" "$fuzzer" -runs="${FUZZ_RUNS:-200000}" -max_len=512 \
        -print_final_stats=1 "$work" "$corpus" >"$RESULTS/$name.log" 2>&1
    rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        tail -20 "$RESULTS/$name.log"
        report_timeout "$name" "$FUZZ_TIMEOUT"
        failed=$((failed + 1))
    elif [ "$rc" -eq 0 ]; then
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
(cd "$WIN_BUILD_DIR" && limited "$WINE_TIMEOUT" "$ROOT/tools/wine_run.sh" ./wine_tests.exe \
    --gtest_color=no "$@") 2>&1 | tee "$RESULTS/wine.log"
rc=${PIPESTATUS[0]}
# Whatever the hung program left running (its windows, Wine's helpers) goes with the session.
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then wineserver -k 2>/dev/null || true; fi
count_gtest wine "$RESULTS/wine.log" "$rc" "$WINE_TIMEOUT"
# The same in 32 bits, in the same session: the portable core's tests, where a size that holds
# only in a 64-bit size_t fails, and the whole Wine suite against the 32-bit DLL (registered in
# the 32-bit view), driven from a 32-bit test program and launcher. The whole suite, not a part:
# measured here (2 cores) it takes about 90 s in 32 bits beside 100 s in 64, and the whole run
# from a fresh clone, builds included, under 13 minutes, far below CI's 25.
(cd "$WIN32_BUILD_DIR" && limited "$NATIVE_TIMEOUT" "$ROOT/tools/wine_run.sh" ./core_tests.exe \
    --gtest_color=no) >"$RESULTS/native32.log" 2>&1
count_gtest "core tests in 32 bits" "$RESULTS/native32.log" "$?" "$NATIVE_TIMEOUT"
(cd "$WIN32_BUILD_DIR" && limited "$WINE_TIMEOUT" "$ROOT/tools/wine_run.sh" ./wine_tests.exe \
    --gtest_color=no "$@") 2>&1 | tee "$RESULTS/wine32.log"
rc=${PIPESTATUS[0]}
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then wineserver -k 2>/dev/null || true; fi
count_gtest "wine in 32 bits" "$RESULTS/wine32.log" "$rc" "$WINE_TIMEOUT"
# The page at other DPIs. Wine reads LogPixels when it starts: a session each, then 96 again.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null; wineserver -w; wineserver -p
}
# The tests of the view's code page, run again under the Russian locale.
CODE_PAGE_TESTS='*TheViewsCodePage*:ClipboardOnView.TextFromAnotherWindowIsInsertedAsItsCharacters'
if [ $# -eq 0 ]; then
    for dpi in 120 144 192; do
        set_dpi "$dpi"
        (cd "$WIN_BUILD_DIR" && PROPWEAVE_DPI=$dpi limited "$WINE_TIMEOUT" "$ROOT/tools/wine_run.sh" \
            ./wine_tests.exe --gtest_color=no --gtest_filter='HighDpi.*') >"$RESULTS/wine-$dpi.log" 2>&1
        count_gtest "wine at $dpi DPI" "$RESULTS/wine-$dpi.log" "$?" "$WINE_TIMEOUT"
    done
    set_dpi 96
    # The view's code page where the system's is another: Wine takes its ANSI code page (1251
    # here) from the locale its session starts in.
    (
        export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
        wineserver -k 2>/dev/null; wineserver -w; wineserver -p
        cd "$WIN_BUILD_DIR" && PROPWEAVE_ACP=1251 limited "$WINE_TIMEOUT" "$ROOT/tools/wine_run.sh" \
            ./wine_tests.exe --gtest_color=no --gtest_filter="$CODE_PAGE_TESTS"
    ) >"$RESULTS/wine-ru.log" 2>&1
    count_gtest "wine under ru_RU.UTF-8" "$RESULTS/wine-ru.log" "$?" "$WINE_TIMEOUT"
    wineserver -k 2>/dev/null; wineserver -w
fi
# The view's picture for docs/ (docs/hex-view.png is a copy of one such run).
if [ -f "$WIN_BUILD_DIR/hex-view.bmp" ] && command -v convert >/dev/null; then
    convert "$WIN_BUILD_DIR/hex-view.bmp" "$RESULTS/hex-view.png" 2>/dev/null || true
fi
for shot in "$WIN_BUILD_DIR"/page-*.bmp; do # the page's pictures (docs/page-*.png)
    [ -f "$shot" ] && convert "$shot" "$RESULTS/$(basename "${shot%.bmp}").png" 2>/dev/null || true
done
wineserver -k 2>/dev/null || true

echo "== Windows Installer package under Wine (a prefix of its own)"
limited "$PACKAGE_TIMEOUT" "$ROOT/tests/install/run.sh" 2>&1 | tee "$RESULTS/package.log"
count_gtest package "$RESULTS/package.log" "${PIPESTATUS[0]}" "$PACKAGE_TIMEOUT"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
