#!/usr/bin/env bash
# Builds the Windows Installer package with msitools: wixl makes it from propweave.wxs, msibuild
# then sets what wixl 0.101 leaves out of its tables: the DLLs' file version and language
# (Windows Installer otherwise treats a DLL as an unversioned file), without the hash rows wixl
# gives them, and the upgrade row's included maximum (IncludeMaximum, which wixl ignores; without
# it a package of the same version installs beside the one installed instead of replacing it).
# Usage: tools/install/build_msi.sh VERSION DLL DLL32 OUTPUT
#   VERSION: major.minor.patch; DLL the 64-bit build's, DLL32 the 32-bit build's (same version)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
version=$1 dll=$2 dll32=$3 output=$4
relative() { realpath --relative-to=. "$1"; } # wixl finds sources only below where it runs
wixl -a x64 -D Version="$version" -D DllSource="$(relative "$dll")" -D Dll32Source="$(relative "$dll32")" \
    -D IconSource="$(relative "$here/../../resources/header_icon.ico")" -o "$output" \
    "$here/propweave.wxs"
# Each DLL's FILEVERSION is the version with a fourth part 0, its language the version
# resource's translation (0x409, 1033). A versioned file has no hash row: Windows Installer
# takes hashes for unversioned files only (ICE60), and compares versions instead.
for file in propweave.dll propweave32.dll; do
    msibuild "$output" -q "UPDATE File SET Version = '$version.0', Language = '1033' WHERE File = '$file'"
    msibuild "$output" -q "DELETE FROM MsiFileHash WHERE File_ = '$file'"
done
# Attributes is part of the Upgrade table's key, which SQL cannot update: the table goes out and
# back in with the removing row's 512 (maximum inclusive) added.
table="$(mktemp -d)"
trap 'rm -rf "$table"' EXIT
msiinfo export "$output" Upgrade |
    awk -F '\t' -v OFS='\t' 'NR > 3 && $7 ~ /^WIX_UPGRADE_DETECTED/ { $5 = $5 + 512 } 1' \
        >"$table/Upgrade.idt"
msibuild "$output" -i "$table/Upgrade.idt"
