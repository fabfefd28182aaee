#!/usr/bin/env bash
# Makes the Wine prefix once, with the settings the tests depend on, and registers the built
# shell extensions in it (not with --bare: the package test installs them there). Safe to run
# again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"

# A prefix made before Wine's 32-bit half was installed has no 32-bit system (its syswow64 stays
# empty), and once that half is there it runs nothing at all, 64-bit programs neither ("could not
# load kernel32.dll, status c0000135"); wineboot -u does not mend it. Such a prefix is made again.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] &&
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    echo "Wine prefix $WINEPREFIX has no 32-bit half: making it again"
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi

# Chinese, Japanese and Korean names (the run command installs fonts-wqy-microhei): Wine draws
# the dialog fonts with Liberation Sans (it has no Tahoma here) and falls back to no other font
# for a character missing there, so Liberation Sans and its bold face link to WenQuanYi Micro
# Hei; a link never changes the Latin text. Edit controls shape text through Uniscribe, which
# reads no links: its fallbacks for Han, Kana and Hangul (the script tags "hani", "kana" and
# "hang" as numbers) name the font themselves. A link under "Tahoma" would not do: with no such
# face Wine would draw all the text in the linked font.
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

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\Uniscribe\Fallback]
"696e6168"="WenQuanYi Micro Hei"
"616e616b"="WenQuanYi Micro Hei"
"676e6168"="WenQuanYi Micro Hei"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Liberation Sans"="wqy-microhei.ttc,WenQuanYi Micro Hei"
"Liberation Sans Bold"="wqy-microhei.ttc,WenQuanYi Micro Hei"
REG
# The 64-bit view, where Wine's own 64-bit half reads them: `wine regedit` is the 32-bit one.
wine reg import "$settings" /reg:64 >/dev/null 2>&1
# Each built DLL, in its own registry view (not with --bare: the package test installs them).
if [ "${1:-}" != --bare ]; then
    [ ! -f "$WIN_BUILD_DIR/propweave.dll" ] || "$ROOT/tools/register_extension.sh"
    [ ! -f "$WIN32_BUILD_DIR/propweave.dll" ] || "$ROOT/tools/register_extension.sh" --32
fi
