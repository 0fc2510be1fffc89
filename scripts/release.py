#!/usr/bin/env python3
"""Release helpers: the program's version resource, the readme, the zip and its check.

  release.py version EXE                 prints the ProductVersion of EXE
  release.py project-version BUILD_DIR   prints the project version of a build folder
  release.py name BUILD_DIR              prints the package name of a build folder
  release.py agree --exe EXE --build-dir DIR --version V
                                         the version resource, the package name and V agree
  release.py readme SRC OUT --version V  writes the readme as Shift-JIS with CRLF
  release.py zip OUT --epoch SECONDS FILE...
                                         writes a zip that depends on its inputs only
  release.py check ZIP                   checks a package's content
  release.py sections EXE [--goal-kb N]  prints EXE's bytes by section, and its size
                                         against N KB
"""

import argparse
import io
import os
import re
import struct
import sys
import time
import zipfile

PACKAGE_FILES = ["wexdal.exe", "readme.txt"]
README_CODEC = "shift_jis"


class ReleaseError(Exception):
    pass


# --- PE version resource -------------------------------------------------------------

RT_VERSION = 16


def _sections(pe, header):
    count, = struct.unpack_from("<H", pe, header + 2)
    optional_size, = struct.unpack_from("<H", pe, header + 16)
    table = header + 20 + optional_size
    for i in range(count):
        size, address, raw_size, raw_offset = struct.unpack_from("<IIII", pe, table + 40 * i + 8)
        yield address, max(size, raw_size), raw_offset


def section_sizes(pe):
    """The file's bytes by part: the headers, each section as stored (its name as the
    section table has it, at most 8 characters: ".eh_fram"), and what follows the
    last section (symbols, appended data)."""
    header = pe_header(pe)
    count, = struct.unpack_from("<H", pe, header + 2)
    optional_size, = struct.unpack_from("<H", pe, header + 16)
    table = header + 20 + optional_size
    parts, first, end = [], len(pe), 0
    for i in range(count):
        entry = table + 40 * i
        name = pe[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
        raw_size, raw_offset = struct.unpack_from("<II", pe, entry + 16)
        if raw_size:
            first, end = min(first, raw_offset), max(end, raw_offset + raw_size)
        parts.append((name, raw_size))
    tail = [("after the sections", len(pe) - end)] if len(pe) > end else []
    return [("headers", min(first, len(pe)))] + parts + tail


def _file_offset(pe, header, rva):
    for address, size, raw_offset in _sections(pe, header):
        if address <= rva < address + size:
            return raw_offset + rva - address
    raise ReleaseError(f"address {rva:#x} lies in no section")


def pe_header(pe):
    if pe[:2] != b"MZ":
        raise ReleaseError("not an executable (no MZ header)")
    header, = struct.unpack_from("<I", pe, 0x3C)
    if pe[header:header + 4] != b"PE\0\0":
        raise ReleaseError("not a PE executable")
    return header + 4


def pe_timestamp(pe):
    return struct.unpack_from("<I", pe, pe_header(pe) + 4)[0]


MACHINE_I386 = 0x14C


def pe_machine(pe):
    return struct.unpack_from("<H", pe, pe_header(pe))[0]


def _data_directory(pe, header, index):
    optional = header + 20
    magic, = struct.unpack_from("<H", pe, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    return struct.unpack_from("<II", pe, directories + 8 * index)


def _c_string(pe, offset):
    return pe[offset:pe.index(b"\0", offset)].decode("ascii", "replace")


def pe_imports(pe):
    """The libraries named by the import table and the delay-load table."""
    header = pe_header(pe)
    names = []
    for index, entry_size, name_field in ((1, 20, 12), (13, 32, 4)):
        rva, size = _data_directory(pe, header, index)
        if size == 0:
            continue
        entry = _file_offset(pe, header, rva)
        while any(pe[entry:entry + entry_size]):
            name_rva, = struct.unpack_from("<I", pe, entry + name_field)
            names.append(_c_string(pe, _file_offset(pe, header, name_rva)))
            entry += entry_size
    return names


# What the program may name in its import table: Windows' known DLLs, which the
# system loads from its own folder only, and the common controls, which the manifest
# takes from the side-by-side store. A library named there and not among them would
# be looked for in the program's folder first (a planted version.dll beside it in
# Downloads); the program loads such libraries at run time from the system folder.
ALLOWED_IMPORTS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
                   "ole32.dll", "shell32.dll", "user32.dll"}


def import_problems(pe):
    return [f"imports {name}, which is neither a known DLL nor side-by-side"
            for name in pe_imports(pe) if name.lower() not in ALLOWED_IMPORTS]


def _resource_directory(pe, header):
    optional = header + 20
    magic, = struct.unpack_from("<H", pe, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    rva, size = struct.unpack_from("<II", pe, directories + 8 * 2)
    if size == 0:
        raise ReleaseError("the executable has no resources")
    return rva


def _first_entry(pe, directory, wanted_id=None):
    named, ids = struct.unpack_from("<HH", pe, directory + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", pe, directory + 16 + 8 * i)
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return target
    raise ReleaseError("the executable has no version resource")


def version_resource(pe):
    """The raw VS_VERSIONINFO block of the first version resource."""
    header = pe_header(pe)
    root_rva = _resource_directory(pe, header)
    base = _file_offset(pe, header, root_rva)
    target = _first_entry(pe, base, RT_VERSION)
    for _ in range(2):  # name, then language
        if not target & 0x80000000:
            raise ReleaseError("malformed resource directory")
        target = _first_entry(pe, base + (target & 0x7FFFFFFF))
    data_rva, size = struct.unpack_from("<II", pe, base + target)
    offset = _file_offset(pe, header, data_rva)
    return pe[offset:offset + size]


def _align(offset):
    return (offset + 3) & ~3


def _block(data, offset):
    """(key, value bytes, children, end) of one version-information block."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    if length < 6 or offset + length > len(data):
        raise ReleaseError("malformed version information")
    end = offset + length
    key_end = offset + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    value_start = _align(key_end + 2)
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = data[value_start:value_start + value_bytes]
    children = []
    child = _align(value_start + value_bytes)
    while child < end:
        block = _block(data, child)
        children.append(block)
        child = _align(block[3])
    return key, value, children, end


def version_info(pe):
    """{'fixed': (file, product) as 4-tuples, 'strings': {name: text}} of an executable."""
    key, value, children, _ = _block(version_resource(pe), 0)
    if key != "VS_VERSION_INFO" or len(value) < 52:
        raise ReleaseError("malformed version information")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
    if signature != 0xFEEF04BD:
        raise ReleaseError("malformed fixed version information")

    def split(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child_key, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, entries, _ in tables:
            for name, text, _, _ in entries:
                strings.setdefault(name, text.decode("utf-16-le").rstrip("\0"))
    return {"fixed": (split(file_ms, file_ls), split(product_ms, product_ls)), "strings": strings}


def product_version(exe_bytes):
    version = version_info(exe_bytes)["strings"].get("ProductVersion", "")
    if not version:
        raise ReleaseError("the version resource has no ProductVersion")
    return version


# --- version and package name ----------------------------------------------------------

def project_version(build_dir):
    """The version that CMake wrote into the build folder's version header."""
    header = os.path.join(build_dir, "generated", "wexdal_version.h")
    try:
        text = open(header, encoding="ascii").read()
    except OSError as error:
        raise ReleaseError(f"{header}: {error.strerror} (configure the build folder first)")
    match = re.search(r'^#define WEXDAL_VERSION "([0-9]+\.[0-9]+\.[0-9]+)"$', text, re.M)
    if not match:
        raise ReleaseError(f"{header}: no WEXDAL_VERSION")
    return match.group(1)


def package_name(version):
    return f"wexdal-{version}.zip"


def version_of_package_name(name):
    match = re.fullmatch(r"wexdal-([0-9]+\.[0-9]+\.[0-9]+)\.zip", os.path.basename(name))
    if not match:
        raise ReleaseError(f"{name}: not named wexdal-<major>.<minor>.<patch>.zip")
    return match.group(1)


def version_problems(exe_bytes, version):
    """What disagrees between an executable's version resource and version."""
    info = version_info(exe_bytes)
    numbers = tuple(int(part) for part in version.split(".")) + (0,)
    wanted = {"ProductVersion": version, "FileVersion": version + ".0"}
    problems = [f"{name} is {info['strings'].get(name)!r}, not {text!r}"
                for name, text in wanted.items() if info["strings"].get(name) != text]
    for label, fixed in zip(("FILEVERSION", "PRODUCTVERSION"), info["fixed"]):
        if fixed != numbers:
            problems.append(f"{label} is {fixed}, not {numbers}")
    return problems


# --- readme ----------------------------------------------------------------------------

def readme_bytes(source_text, version):
    """The readme as the user gets it: Shift-JIS, CRLF line ends, version filled in."""
    if "\r" in source_text:
        raise ReleaseError("the readme source must have LF line ends")
    if "\t" in source_text:
        raise ReleaseError("the readme source must not hold tabs (they show differently)")
    text = source_text.replace("@VERSION@", version)
    left = re.findall(r"@[A-Z_]+@", text)
    if left:
        raise ReleaseError(f"the readme source names unknown fields {sorted(set(left))}")
    if not re.search(r"^■ 履歴$(?:.|\n)*Ver " + re.escape(version) + r"\b", text, re.M):
        raise ReleaseError(f"the readme's 履歴 has no entry for Ver {version}")
    lines = text.rstrip("\n").split("\n")
    for number, line in enumerate(lines, 1):
        try:
            line.encode(README_CODEC)
        except UnicodeEncodeError as error:
            raise ReleaseError(f"readme line {number}: {line[error.start]!r} "
                               "has no Shift-JIS form")
        # Notepad reads code page 932, which maps a few characters otherwise.
        if line.encode(README_CODEC).decode("cp932") != line:
            raise ReleaseError(f"readme line {number} reads differently in code page 932")
    return ("\r\n".join(lines) + "\r\n").encode(README_CODEC)


def readme_problems(data):
    problems = []
    try:
        text = data.decode(README_CODEC)
    except UnicodeDecodeError as error:
        return [f"readme.txt is not Shift-JIS at byte {error.start}"]
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("readme.txt starts with a UTF-8 byte order mark")
    if re.search(r"\r(?!\n)|(?<!\r)\n", text):
        problems.append("readme.txt has line ends other than CR LF")
    if not text.endswith("\r\n"):
        problems.append("readme.txt does not end with a line end")
    return problems


def readme_headings(data):
    return [line for line in data.decode(README_CODEC).split("\r\n") if line.startswith("■")]


# --- zip -------------------------------------------------------------------------------

def zip_date(epoch):
    """The zip's date and time for every member: epoch in UTC, no earlier than 1980."""
    moment = time.gmtime(max(int(epoch), 315532800))
    return moment[:6]


def write_zip(out, files, epoch):
    date = zip_date(epoch)
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for path in files:
            member = zipfile.ZipInfo(os.path.basename(path), date)
            member.create_system = 0  # MS-DOS attributes, as Windows' own zip folders write
            member.external_attr = 0x20  # archive
            member.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(member, source.read(), compresslevel=9)
    with open(out, "wb") as target:
        target.write(buffer.getvalue())


# What a program for shared PCs says in its header: Terminal Server aware (a Remote
# Desktop Session Host then runs it without its install-mode layer), and a load
# configuration whose DependentLoadFlags take the DLLs that system DLLs import for it
# from System32 only (LOAD_LIBRARY_SEARCH_SYSTEM32).
TERMINAL_SERVER_AWARE = 0x8000
SEARCH_SYSTEM32 = 0x800


def loading_problems(pe):
    header = pe_header(pe)
    optional = header + 20
    magic, = struct.unpack_from("<H", pe, optional)
    characteristics, = struct.unpack_from("<H", pe, optional + 70)
    problems = []
    if not characteristics & TERMINAL_SERVER_AWARE:
        problems.append("is not marked Terminal Server aware")
    rva, size = _data_directory(pe, header, 10)
    field = 0x36 if magic == 0x10B else 0x4E
    flags = None
    if rva and size >= field + 2:
        flags, = struct.unpack_from("<H", pe, _file_offset(pe, header, rva) + field)
    if flags != SEARCH_SYSTEM32:
        problems.append("does not restrict its DLLs' dependencies to System32 (DependentLoadFlags)")
    return problems


LOAD_CONFIG_SYMBOL = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+_?_load_config_used\s*$", re.M)


def point_at_load_config(exe_path, map_path):
    """Points the program's load configuration entry at its _load_config_used, whose
    address the link map gives (this linker fills in no such entry itself)."""
    match = LOAD_CONFIG_SYMBOL.search(open(map_path, encoding="utf-8", errors="replace").read())
    if not match:
        raise ReleaseError(f"{map_path} names no _load_config_used")
    pe = bytearray(open(exe_path, "rb").read())
    header = pe_header(pe)
    optional = header + 20
    magic, = struct.unpack_from("<H", pe, optional)
    image_base, = struct.unpack_from("<I" if magic == 0x10B else "<Q", pe,
                                     optional + (28 if magic == 0x10B else 24))
    rva = int(match.group(1), 16) - image_base
    size, = struct.unpack_from("<I", pe, _file_offset(pe, header, rva))
    directories = optional + (96 if magic == 0x10B else 112)
    struct.pack_into("<II", pe, directories + 8 * 10, rva, size)
    with open(exe_path, "wb") as out:
        out.write(pe)


def package_problems(path):
    version = version_of_package_name(path)
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        if sorted(names) != sorted(PACKAGE_FILES) or len(names) != len(PACKAGE_FILES):
            return [f"the zip holds {names}, not {PACKAGE_FILES}"]
        exe = archive.read("wexdal.exe")
        readme = archive.read("readme.txt")
    problems = readme_problems(readme)
    problems += [f"wexdal.exe: {p}" for p in version_problems(exe, version)]
    if pe_timestamp(exe) != 0:
        problems.append("wexdal.exe carries a link time stamp")
    if pe_machine(exe) != MACHINE_I386:
        problems.append("wexdal.exe is not the 32-bit (x86) program")
    problems += [f"wexdal.exe: {p}" for p in import_problems(exe) + loading_problems(exe)]
    return problems


# --- commands --------------------------------------------------------------------------

def main(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("version").add_argument("exe")
    commands.add_parser("project-version").add_argument("build_dir")
    commands.add_parser("name").add_argument("build_dir")
    agree = commands.add_parser("agree")
    agree.add_argument("--exe", required=True)
    agree.add_argument("--build-dir", required=True)
    agree.add_argument("--version", required=True)
    readme = commands.add_parser("readme")
    readme.add_argument("source")
    readme.add_argument("out")
    readme.add_argument("--version", required=True)
    archive = commands.add_parser("zip")
    archive.add_argument("out")
    archive.add_argument("--epoch", required=True, type=int)
    archive.add_argument("files", nargs="+")
    check = commands.add_parser("check")
    check.add_argument("zip")
    load_config = commands.add_parser("load-config")
    load_config.add_argument("exe")
    load_config.add_argument("map")
    sections = commands.add_parser("sections")
    sections.add_argument("exe")
    sections.add_argument("--goal-kb", type=float)
    args = parser.parse_args(argv)

    if args.command == "version":
        print(product_version(open(args.exe, "rb").read()))
    elif args.command == "project-version":
        print(project_version(args.build_dir))
    elif args.command == "name":
        print(package_name(project_version(args.build_dir)))
    elif args.command == "agree":
        exe = open(args.exe, "rb").read()
        problems = version_problems(exe, args.version) + import_problems(exe) + loading_problems(exe)
        name = package_name(project_version(args.build_dir))
        if version_of_package_name(name) != args.version:
            problems.append(f"the package would be named {name}")
        if problems:
            raise ReleaseError("; ".join(problems))
        print(f"version {args.version}: resource and package name {name} agree")
    elif args.command == "readme":
        source = open(args.source, encoding="utf-8").read()
        with open(args.out, "wb") as out:
            out.write(readme_bytes(source, args.version))
    elif args.command == "sections":
        pe = open(args.exe, "rb").read()
        for name, size in section_sizes(pe):
            print(f"  {name:<20} {size / 1024:8.1f} KB")
        line = f"  {'the file':<20} {len(pe) / 1024:8.1f} KB"
        if args.goal_kb is not None:
            line += f"  goal <= {args.goal_kb:g} KB  " + ("met" if len(pe) <= args.goal_kb * 1024
                                                          else "short")
        print(line)
    elif args.command == "zip":
        write_zip(args.out, args.files, args.epoch)
    elif args.command == "load-config":
        point_at_load_config(args.exe, args.map)
    elif args.command == "check":
        problems = package_problems(args.zip)
        if problems:
            raise ReleaseError(f"{args.zip}: " + "; ".join(problems))
        with zipfile.ZipFile(args.zip) as archive:
            for member in archive.infolist():
                print(f"{member.file_size:>10}  {'%04d-%02d-%02d %02d:%02d' % member.date_time[:5]}"
                      f"  {member.filename}")
            readme = archive.read("readme.txt")
        print("readme.txt sections:")
        for heading in readme_headings(readme):
            print("  " + heading)
        print(f"{args.zip}: ok")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except ReleaseError as error:
        print(f"release.py: {error}", file=sys.stderr)
        sys.exit(1)
    except (struct.error, zipfile.BadZipFile) as error:
        print(f"release.py: malformed input: {error}", file=sys.stderr)
        sys.exit(1)
