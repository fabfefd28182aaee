#!/usr/bin/env bash
# Makes the Wine prefix once, with the settings the tests depend on, and registers the built
# shell extension in it (not with --bare: the package test installs it there). Safe to run again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi

settings="$WINEPREFIX/propweave-settings.reg"
cat > "$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="x11,null"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Courier New"="Liberation Mono"
REG
wine regedit /S "$settings" >/dev/null 2>&1
[ "${1:-}" = --bare ] || "$(dirname "${BASH_SOURCE[0]}")/register_extension.sh"
