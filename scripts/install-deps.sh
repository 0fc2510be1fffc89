#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing.
#
# A package mirror can be out of step (one index mid-sync: "File has unexpected
# size ... Mirror sync in progress?"). The update is retried, and the install goes
# on with the indexes that did arrive. Where the install then cannot be resolved
# (the amd64 and i386 halves of a multiarch library at different versions, because
# only one half's index of the security suite arrived), it is tried again with the
# release's own suite as target, whose indexes list both halves at one version.
set -euo pipefail

packages=(cmake make clang mingw-w64 googletest wine wine64 wine32:i386 xvfb
          xdotool x11-utils imagemagick locales fonts-ipafont-gothic fonts-wine python3 git
          wixl msitools osslsigncode openssl)

sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_="sudo"
apt_=($sudo_ env DEBIAN_FRONTEND=noninteractive apt-get ${WEXDAL_APT_OPTIONS:-})

say() { echo "install-deps: $*"; }

missing_of() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

# apt-get update, up to three times; a run in which some indexes failed is
# accepted after the last try, with what it fetched.
updated=""
update_indexes() {
    [ -z "$updated" ] || return 0
    updated=1
    local try log
    log=$(mktemp)
    for try in 1 2 3; do
        if "${apt_[@]}" update -q >"$log" 2>&1 && ! grep -q '^[WE]: Failed to fetch' "$log"; then
            rm -f "$log"
            return 0
        fi
        say "apt-get update, try $try of 3, did not fetch every index:"
        grep -E '^(W|E|Err):' "$log" | sed 's/^/    /' | head -n 8 || true
        [ "$try" -eq 3 ] || sleep $((try * 5))
    done
    rm -f "$log"
    say "going on with the indexes that were fetched"
}

install_packages() {
    local codename
    if "${apt_[@]}" install -y -q "$@"; then
        return 0
    fi
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ -z "$codename" ]; then
        say "the install failed and /etc/os-release names no release to fall back on"
        return 1
    fi
    say "the install could not be resolved; installing again with the release's own suite ($codename) as target, so that both halves of each multiarch library come from one index"
    "${apt_[@]}" install -y -q -t "$codename" "$@"
}

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo_ dpkg --add-architecture i386
    fi
    update_indexes
    install_packages "${missing[@]}"
fi

# The sanitizer runtimes come with the package of the installed clang's major version.
rt="libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
if [ -n "$(missing_of "$rt")" ]; then
    say "installing $rt"
    update_indexes
    install_packages "$rt"
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    say "generating the ja_JP.UTF-8 locale"
    $sudo_ sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_ tee -a /etc/locale.gen >/dev/null
    $sudo_ locale-gen >/dev/null
fi
