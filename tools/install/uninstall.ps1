<#
.SYNOPSIS
    Removes what install.ps1 wrote: the class, its in-process server entry, the property-sheet
    handler entry for all files and the machine key of the page.
.DESCRIPTION
    Run from an elevated 64-bit PowerShell. Explorer keeps a loaded DLL until it restarts or
    unloads it; sign out or restart Explorer before deleting the DLL file. The per-user values
    the page writes itself (HKCU\Software\Kestrow Software\propWeave\Members and MembersReg,
    bookmarks under HKCU\Software\Kestrow Software\propWeave Hex Editor) are left alone.
#>
$ErrorActionPreference = 'Stop'
$clsid = '{FFE474D2-1728-4FC4-87FD-DDCE54288C30}'

if (-not [Environment]::Is64BitProcess) {
    throw 'Run this from 64-bit PowerShell.'
}
$principal = New-Object Security.Principal.WindowsPrincipal([Security.Principal.WindowsIdentity]::GetCurrent())
if (-not $principal.IsInRole([Security.Principal.WindowsBuiltInRole]::Administrator)) {
    throw 'Run this from an elevated PowerShell (Run as administrator).'
}

$machine = [Microsoft.Win32.RegistryKey]::OpenBaseKey(
    [Microsoft.Win32.RegistryHive]::LocalMachine, [Microsoft.Win32.RegistryView]::Registry64)
try {
    $machine.DeleteSubKeyTree("SOFTWARE\Classes\*\shellex\PropertySheetHandlers\$clsid", $false)
    $machine.DeleteSubKeyTree("SOFTWARE\Classes\CLSID\$clsid", $false)
    $machine.DeleteSubKeyTree('SOFTWARE\Kestrow Software\propWeave Hex Editor', $false)
    # The vendor key goes too when nothing else of the vendor is left in it.
    $vendor = $machine.OpenSubKey('SOFTWARE\Kestrow Software')
    if ($vendor) {
        $empty = ($vendor.SubKeyCount -eq 0 -and $vendor.ValueCount -eq 0)
        $vendor.Close()
        if ($empty) { $machine.DeleteSubKey('SOFTWARE\Kestrow Software', $false) }
    }
} finally {
    $machine.Close()
}
Write-Host 'Unregistered the propWeave Hex Editor page.'
