#!/usr/bin/env bash
# Runs one Windows program under Wine. Its output goes to a file first: Wine's helper
# processes keep an inherited pipe open long after the program has ended.
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
out="$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")"
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
grep -v -E '^(it looks like wine32 is missing|multiarch needs to be enabled|execute "dpkg --add-architecture|apt-get install wine32)' "$out"
rm -f "$out"
exit $rc
