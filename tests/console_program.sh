#!/usr/bin/env bash
# The console program (wexdal.com) as scripts run it, on the sample machine: its
# lines through a pipe and a file in code page 932, JSON in ASCII, reasons on
# standard error, the command's exit code; /log's lines; a value from a UTF-16 file;
# then every command line of README.md's samples for a fleet, with the outcome the
# sample expects.
#   console_program.sh WEXDAL.COM SAMPLE_MACHINE.EXE EMULATOR...
# WEXDAL_CONSOLE_PROGRAM, when set, names the program to test instead of WEXDAL.COM.
set -euo pipefail
trap 'echo "console_program: line $LINENO ended with $?" >&2' ERR
program=${WEXDAL_CONSOLE_PROGRAM:-$1}
sample=$2
shift 2
run=("$@")

out=$(mktemp -d)
"${run[@]}" "$sample" lay >/dev/null
windows_out="Z:${out//\//\\}"

# The switches the samples change are set back as they were found.
"${run[@]}" "$program" /report:json "$windows_out\\before.json" >/dev/null
found=$(python3 -c 'import json, sys; s = json.load(open(sys.argv[1]))["Switches"]
print(" ".join(f"{n}={s[n]}" for n in ("EmlWsh", "LogonIme", "PptLocalSv")))' "$out/before.json")
trap '"${run[@]}" "$program" /set $found >/dev/null 2>&1 || true
      "${run[@]}" "$sample" remove >/dev/null 2>&1 || true; rm -rf "$out"' EXIT

# wexdal ARGS...: runs the program with its standard output and error into files,
# and prints its exit code.
wexdal() {
    local code=0
    "${run[@]}" "$program" "$@" >"$out/stdout" 2>"$out/stderr" || code=$?
    echo "$code"
}
expect() { # expect WHAT ACTUAL WANTED
    [ "$2" = "$3" ] || { echo "console_program: $1: $2, not $3" >&2; exit 1; }
}

code=$(wexdal /check EmlWsh=0)
expect "/check's exit code" "$code" "$(grep -q ' ok' "$out/stdout" && echo 0 || echo 1)"
was=$(cut -d' ' -f2 "$out/stdout")
other=$((1 - was))
expect "/set through a pipe" "$("${run[@]}" "$program" /set EmlWsh=$other | cat)" \
    "EmlWsh $was $other ok"$'\r'
expect "/set back" "$(wexdal /set EmlWsh=$was /json /log "$windows_out\\w.log")" 0
expect "/check" "$(wexdal /check EmlWsh=$was /log "$windows_out\\w.log")" 0
expect "a refused name" "$(wexdal /check NoSuchRow=1 /log "$windows_out\\w.log")" 87
cp "$out/stderr" "$out/refused.txt"
[ ! -s "$out/stdout" ] || { echo "console_program: a refusal printed on standard output" >&2; exit 1; }
expect "/report -" "$(wexdal /report -)" 0
cp "$out/stdout" "$out/report.txt"
expect "/report:json -" "$(wexdal /report:json -)" 0
cp "$out/stdout" "$out/report.json"
expect "/?" "$(wexdal /?)" 0
cp "$out/stdout" "$out/usage.txt"
expect "no command" "$(wexdal)" 0
cmp -s "$out/stdout" "$out/usage.txt" || { echo "console_program: no command is not the usage" >&2; exit 1; }
expect "a word that is no command" "$(wexdal check EmlWsh=0)" 87
expect "a log that can't be written" "$(wexdal /check EmlWsh=$was /log "$windows_out")" 0
grep -q "ok" "$out/stdout" && iconv -f CP932 -t UTF-8 "$out/stderr" | grep -q "ログに書き込めませんでした"

# A value from a UTF-16 file (with its byte order mark), written and compared.
printf '株式会社　試験\r\n' | iconv -f UTF-8 -t UTF-16 >"$out/company.txt"
code=$(wexdal /userinfo "Company=@$windows_out\\company.txt" /json)
[ "$code" = 0 ] || [ "$code" = 5 ] || { echo "console_program: /userinfo @FILE: $code" >&2; exit 1; }
cp "$out/stdout" "$out/userinfo.json"
expect "/check Company=@FILE" "$(wexdal /check "Company=@$windows_out\\company.txt")" 0
expect "/check Company=other" "$(wexdal /check Company=other)" 1
expect "an unreadable value file" "$(wexdal /check "Company=@$windows_out\\none.txt")" 87

python3 - "$out" <<'PY'
import json, os, sys
folder = sys.argv[1]
def read(name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()
# Text through a pipe or a file is code page 932 with CR LF; JSON is ASCII.
report = read("report.txt").decode("cp932")
assert "↓-- TKelOfficeInfo --↓" in report and "Company=株式会社　見本" in report
assert "使い方:" in read("usage.txt").decode("cp932")
assert "スイッチの名前ではありません: NoSuchRow" in read("refused.txt").decode("cp932")
for name in ("report.json", "userinfo.json"):
    raw = read(name)
    assert all(b < 0x80 for b in raw), f"{name} is not ASCII"
    doc = json.loads(raw)
assert json.loads(read("report.json"))["UserInfo"]["Company"] == "株式会社　見本"
assert json.loads(read("userinfo.json"))["Results"] == {"Company": "ok"}
assert "Company=株式会社　試験" in json.loads(read("userinfo.json"))["Text"]
# One line per command, the byte order mark once.
log = read("w.log")
assert log.startswith(b"\xef\xbb\xbf") and log.count(b"\xef\xbb\xbf") == 1
lines = log[3:].decode("utf-8").split("\r\n")
assert lines[-1] == "" and len(lines) == 4, lines
for line, (word, code) in zip(lines, [("done", "0"), ("done", "0"), ("bad arguments", "87")]):
    fields = line.split("\t")
    assert len(fields) == 5 and fields[3:] == [word, code], fields
    assert fields[2].startswith("/"), fields
print("console_program: pipes, files, JSON, log and value files as scripts read them")
PY

# README.md's samples for a fleet: every line that runs the program, with $w (or
# %w%) the program under test, run with the outcome its sample expects: a
# detection or discovery 0 or 1, a change 0 (/userinfo 0 or 5: the registrations
# want SYSTEM, the user's settings the user).
python3 - "$(dirname "$0")/../README.md" "$windows_out" >"$out/samples" <<'PY'
import re, shlex, sys
readme, folder = sys.argv[1], sys.argv[2]
section = open(readme, encoding="utf-8").read().split("### Samples for a fleet", 1)[1]
section = section.split("\n## ", 1)[0]
count = 0
for line in section.splitlines():
    match = re.match(r"    .*?(?:& \$w|\"%w%\") (/.*)$", line)
    if not match:
        continue
    args = re.sub(r"\s*\|\s*Out-Null$", "", match.group(1))
    args = args.replace("%SystemRoot%\\Logs", folder).replace("$PSScriptRoot", folder)
    print("\t".join(shlex.split(args.replace("\\", "\\\\"))))
    count += 1
assert count >= 6, f"only {count} sample lines"
PY
printf 'Wexdal株式会社\n' >"$out/company.txt"
while IFS=$'\t' read -r -a args; do
    code=$(wexdal "${args[@]}")
    case "${args[0]}" in
    /check) wanted="0 1" ;;
    /userinfo) wanted="0 5" ;;
    *) wanted="0" ;;
    esac
    [[ " $wanted " == *" $code "* ]] || {
        echo "console_program: README sample ${args[*]} ended with $code" >&2
        cat "$out/stderr" >&2
        exit 1
    }
    # A check's answer is its line's: 0 for "ok" only.
    if [ "${args[0]}" = /check ]; then
        expect "README sample ${args[*]}" "$code" "$(grep -q ' differs' "$out/stdout" && echo 1 || echo 0)"
    fi
done <"$out/samples"
grep -q $'\tdone\t0\r$' "$out/wexdal.log"
echo "console_program: $(wc -l <"$out/samples") README sample lines ran as their samples expect"
