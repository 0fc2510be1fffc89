#!/usr/bin/env python3
"""Release helpers: the programs' version resource, the readme, the zip, the Windows
Installer package and their checks.

  release.py version EXE                 prints the ProductVersion of EXE
  release.py project-version BUILD_DIR   prints the project version of a build folder
  release.py name BUILD_DIR [--msi]      prints the package name of a build folder (the
                                         zip's, or the Windows Installer package's)
  release.py agree --exe EXE --build-dir DIR --version V
                                         the version resource, the package name and V agree
  release.py readme SRC OUT --version V  writes the readme as Shift-JIS with CRLF
  release.py zip OUT --epoch SECONDS FILE...
                                         writes a zip that depends on its inputs only
  release.py check ZIP                   checks a package's content
  release.py msi OUT --version V --epoch SECONDS DIR
                                         writes the Windows Installer package of the
                                         programs and readme in DIR, depending on them,
                                         V and SECONDS only
  release.py check-msi MSI ZIP           checks the Windows Installer package against
                                         the zip of the same release
  release.py product-code VERSION        prints the product code of VERSION's package
  release.py sections EXE [--goal-kb N]  prints EXE's bytes by section, and its size
                                         against N KB
"""

import argparse
import hashlib
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import zipfile

# The window program, the same program for the console (cmd.exe and PowerShell wait for
# it and get its exit code), and the readme.
PACKAGE_FILES = ["wexdal.exe", "wexdal.com", "readme.txt"]
PROGRAMS = {"wexdal.exe": "the window", "wexdal.com": "the console"}
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


SUBSYSTEMS = {2: "the window", 3: "the console"}


def pe_subsystem(pe):
    """'the window' or 'the console' (or the number of another subsystem)."""
    subsystem, = struct.unpack_from("<H", pe, pe_header(pe) + 20 + 68)
    return SUBSYSTEMS.get(subsystem, str(subsystem))


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


def package_name(version, kind="zip"):
    return f"wexdal-{version}.{kind}"


def version_of_package_name(name, kind="zip"):
    match = re.fullmatch(r"wexdal-([0-9]+\.[0-9]+\.[0-9]+)\." + kind, os.path.basename(name))
    if not match:
        raise ReleaseError(f"{name}: not named wexdal-<major>.<minor>.<patch>.{kind}")
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


# No shipped program comes near this size unless a library came in whole (the stream
# library once brought 850 KB through one string stream): the check says so before a
# release does.
PROGRAM_CEILING_KB = 768


def package_problems(path):
    version = version_of_package_name(path)
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        if sorted(names) != sorted(PACKAGE_FILES) or len(names) != len(PACKAGE_FILES):
            return [f"the zip holds {names}, not {PACKAGE_FILES}"]
        programs = {name: archive.read(name) for name in PROGRAMS}
        readme = archive.read("readme.txt")
    problems = readme_problems(readme)
    for name, pe in programs.items():
        found = version_problems(pe, version)
        if pe_timestamp(pe) != 0:
            found.append("carries a link time stamp")
        if pe_machine(pe) != MACHINE_I386:
            found.append("is not the 32-bit (x86) program")
        if pe_subsystem(pe) != PROGRAMS[name]:
            found.append(f"is {pe_subsystem(pe)} program, not {PROGRAMS[name]} program")
        if len(pe) > PROGRAM_CEILING_KB * 1024:
            found.append(f"is {len(pe) // 1024} KB, over {PROGRAM_CEILING_KB} KB: a whole library "
                         "came in (see release.py sections)")
        found += import_problems(pe) + loading_problems(pe)
        problems += [f"{name}: {p}" for p in found]
    return problems


# --- Windows Installer package -------------------------------------------------------

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
INSTALLER_SOURCE = os.path.join(ROOT, "installer", "wexdal.wxs")
ICON = os.path.join(ROOT, "app", "resources", "wexdal.ico")
INSTALL_FOLDER = "Program Files/Wexdal"

# The product and package codes are name-based GUIDs in this namespace: a version's
# product code is the same in every build of it (a detection rule may name it), and a
# package code changes wherever the package's content does, as Windows Installer wants.
CODE_NAMESPACE = uuid.UUID("4DDDAE1C-708C-41AC-BD42-3526587B80D1")


def _braced(code):
    return "{" + str(code).upper() + "}"


def product_code(version):
    return _braced(uuid.uuid5(CODE_NAMESPACE, f"product {version}"))


def package_code(version, epoch, files):
    digest = hashlib.sha256(f"{version} {epoch}".encode("ascii"))
    for path in [INSTALLER_SOURCE] + files:
        digest.update(os.path.basename(path).encode("utf-8") + b"\0")
        digest.update(open(path, "rb").read())
    return _braced(uuid.uuid5(CODE_NAMESPACE, f"package {digest.hexdigest()}"))


def upgrade_code():
    source = open(INSTALLER_SOURCE, encoding="utf-8").read()
    match = re.search(r'UpgradeCode="([0-9A-F-]{36})"', source)
    if not match:
        raise ReleaseError(f"{INSTALLER_SOURCE} names no UpgradeCode")
    return _braced(match.group(1))


# An MSI is a compound file: sectors chained by a table, small streams in 64-byte
# pieces of a stream of their own. Only what finding one stream's bytes needs is read.
COMPOUND_SIGNATURE = bytes.fromhex("d0cf11e0a1b11ae1")
LAST_SECTOR = 0xFFFFFFFA  # every number from here on ends a chain or marks no sector


def _chain(table, start):
    sectors = []
    while start < LAST_SECTOR:
        if start >= len(table) or len(sectors) > len(table):
            raise ReleaseError("malformed compound file (a broken sector chain)")
        sectors.append(start)
        start = table[start]
    return sectors


def stream_offsets(data, name):
    """The file offset of each byte of the stream called name, in order."""
    if data[:8] != COMPOUND_SIGNATURE:
        raise ReleaseError("not a compound file (MSI)")
    sector_shift, mini_shift = struct.unpack_from("<HH", data, 0x1E)
    fat_sectors, directory_start = struct.unpack_from("<II", data, 0x2C)
    cutoff, mini_fat_start, _, difat_next = struct.unpack_from("<IIII", data, 0x38)
    size, mini_size = 1 << sector_shift, 1 << mini_shift
    per_sector = size // 4

    def at(sector):
        return (sector + 1) * size

    def numbers(sector):
        if at(sector) + size > len(data):
            raise ReleaseError("malformed compound file (a sector past the end)")
        return struct.unpack_from(f"<{per_sector}I", data, at(sector))

    difat = list(struct.unpack_from("<109I", data, 0x4C))
    seen = 0
    while difat_next < LAST_SECTOR and seen < len(data) // size:
        entries = numbers(difat_next)
        difat += entries[:-1]
        difat_next = entries[-1]
        seen += 1
    fat = [n for sector in difat[:fat_sectors] for n in numbers(sector)]
    directory = b"".join(data[at(s):at(s) + size] for s in _chain(fat, directory_start))
    entries = [directory[i:i + 128] for i in range(0, len(directory), 128)]
    wanted = name.encode("utf-16-le")
    for entry in entries:
        length, = struct.unpack_from("<H", entry, 0x40)
        if entry[0x42] != 2 or length != len(wanted) + 2 or entry[:len(wanted)] != wanted:
            continue
        start, stream_size = struct.unpack_from("<II", entry, 0x74)
        if stream_size >= cutoff:
            return [at(s) + i for s in _chain(fat, start) for i in range(size)][:stream_size]
        mini_fat = [n for sector in _chain(fat, mini_fat_start) for n in numbers(sector)]
        container = _chain(fat, struct.unpack_from("<I", entries[0], 0x74)[0])
        offsets = []
        for piece in _chain(mini_fat, start):
            for i in range(piece * mini_size, (piece + 1) * mini_size):
                if i // size >= len(container):
                    raise ReleaseError("malformed compound file (a small stream past its container)")
                offsets.append(at(container[i // size]) + i % size)
        return offsets[:stream_size]
    raise ReleaseError(f"the compound file has no stream {name!r}")


SUMMARY_STREAM = "\x05SummaryInformation"
SUMMARY_REVISION, SUMMARY_CREATED, SUMMARY_SAVED = 9, 12, 13
VT_LPSTR, VT_FILETIME = 0x1E, 0x40


def filetime(epoch):
    """Windows' time: 100-nanosecond steps since 1601."""
    return (int(epoch) + 11644473600) * 10_000_000


def _summary_properties(stream):
    """{property id: offset of its type in the stream} of the summary's one section."""
    section, = struct.unpack_from("<I", stream, 44)
    _, count = struct.unpack_from("<II", stream, section)
    return {pid: section + offset for pid, offset in
            (struct.unpack_from("<II", stream, section + 8 + 8 * i) for i in range(count))}


def summary_values(data):
    """The package code and the two dates (as FILETIMEs) of an MSI's summary."""
    offsets = stream_offsets(data, SUMMARY_STREAM)
    stream = bytes(data[i] for i in offsets)
    where = _summary_properties(stream)
    values = {}
    for pid in (SUMMARY_REVISION, SUMMARY_CREATED, SUMMARY_SAVED):
        if pid not in where:
            raise ReleaseError(f"the summary has no property {pid}")
        kind, = struct.unpack_from("<I", stream, where[pid])
        if kind == VT_FILETIME:
            values[pid], = struct.unpack_from("<Q", stream, where[pid] + 4)
        elif kind == VT_LPSTR:
            count, = struct.unpack_from("<I", stream, where[pid] + 4)
            values[pid] = stream[where[pid] + 8:where[pid] + 8 + count].rstrip(b"\0").decode("ascii")
        else:
            raise ReleaseError(f"the summary's property {pid} has type {kind:#x}")
    return values


def stamp_summary(data, epoch, code):
    """Writes the package code and epoch as both dates into the summary, in place: wixl
    writes the time of the build and a random package code there."""
    offsets = stream_offsets(data, SUMMARY_STREAM)
    stream = bytes(data[i] for i in offsets)
    where = _summary_properties(stream)
    kinds = {pid: struct.unpack_from("<II", stream, offset) for pid, offset in where.items()}
    patches = {}
    for pid in (SUMMARY_CREATED, SUMMARY_SAVED):
        if kinds.get(pid, (None,))[0] != VT_FILETIME:
            raise ReleaseError(f"the summary's property {pid} is not a date")
        patches[where[pid] + 4] = struct.pack("<Q", filetime(epoch))
    text = code.encode("ascii") + b"\0"
    # The text keeps its length (a GUID's), so the stream keeps its layout.
    if kinds.get(SUMMARY_REVISION) != (VT_LPSTR, len(text)):
        raise ReleaseError("the summary's package code is not a GUID's text")
    patches[where[SUMMARY_REVISION] + 8] = text
    for start, value in patches.items():
        for i, byte in enumerate(value):
            data[offsets[start + i]] = byte


def write_msi(out, stage, version, epoch):
    """Builds the package of stage's files with wixl. Its bytes depend on the files, the
    version, epoch and installer/wexdal.wxs only: the cabinet takes each file's
    modification time (set to epoch, in UTC), and the summary's dates and package code
    are written after the build."""
    files = [os.path.join(stage, name) for name in PACKAGE_FILES]
    with tempfile.TemporaryDirectory() as work:
        # wixl finds sources relative to its folder only.
        for path in files + [ICON]:
            copy = os.path.join(work, os.path.basename(path))
            shutil.copyfile(path, copy)
            os.utime(copy, (int(epoch), int(epoch)))
        built = os.path.join(work, "package.msi")
        defines = {"Version": version, "ProductCode": product_code(version),
                   "PackageCode": package_code(version, epoch, files),
                   "SourceDir": ".", "IconFile": os.path.basename(ICON)}
        command = ["wixl", "--arch", "x86", "-o", built]
        for name, value in defines.items():
            command += ["-D", f"{name}={value}"]
        run = subprocess.run(command + [os.path.abspath(INSTALLER_SOURCE)], cwd=work,
                             env=dict(os.environ, TZ="UTC"), capture_output=True, text=True)
        if run.returncode != 0 or run.stderr.strip():
            raise ReleaseError(f"wixl failed: {run.stderr.strip() or run.returncode}")
        data = bytearray(open(built, "rb").read())
        stamp_summary(data, epoch, defines["PackageCode"])
        with open(out, "wb") as target:
            target.write(data)


def _msi_table(msi, table):
    """The rows of an MSI's table, through msiinfo (msitools)."""
    run = subprocess.run(["msiinfo", "export", msi, table], capture_output=True)
    if run.returncode != 0:
        raise ReleaseError(f"{msi}: msiinfo cannot read the table {table}")
    lines = run.stdout.decode("ascii", "replace").replace("\r\n", "\n").split("\n")[3:]
    return [line.split("\t") for line in lines if line]


def msi_problems(msi, zip_path):
    """What is wrong with a Windows Installer package, against the zip of its release."""
    version = version_of_package_name(msi, "msi")
    if version_of_package_name(zip_path) != version:
        return [f"{zip_path} is not the zip of version {version}"]
    problems = []
    properties = {row[0]: row[1] for row in _msi_table(msi, "Property") if len(row) == 2}
    wanted = {"ProductVersion": version, "ProductCode": product_code(version),
              "UpgradeCode": upgrade_code(), "ALLUSERS": "1"}
    problems += [f"the property {name} is {properties.get(name)!r}, not {value!r}"
                 for name, value in wanted.items() if properties.get(name) != value]
    data = open(msi, "rb").read()
    template = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True).stdout
    if not re.search(r"^Template: Intel;", template, re.M):
        problems.append("the package is not for 32-bit Windows (summary's Template)")
    values = summary_values(data)
    if values[SUMMARY_CREATED] != values[SUMMARY_SAVED]:
        problems.append("the summary's dates differ (not written from the commit's time)")
    # No component is marked 64-bit (attribute 256): the registry value goes to the
    # 32-bit view, the files to Program Files (x86).
    for row in _msi_table(msi, "Component"):
        if len(row) > 3 and row[3] and int(row[3]) & 256:
            problems.append(f"the component {row[0]} is 64-bit")
    registry = [row[1:5] for row in _msi_table(msi, "Registry")]
    if ["2", "SOFTWARE\\Wexdal", "InstallFolder", "[INSTALLDIR]"] not in registry:
        problems.append("no HKLM\\SOFTWARE\\Wexdal InstallFolder = [INSTALLDIR]")
    shortcuts = [(row[1], row[2], row[4]) for row in _msi_table(msi, "Shortcut")]
    if shortcuts != [("ProgramMenuFolder", "Wexdal", "[#wexdal.exe]")]:
        problems.append(f"the shortcuts are {shortcuts}, not one to wexdal.exe in the Start menu")
    with tempfile.TemporaryDirectory() as work, zipfile.ZipFile(zip_path) as archive:
        run = subprocess.run(["msiextract", "-C", work, msi], capture_output=True)
        if run.returncode != 0:
            return problems + ["msiextract cannot unpack the package"]
        found = sorted(os.path.relpath(os.path.join(folder, name), work).replace(os.sep, "/")
                       for folder, _, names in os.walk(work) for name in names)
        expected = sorted(f"{INSTALL_FOLDER}/{name}" for name in PACKAGE_FILES)
        if found != expected:
            return problems + [f"the package installs {found}, not {expected}"]
        for name in PACKAGE_FILES:
            if open(os.path.join(work, INSTALL_FOLDER, name), "rb").read() != archive.read(name):
                problems.append(f"{name} differs from the zip's")
    return problems


# --- commands --------------------------------------------------------------------------

def main(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("version").add_argument("exe")
    commands.add_parser("project-version").add_argument("build_dir")
    name = commands.add_parser("name")
    name.add_argument("build_dir")
    name.add_argument("--msi", action="store_true")
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
    msi = commands.add_parser("msi")
    msi.add_argument("out")
    msi.add_argument("--version", required=True)
    msi.add_argument("--epoch", required=True, type=int)
    msi.add_argument("stage")
    check_msi = commands.add_parser("check-msi")
    check_msi.add_argument("msi")
    check_msi.add_argument("zip")
    commands.add_parser("product-code").add_argument("version")
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
        print(package_name(project_version(args.build_dir), "msi" if args.msi else "zip"))
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
    elif args.command == "product-code":
        print(product_code(args.version))
    elif args.command == "msi":
        write_msi(args.out, args.stage, args.version, args.epoch)
    elif args.command == "check-msi":
        problems = msi_problems(args.msi, args.zip)
        if problems:
            raise ReleaseError(f"{args.msi}: " + "; ".join(problems))
        values = summary_values(open(args.msi, "rb").read())
        saved = values[SUMMARY_SAVED] // 10_000_000 - 11644473600
        print(f"{args.msi}: ok (package code {values[SUMMARY_REVISION]}, product code "
              f"{product_code(version_of_package_name(args.msi, 'msi'))}, "
              f"dated {time.strftime('%Y-%m-%d %H:%M', time.gmtime(saved))} UTC)")
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
