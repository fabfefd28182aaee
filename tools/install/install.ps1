<#
.SYNOPSIS
    Registers the propWeave "Hex Editor" property page for all files on this machine.
.DESCRIPTION
    Writes, in the 64-bit machine registry:
      HKLM\SOFTWARE\Classes\CLSID\{FFE474D2-1728-4FC4-87FD-DDCE54288C30}
          (default) = "propWeave Hex Editor"
      HKLM\SOFTWARE\Classes\CLSID\{FFE474D2-1728-4FC4-87FD-DDCE54288C30}\InprocServer32
          (default) = full path of propweave.dll, ThreadingModel = "Apartment"
      HKLM\SOFTWARE\Classes\*\shellex\PropertySheetHandlers\{FFE474D2-1728-4FC4-87FD-DDCE54288C30}
          (default) = "propWeave Hex Editor"
      HKLM\SOFTWARE\Kestrow Software\propWeave Hex Editor   (the key the page checks for)
    Run from an elevated 64-bit PowerShell. The DLL stays where it is: install it into a
    lasting folder first (for example C:\Program Files\propWeave).
.EXAMPLE
    powershell -ExecutionPolicy Bypass -File install.ps1 -DllPath "C:\Program Files\propWeave\propweave.dll"
#>
param(
    [Parameter(Mandatory = $true)][string]$DllPath
)
$ErrorActionPreference = 'Stop'

$clsid = '{FFE474D2-1728-4FC4-87FD-DDCE54288C30}'
$title = 'propWeave Hex Editor'

if (-not [Environment]::Is64BitProcess) {
    throw 'Run this from 64-bit PowerShell: the DLL is a 64-bit shell extension.'
}
$principal = New-Object Security.Principal.WindowsPrincipal([Security.Principal.WindowsIdentity]::GetCurrent())
if (-not $principal.IsInRole([Security.Principal.WindowsBuiltInRole]::Administrator)) {
    throw 'Run this from an elevated PowerShell (Run as administrator): it writes HKEY_LOCAL_MACHINE.'
}
$dll = (Resolve-Path -LiteralPath $DllPath).ProviderPath
if (-not (Test-Path -LiteralPath $dll -PathType Leaf)) {
    throw "No such file: $DllPath"
}

# The .NET registry API takes '*' literally, where PowerShell's registry paths treat it as a
# wildcard.
$machine = [Microsoft.Win32.RegistryKey]::OpenBaseKey(
    [Microsoft.Win32.RegistryHive]::LocalMachine, [Microsoft.Win32.RegistryView]::Registry64)
try {
    $key = $machine.CreateSubKey("SOFTWARE\Classes\CLSID\$clsid")
    $key.SetValue('', $title); $key.Close()

    $key = $machine.CreateSubKey("SOFTWARE\Classes\CLSID\$clsid\InprocServer32")
    $key.SetValue('', $dll)
    $key.SetValue('ThreadingModel', 'Apartment')
    $key.Close()

    $key = $machine.CreateSubKey("SOFTWARE\Classes\*\shellex\PropertySheetHandlers\$clsid")
    $key.SetValue('', $title); $key.Close()

    $machine.CreateSubKey('SOFTWARE\Kestrow Software\propWeave Hex Editor').Close()
} finally {
    $machine.Close()
}
Write-Host "Registered $dll"
Write-Host 'Open the Properties of any file in Explorer: the "Hex Editor" tab is there.'
