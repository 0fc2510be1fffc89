#!/usr/bin/env bash
# The 32-bit program (the shipped one) and the 64-bit build on the same 64-bit
# machine: on every sample machine, their JSON reports must agree. The 32-bit program
# meets the registry views that WoW64 keeps apart, and must read each key where its
# owner wrote it, as the 64-bit program does. Every difference allowed is listed
# below with its reason; any other fails.
#   bitness_report.sh WEXDAL32.EXE WEXDAL64.EXE SAMPLE_MACHINE.EXE EMULATOR...
# WEXDAL_PROGRAM, when set, names the 32-bit program to test instead of WEXDAL32.EXE.
set -euo pipefail
program32=${WEXDAL_PROGRAM:-$1}
program64=$2
sample=$3
shift 3
run=("$@")

[ -f "$program64" ] || {
    echo "bitness_report: no 64-bit build at $program64 (cmake --build --preset mingw)" >&2
    exit 1
}
out=$(mktemp -d)
trap '"${run[@]}" "$sample" remove >/dev/null 2>&1 || true; rm -rf "$out"' EXIT
windows_out="Z:${out//\//\\}"

machines=(standard --m365 --ltsc2021 --office2016 --office2013c2r --office2010)
for machine in "${machines[@]}"; do
    args=(lay)
    [ "$machine" = standard ] || args+=("$machine")
    "${run[@]}" "$sample" "${args[@]}" >/dev/null
    "${run[@]}" "$program32" /report:json "$windows_out\\$machine.32.json"
    "${run[@]}" "$program64" /report:json "$windows_out\\$machine.64.json"
    "${run[@]}" "$sample" remove >/dev/null
done

python3 - "$out" "${machines[@]}" <<'PY'
import json, os, sys

# Where the two may differ, and why.
ALLOWED = {
    # Office 2016 and 2010 of the 32-bit view: the 64-bit program lists it among the products
    # of the other view, whose line takes the registration's product ID since the
    # later ID sources are read in the program's own view. The 32-bit program lists
    # it in its own view, where the line keeps the Uninstall entry's (none); the
    # product's ProductID is the same for both.
    **{(machine, f".VerList[0].{column}"): "the other view's line carries the registration's ID"
       for machine in ("--office2016", "--office2010") for column in ("Line", "ProductID")},
    # On every machine: the two reports are made one after the other.
    ("*", ".Machine.Time"): "each report has the time it was made",
}
# Machines that only the 32-bit program serves: Office 2000-2003 keep every key in
# the 32-bit view of 64-bit Windows, and the 64-bit build looks into the other view
# for Windows Installer products of Office 2007 and later only. It finds no Office.
THIRTY_TWO_BIT_ONLY = {"standard": "Office XP and 2003 live in the 32-bit view only"}

def differences(a, b, path=""):
    if isinstance(a, dict) and isinstance(b, dict):
        for key in sorted(set(a) | set(b)):
            yield from differences(a.get(key), b.get(key), f"{path}.{key}")
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for i, (x, y) in enumerate(zip(a, b)):
            yield from differences(x, y, f"{path}[{i}]")
    elif a != b:
        yield path, a, b

folder, machines = sys.argv[1], sys.argv[2:]
failed = False
for machine in machines:
    docs = []
    for bits in ("32", "64"):
        with open(os.path.join(folder, f"{machine}.{bits}.json"), encoding="utf-8") as f:
            docs.append(json.load(f))
    assert docs[0]["OfficeFound"] is True, f"{machine}: no Office found"
    if machine in THIRTY_TWO_BIT_ONLY:
        assert docs[1]["OfficeFound"] is False, f"{machine}: the 64-bit build found Office"
        print(f"{machine}: only the 32-bit program finds Office ({THIRTY_TWO_BIT_ONLY[machine]})")
        continue
    for path, a, b in differences(*docs):
        reason = ALLOWED.get((machine, path)) or ALLOWED.get(("*", path))
        print(f"{machine}: {path}: 32-bit {a!r}, 64-bit {b!r}" +
              (f" (allowed: {reason})" if reason else ""))
        failed |= reason is None
    print(f"bitness_report: {machine}: compared")
sys.exit(1 if failed else 0)
PY
