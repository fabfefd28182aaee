#!/usr/bin/env bash
# Runs the benchmarks: Google Benchmark natively, then every timing harness under Wine, and
# those the 32-bit tree builds (the page's opening, the load and save) once more against the
# 32-bit DLL, from 32-bit programs, with the same targets.
# Usage: tools/bench.sh [name-filter]
# Exits non-zero when a harness did: one of its figures was NOT MEASURED (the operation timed
# did not do its work) or it could not run. The other harnesses still run.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -z "${PROPWEAVE_INNER:-}" ]; then
    "$ROOT/tools/install_deps.sh" && "$ROOT/tools/build.sh" native && "$ROOT/tools/build.sh" win || exit 1
    export PROPWEAVE_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@" </dev/null
fi
source "$ROOT/tools/wine_env.sh"
filter="${1:-}"
failed=()
echo "== Native (Google Benchmark)"
"$BUILD_DIR/native/core_bench" ${filter:+--benchmark_filter="$filter"} || failed+=(core_bench)
echo "== Under Wine"
wineserver -k 2>/dev/null || true
"$ROOT/tools/wine_prefix.sh"
wineserver -p
for bench in "$WIN_BUILD_DIR"/*_bench.exe "$WIN32_BUILD_DIR"/*_bench.exe; do
    [ -e "$bench" ] || continue
    [ -n "$filter" ] && [[ "$(basename "$bench")" != *"$filter"* ]] && continue
    name="$(basename "$bench")"
    [ "$(dirname "$bench")" = "$WIN_BUILD_DIR" ] || name="$name (32-bit)"
    echo "-- $name"
    (cd "$(dirname "$bench")" && "$ROOT/tools/wine_run.sh" "./$(basename "$bench")") ||
        failed+=("$name")
done
wineserver -k 2>/dev/null || true
if [ ${#failed[@]} -gt 0 ]; then
    echo "== Failed or NOT MEASURED: ${failed[*]}"
    exit 1
fi
