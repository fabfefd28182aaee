#!/usr/bin/env bash
# Runs one Windows program under Wine. Its output goes to a file first: Wine's helper
# processes keep an inherited pipe open long after the program has ended. Stopped by a
# signal (a time limit), it stops the program and still shows what the program had said.
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
out="$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")"
show() {
    grep -v -E '^(it looks like wine32 is missing|multiarch needs to be enabled|execute "dpkg --add-architecture|apt-get install wine32)' "$out"
    rm -f "$out"
}
wine "$@" >"$out" 2>&1 </dev/null &
child=$!
trap 'kill -KILL $child 2>/dev/null; wait $child 2>/dev/null; show; exit 124' TERM INT
wait $child
rc=$?
show
exit $rc
