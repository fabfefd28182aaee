#!/usr/bin/env bash
# Installs what the build and the tests need, only when something is missing. With "run" (the
# run command) also a CJK font, so that Wine can show Chinese, Japanese and Korean file names;
# the tests draw no such text and do without its 5 MB.
set -euo pipefail
packages=(cmake ninja-build g++ clang g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          googletest libgtest-dev libgmock-dev libbenchmark-dev wine wine64 xvfb xauth
          fonts-liberation e2fsprogs wixl msitools locales)
packages+=(fuse3 libfuse3-dev pkg-config) # the slow file system of the Wine tests
# The 32-bit DLL: its compiler, and Wine's 32-bit half that runs it (the i386 architecture's).
packages+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386)
[ "${1:-}" != run ] || packages+=(fonts-wqy-microhei)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The Russian locale: one Wine test runs again under it, where Wine's ANSI code page is 1251.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    line='ru_RU.UTF-8 UTF-8'
    if grep -q "^# *$line" /etc/locale.gen; then
        $SUDO sed -i "s/^# *$line/$line/" /etc/locale.gen
    else
        echo "$line" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen >/dev/null
fi
