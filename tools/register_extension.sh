#!/usr/bin/env bash
# Registers a built DLL as a property-sheet handler for files in the Wine prefix: the registry
# values of the Windows Installer package (tools/install/registration.wxi), with the package's
# file reference pointing at the build tree's DLL. As the package's components do, each DLL goes
# into the registry view of its own bitness: the 64-bit one (build/win) by default, the 32-bit one
# (build/win32) with --32. With --remove its values leave that view again; the handler's entry
# under Classes\*, which both views share, stays while the other view still has the class.
# Usage: tools/register_extension.sh [--32] [--remove]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
view=64 other=32 dir="$WIN_BUILD_DIR" remove=""
for arg in "$@"; do
    case "$arg" in
    --32) view=32 other=64 dir="$WIN32_BUILD_DIR" ;;
    --remove) remove=1 ;;
    *) echo "usage: register_extension.sh [--32] [--remove]" >&2; exit 2 ;;
    esac
done
dll="$dir/propweave.dll"
[ -n "$remove" ] || [ -f "$dll" ] || { echo "register_extension: $dll not built" >&2; exit 1; }
windows_path="Z:${dll//\//\\}"
attr() { sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p" <<<"$2"; }
rows=$(grep '<RegistryValue ' "$ROOT/tools/install/registration.wxi")
class=$(attr Key "$(grep -m1 'Classes\\CLSID\\' <<<"$rows")")
# Wine's reg.exe, which takes the view, not regedit: `wine regedit` is the 32-bit one here.
if [ -n "$remove" ]; then
    wine reg query "HKLM\\$class\\InprocServer32" "/reg:$other" >/dev/null 2>&1 && kept=1 || kept=""
    while IFS= read -r line; do
        key="HKLM\\$(attr Key "$line")" name=$(attr Name "$line")
        # Under Classes only CLSID is redirected: the rest is the key both views share.
        case "$key" in *\\Classes\\CLSID\\*) ;; *\\Classes\\*) [ -z "$kept" ] || continue ;; esac
        case "$name" in "" | "*") set -- "$key" ;; *) set -- "$key" /v "$name" ;; esac
        wine reg delete "$@" /f "/reg:$view" >/dev/null 2>&1 || true
    done <<<"$rows"
    exit 0
fi
reg="$WINEPREFIX/propweave-register-$view.reg"
{
    echo REGEDIT4
    while IFS= read -r line; do
        case "$(attr Root "$line")" in
            HKLM) root=HKEY_LOCAL_MACHINE ;;
            *) echo "register_extension: unknown root in: $line" >&2; exit 1 ;;
        esac
        name=$(attr Name "$line")
        value=$(attr Value "$line")
        value=${value//'[#$(var.DllFile)]'/$windows_path}
        value=${value//\\/\\\\}
        echo
        echo "[$root\\$(attr Key "$line")]"
        if [ "$name" = "*" ]; then continue; fi # the key alone
        if [ -n "$name" ]; then echo "\"$name\"=\"$value\""; else echo "@=\"$value\""; fi
    done <<<"$rows"
} >"$reg"
wine reg import "$reg" "/reg:$view" >/dev/null 2>&1
