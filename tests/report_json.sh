#!/usr/bin/env bash
# The report command on the sample machine, its JSON read by Python's own json
# module and its text decoded by Python's own code page 932 table: every fact of
# the text appears in the JSON document. Then the JSON report of every sample
# machine, read as strictly as a fleet's collector reads it: UTF-8 without BOM,
# no duplicate member, no NaN, and exactly the members README.md documents.
#   report_json.sh WEXDAL.EXE SAMPLE_MACHINE.EXE EMULATOR...
# WEXDAL_PROGRAM, when set, names the program to test instead of WEXDAL.EXE.
set -euo pipefail
trap 'echo "report_json: line $LINENO ended with $?" >&2' ERR
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

machines=(standard --office2003-only --no-component --outlook-express-only --m365 --ltsc2021
          --office2016 --office2013c2r --office2010)
for machine in "${machines[@]}"; do
    args=(lay)
    [ "$machine" = standard ] || args+=("$machine")
    "${run[@]}" "$sample" "${args[@]}" >/dev/null
    "${run[@]}" "$wexdal" /report:json "$windows_out\\machine$machine.json"
done

python3 - "$(dirname "$0")/../README.md" "$out" "${machines[@]}" <<'PY'
import json, os, re, sys

readme, folder, machines = sys.argv[1], sys.argv[2], sys.argv[3:]
section = open(readme, encoding="utf-8").read().split("### The JSON report's members", 1)[1]
section = section.split("\n### ", 1)[0]
documented = {}
for row in re.findall(r"^\| ((?:`[^`]+`(?:, )?)+) \| (\w+(?: or null)?) \|", section, re.M):
    for name in re.findall(r"`([^`]+)`", row[0]):
        documented[name] = row[1]
TYPES = {"number": int, "string": str, "boolean": bool, "object": dict, "array": list}

def strict(raw):
    assert not raw.startswith(b"\xef\xbb\xbf"), "a byte order mark"
    def unique(pairs):
        # PowerShell's ConvertFrom-Json refuses names that differ in case only.
        keys = [k.lower() for k, _ in pairs]
        assert len(keys) == len(set(keys)), f"duplicate member in {keys}"
        return dict(pairs)
    def constant(name):
        raise ValueError(f"{name} is no JSON")
    return json.loads(raw.decode("utf-8"), object_pairs_hook=unique, parse_constant=constant)

for machine in machines:
    with open(os.path.join(folder, f"machine{machine}.json"), "rb") as f:
        doc = strict(f.read())
    names = set(doc) | {"Machine." + k for k in doc["Machine"]}
    assert names == set(documented), f"{machine}: undocumented {names - set(documented)}, missing {set(documented) - names}"
    for name, kind in documented.items():
        value = doc[name] if "." not in name else doc["Machine"][name.split(".", 1)[1]]
        nullable, kind = kind.endswith(" or null"), kind.split(" ")[0]
        assert (value is None and nullable) or (isinstance(value, TYPES[kind]) and
                (kind != "number" or not isinstance(value, bool))), f"{machine}: {name} = {value!r}"
    for name in ("Product", "UserInfo", "Switches"):
        assert all(isinstance(v, str if name != "Switches" else (int, type(None)))
                   for v in doc[name].values()), f"{machine}: {name}"
    for line in doc["VerList"]:
        assert set(line) == {"Version", "ProductCode", "DisplayName", "DisplayVersion",
                             "ProductID", "InstallRoot", "Line"}, f"{machine}: {line}"
    assert doc["Schema"] == 1
    assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", doc["Machine"]["Time"])
    assert re.fullmatch(r"\d+\.\d+\.\d+", doc["Machine"]["WindowsVersion"])
    assert doc["Machine"]["Architecture"] in ("x86", "x64", "arm64")
    assert doc["OfficeFound"] is (machine != "--outlook-express-only"), machine
print("report_json:", len(machines), "machines' reports hold every documented member")
PY

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
assert doc["MsoUpdate"] and doc["MsoUpdate"][-1]["Kind"] == "page", doc["MsoUpdate"]
user_info = text.split("↓-- gsInfoBefore --↓\r\n", 1)[1].split("\r\n")[:-1]
for line in text.split("\r\n"):
    field = re.fullmatch(r"([A-Za-z]+)\[(.*)\]", line)
    assert not line.startswith("MsoUpdate["), "the update row's starts are in the JSON only"
    if field and field.group(1) == "ProductID" and field.group(2) == "不明":
        assert doc["ProductID"] is None, "the memo's 不明 is null in the JSON"
    elif field and field.group(1) != "IconHandle" and field.group(2) not in ("", "↓"):
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

# The usage lists what README.md tells administrators: every name of the table of
# the change commands (and no other), and every exit code of that section.
"${run[@]}" "$wexdal" /? >"$out/usage.txt"
python3 - "$(dirname "$0")/../README.md" "$out/usage.txt" <<'PY'
import re, sys

readme, usage_file = sys.argv[1], sys.argv[2]
section = open(readme, encoding="utf-8").read().split(
    "## For administrators: changing settings from scripts", 1)[1].split("\n## ", 1)[0]
usage = open(usage_file, "rb").read().decode("cp932")
documented = set()
names = section.split("| name | what it is |", 1)[1].split("\n\n", 1)[0]
for cell in re.findall(r"^\| ((?:`\w+`(?:, )?)+)(?: \(`/repair`\))? \|", names, re.M):
    documented.update(re.findall(r"`(\w+)`", cell))
listed = set(re.findall(r"^    ([A-Za-z0-9]+) \(", usage, re.M))
assert documented and documented == listed, (documented, listed)
codes = re.findall(r"^\| (\d+) \|", section, re.M)
assert codes, "no exit codes documented"
for code in codes:
    assert re.search(rf"^    {code} ", usage, re.M), f"exit code {code} not in the usage"
# The usage names the program that prints it; the README, the console program.
for command in ("/set", "/check", "/repair"):
    assert f"wexdal.exe {command} " in usage and f"wexdal.com {command} " in section, command
print("report_json: the usage lists the", len(documented), "names and", len(codes),
      "exit codes the README documents")
PY
