#!/usr/bin/env bash
# Builds the Windows Installer package with msitools: wixl makes it from propweave.wxs, msibuild
# then sets what wixl 0.101 leaves out of its tables: the DLL's file version and language
# (Windows Installer otherwise treats the DLL as an unversioned file), without the hash row wixl
# gives it, and the upgrade row's included maximum (IncludeMaximum, which wixl ignores; without
# it a package of the same version installs beside the one installed instead of replacing it).
# Usage: tools/install/build_msi.sh VERSION DLL OUTPUT    (VERSION: major.minor.patch)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
version=$1 dll=$2 output=$3
relative() { realpath --relative-to=. "$1"; } # wixl finds sources only below where it runs
wixl -a x64 -D Version="$version" -D DllSource="$(relative "$dll")" \
    -D IconSource="$(relative "$here/../../resources/header_icon.ico")" -o "$output" \
    "$here/propweave.wxs"
# The DLL's FILEVERSION is the version with a fourth part 0, its language the version
# resource's translation (0x409, 1033). A versioned file has no hash row: Windows Installer
# takes hashes for unversioned files only (ICE60), and compares versions instead.
msibuild "$output" -q "UPDATE File SET Version = '$version.0', Language = '1033' WHERE File = 'propweave.dll'"
msibuild "$output" -q "DELETE FROM MsiFileHash WHERE File_ = 'propweave.dll'"
# Attributes is part of the Upgrade table's key, which SQL cannot update: the table goes out and
# back in with the removing row's 512 (maximum inclusive) added.
table="$(mktemp -d)"
trap 'rm -rf "$table"' EXIT
msiinfo export "$output" Upgrade |
    awk -F '\t' -v OFS='\t' 'NR > 3 && $7 ~ /^WIX_UPGRADE_DETECTED/ { $5 = $5 + 512 } 1' \
        >"$table/Upgrade.idt"
msibuild "$output" -i "$table/Upgrade.idt"
