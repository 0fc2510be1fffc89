#!/usr/bin/env bash
# Builds every libFuzzer target of the pure rules (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each in turn from its seed corpus.
#
#   scripts/fuzz.sh [seconds per target]     default 10
#   scripts/fuzz.sh --runs N                 N executions per target instead
#
# New inputs found on the way go to build-fuzz/corpus/<target>; the seeds under
# tests/fuzz/corpus are only read. A finding stops the script with the target's
# report and leaves the input as build-fuzz/crash-*.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

limit=(-max_total_time="${1:-10}")
if [ "${1:-}" = "--runs" ]; then
    limit=(-runs="${2:?--runs needs a count}")
fi

# Installs the named Debian packages that are missing.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    local sudo_=""
    [ "$(id -u)" -eq 0 ] || sudo_="sudo"
    echo "fuzz: installing ${missing[*]}"
    $sudo_ apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q "${missing[@]}"
}

install_missing clang cmake make
# libFuzzer comes with the runtime package of the installed clang's major version.
install_missing "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"

build=build-fuzz
CC=clang CXX=clang++ cmake -S tests/native -B "$build" -DWEXDAL_FUZZERS=ON >/dev/null
cmake --build "$build" -j2

for target in "$build"/*Fuzz; do
    name=$(basename "$target")
    mkdir -p "$build/corpus/$name"
    corpora=("corpus/$name")
    [ -d "tests/fuzz/corpus/$name" ] && corpora+=("../tests/fuzz/corpus/$name")
    echo "fuzz: $name ${limit[*]}"
    # Inputs of up to 512 bytes reach every branch of these rules, and keep runs quick.
    # New inputs go to the first corpus only, in the build folder.
    if ! (cd "$build" && "./$name" "${limit[@]}" -max_len=512 -print_final_stats=1 "${corpora[@]}" \
              >"$name.log" 2>&1); then
        cat "$build/$name.log"
        echo "fuzz: $name found a fault; the input is in $build"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "$build/$name.log"
done
echo "fuzz: every target ran without a finding"
