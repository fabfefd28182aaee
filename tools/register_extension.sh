#!/usr/bin/env bash
# Registers the built DLL as a property-sheet handler for files in the Wine prefix.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
dll="$WIN_BUILD_DIR/propweave.dll"
[ -f "$dll" ] || { echo "register_extension: $dll not built" >&2; exit 1; }
windows_path="Z:$(echo "$dll" | sed 's|/|\\\\|g')"
clsid='{FFE474D2-1728-4FC4-87FD-DDCE54288C30}'
reg="$WINEPREFIX/propweave-register.reg"
cat > "$reg" <<REG
REGEDIT4

[HKEY_CLASSES_ROOT\\CLSID\\$clsid]
@="propWeave Hex Editor"

[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32]
@="$windows_path"
"ThreadingModel"="Apartment"

[HKEY_CLASSES_ROOT\\*\\shellex\\PropertySheetHandlers\\$clsid]
@="propWeave Hex Editor"

[HKEY_LOCAL_MACHINE\\Software\\Kestrow Software\\propWeave Hex Editor]
REG
wine regedit /S "$reg" >/dev/null 2>&1
