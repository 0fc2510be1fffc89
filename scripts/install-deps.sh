#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing.
set -euo pipefail

packages=(cmake make clang mingw-w64 googletest wine wine64 wine32:i386 xvfb
          xdotool x11-utils imagemagick locales fonts-ipafont-gothic fonts-wine python3 git)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo_ dpkg --add-architecture i386
    fi
    $sudo_ apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q "${missing[@]}"
fi

# The sanitizer runtimes come with the package of the installed clang's major version.
rt="libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
if ! dpkg-query -W -f='${Status}' "$rt" 2>/dev/null | grep -q 'install ok installed'; then
    echo "install-deps: installing $rt"
    $sudo_ apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q "$rt"
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "install-deps: generating the ja_JP.UTF-8 locale"
    $sudo_ sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_ tee -a /etc/locale.gen >/dev/null
    $sudo_ locale-gen >/dev/null
fi
