#!/usr/bin/env bash
# The report command on the sample machine, its JSON read by Python's own json
# module and its text decoded by Python's own code page 932 table: every fact of
# the text appears in the JSON document.
#   report_json.sh WEXDAL.EXE SAMPLE_MACHINE.EXE EMULATOR...
# WEXDAL_PROGRAM, when set, names the program to test instead of WEXDAL.EXE.
set -euo pipefail
wexdal=${WEXDAL_PROGRAM:-$1}
sample=$2
shift 2
run=("$@")

out=$(mktemp -d)
trap '"${run[@]}" "$sample" remove >/dev/null 2>&1 || true; rm -rf "$out"' EXIT
"${run[@]}" "$sample" lay >/dev/null
windows_out="Z:${out//\//\\}"
"${run[@]}" "$wexdal" /report "$windows_out\\r.txt"
"${run[@]}" "$wexdal" /report:json "$windows_out\\r.json"

python3 - "$out/r.txt" "$out/r.json" <<'PY'
import json, re, sys

def unique(pairs):
    keys = [k for k, _ in pairs]
    assert len(keys) == len(set(keys)), f"duplicate member in {keys}"
    return dict(pairs)

text = open(sys.argv[1], "rb").read().decode("cp932")
with open(sys.argv[2], "rb") as f:
    raw = f.read()
doc = json.loads(raw.decode("utf-8"), object_pairs_hook=unique)

strings = set()
def collect(value):
    if isinstance(value, dict):
        for v in value.values():
            collect(v)
    elif isinstance(value, list):
        for v in value:
            collect(v)
    elif isinstance(value, str):
        strings.add(value)
collect(doc)

assert text.endswith("\r\n") and "\n" not in text.replace("\r\n", "")
user_info = text.split("↓-- gsInfoBefore --↓\r\n", 1)[1].split("\r\n")[:-1]
for line in text.split("\r\n"):
    field = re.fullmatch(r"([A-Za-z]+)\[(.*)\]", line)
    if field and field.group(1) != "IconHandle" and field.group(2) not in ("", "↓"):
        assert field.group(2) in strings, f"{line!r} not in the JSON"
    if "\t" in line:
        assert line in strings, f"VerList line {line!r} not in the JSON"
for line in user_info:
    name, value = line.split("=", 1)
    assert doc["UserInfo"][name] == value, line
assert doc["UserInfo"]["Company"] == "株式会社　見本"
assert doc["OfficeFound"] is True and len(doc["VerList"]) == 2
assert list(doc["Switches"]) == ["MsoClip", "LogonIme", "XlsBrowser", "DocBrowser",
                                 "PptBrowser", "PptLocalSv", "EmlWsh"]
assert all(v in (0, 1) for v in doc["Switches"].values())
assert all(isinstance(i, int) for k in ("XlsProcessIds", "DocProcessIds", "PptProcessIds")
           for i in doc[k])
print("report_json: text and JSON agree,", len(strings), "strings")
PY
