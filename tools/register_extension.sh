#!/usr/bin/env bash
# Registers the built DLL as a property-sheet handler for files in the Wine prefix: the
# registry values of the Windows Installer package (tools/install/propweave.wxs), with the
# package's file reference pointing at the build tree's DLL.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
dll="$WIN_BUILD_DIR/propweave.dll"
[ -f "$dll" ] || { echo "register_extension: $dll not built" >&2; exit 1; }
windows_path="Z:${dll//\//\\}"
attr() { sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p" <<<"$2"; }
reg="$WINEPREFIX/propweave-register.reg"
{
    echo REGEDIT4
    grep '<RegistryValue ' "$ROOT/tools/install/propweave.wxs" | while IFS= read -r line; do
        case "$(attr Root "$line")" in
            HKLM) root=HKEY_LOCAL_MACHINE ;;
            HKCU) root=HKEY_CURRENT_USER ;;
            *) echo "register_extension: unknown root in: $line" >&2; exit 1 ;;
        esac
        name=$(attr Name "$line")
        value=$(attr Value "$line")
        value=${value//'[#propweave.dll]'/$windows_path}
        value=${value//\\/\\\\}
        echo
        echo "[$root\\$(attr Key "$line")]"
        if [ "$name" = "*" ]; then continue; fi # the key alone
        if [ -n "$name" ]; then echo "\"$name\"=\"$value\""; else echo "@=\"$value\""; fi
    done
} >"$reg"
wine regedit /S "$reg" >/dev/null 2>&1
