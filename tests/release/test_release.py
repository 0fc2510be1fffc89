"""The release tool: readme conversion, the zip, the Windows Installer package and
their checks.

Run by ctest with WEXDAL_EXE naming the built program and WEXDAL_VERSION its version.
The package's tests need wixl and msitools (scripts/install-deps.sh installs them).
"""

import io
import os
import shutil
import struct
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import release  # noqa: E402

EXE = os.environ["WEXDAL_EXE"]
VERSION = os.environ["WEXDAL_VERSION"]

README = "■ 概要\n\n  Wexdal Ver @VERSION@ です。\n\n■ 履歴\n\n  2026/12/08  Ver {v}  初版\n"


class ReadmeTest(unittest.TestCase):
    def test_becomes_shift_jis_with_crlf_and_the_version(self):
        data = release.readme_bytes(README.format(v="1.2.3"), "1.2.3")
        self.assertEqual(data.count(b"\r\n"), data.count(b"\n"))
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertIn("Wexdal Ver 1.2.3 です。".encode("shift_jis"), data)
        self.assertEqual(release.readme_problems(data), [])
        self.assertEqual(release.readme_headings(data), ["■ 概要", "■ 履歴"])

    def test_refuses_what_the_user_would_not_read_as_written(self):
        cases = {
            "carriage return": README.replace("\n", "\r\n"),
            "tab": README.replace("  Wexdal", "\tWexdal"),
            "no Shift-JIS form": README.replace("です", "です①"),  # code page 932 only
            "reads otherwise in 932": README.replace("です", "〜です"),  # wave dash
            "unknown field": README.replace("です", "@DATE@です"),
        }
        for name, source in cases.items():
            with self.subTest(name), self.assertRaises(release.ReleaseError):
                release.readme_bytes(source.format(v="1.2.3"), "1.2.3")

    def test_refuses_a_version_without_a_history_entry(self):
        with self.assertRaises(release.ReleaseError):
            release.readme_bytes(README.format(v="1.2.2"), "1.2.3")
        with self.assertRaises(release.ReleaseError):  # 1.2.30 is not 1.2.3
            release.readme_bytes(README.format(v="1.2.30"), "1.2.3")

    def test_problems_of_a_shipped_readme(self):
        good = "■ 概要\r\n本文\r\n".encode("shift_jis")
        self.assertEqual(release.readme_problems(good), [])
        self.assertTrue(release.readme_problems(good.replace(b"\r\n", b"\n")))
        self.assertTrue(release.readme_problems(good + b"\n"))
        self.assertTrue(release.readme_problems(good[:-2]))
        self.assertTrue(release.readme_problems("■ 概要\r\n".encode("utf-8")))
        self.assertTrue(release.readme_problems(b"\xef\xbb\xbf" + good))


SUBSYSTEM = 20 + 68  # from the PE header: the optional header's Subsystem
CONSOLE = 3


class PackageTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        # The test build may be the 64-bit one; the package takes the 32-bit programs.
        self.exe = self.patched_exe(0, "<H", release.MACHINE_I386)
        # The console program is the same program for another subsystem.
        self.com = self.patched_exe(SUBSYSTEM, "<H", CONSOLE, "wexdal.com", self.exe)
        readme = README.format(v=VERSION)
        self.readme = self.file("readme.txt", release.readme_bytes(readme, VERSION))
        self.files = [self.exe, self.com, self.readme]

    def tearDown(self):
        self.folder.cleanup()

    def file(self, name, data):
        path = os.path.join(self.folder.name, name)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def package(self, files, version=VERSION, epoch=1700000000):
        path = os.path.join(self.folder.name, release.package_name(version))
        release.write_zip(path, files, epoch)
        return path

    def patched_exe(self, offset, layout, value, name="wexdal.exe", source=EXE):
        data = bytearray(open(source, "rb").read())
        struct.pack_into(layout, data, release.pe_header(data) + offset, value)
        return self.file(name, bytes(data))

    def test_the_built_programs_pack_and_check_clean(self):
        path = self.package(self.files)
        self.assertEqual(release.package_problems(path), [])
        with zipfile.ZipFile(path) as archive:
            self.assertEqual(archive.namelist(), ["wexdal.exe", "wexdal.com", "readme.txt"])
            self.assertEqual(archive.getinfo("readme.txt").date_time, (2023, 11, 14, 22, 13, 20))
            self.assertEqual(archive.read("wexdal.exe"), open(self.exe, "rb").read())

    def test_the_zip_depends_on_its_inputs_only(self):
        first = open(self.package(self.files), "rb").read()
        os.utime(self.exe, (0, 0))
        os.chmod(self.readme, 0o600)
        second = open(self.package(self.files), "rb").read()
        self.assertEqual(first, second)
        later = open(self.package(self.files, epoch=1700000100), "rb").read()
        self.assertNotEqual(first, later)

    def test_a_name_that_does_not_match_the_version_resource_fails(self):
        major, minor, patch = (int(part) for part in VERSION.split("."))
        other = f"{major}.{minor}.{patch + 1}"
        problems = release.package_problems(self.package(self.files, other))
        for name in ("wexdal.exe", "wexdal.com"):
            self.assertTrue(any(p.startswith(f"{name}: ProductVersion") for p in problems), problems)
            self.assertTrue(any(p.startswith(f"{name}: FILEVERSION") for p in problems), problems)

    def test_missing_and_extra_files_fail(self):
        extra = self.file("notes.txt", b"x")
        for files in ([self.exe, self.readme], self.files + [extra]):
            with self.subTest(files=[os.path.basename(f) for f in files]):
                self.assertTrue(release.package_problems(self.package(files)))

    def test_the_programs_for_the_wrong_subsystem_fail(self):
        window = open(self.exe, "rb").read()
        self.exe = self.file("wexdal.exe", open(self.com, "rb").read())
        self.com = self.file("wexdal.com", window)
        problems = release.package_problems(self.package([self.exe, self.com, self.readme]))
        self.assertIn("wexdal.exe: is the console program, not the window program", problems)
        self.assertIn("wexdal.com: is the window program, not the console program", problems)

    def test_a_link_time_stamp_fails(self):
        self.com = self.patched_exe(4, "<I", 1700000000, "wexdal.com", self.com)
        problems = release.package_problems(self.package([self.exe, self.com, self.readme]))
        self.assertTrue(any(p.startswith("wexdal.com:") and "time stamp" in p for p in problems),
                        problems)

    def test_a_64_bit_program_fails(self):
        self.exe = self.patched_exe(0, "<H", 0x8664)
        problems = release.package_problems(self.package([self.exe, self.com, self.readme]))
        self.assertTrue(any("32-bit" in p for p in problems), problems)

    def test_a_program_over_the_ceiling_fails(self):
        data = open(self.exe, "rb").read()
        padded = data + bytes(release.PROGRAM_CEILING_KB * 1024 + 1 - len(data))
        self.exe = self.file("wexdal.exe", padded)
        problems = release.package_problems(self.package([self.exe, self.com, self.readme]))
        self.assertTrue(any(p.startswith("wexdal.exe: is ") and "KB" in p for p in problems),
                        problems)

    def test_an_import_that_is_not_a_known_dll_fails(self):
        data = open(self.exe, "rb").read()
        self.assertIn("SHELL32.dll", release.pe_imports(data))
        self.exe = self.file("wexdal.exe", data.replace(b"SHELL32.dll", b"VERSION.dll", 1))
        problems = release.package_problems(self.package([self.exe, self.com, self.readme]))
        self.assertTrue(any("VERSION.dll" in p for p in problems), problems)

    def test_the_sections_add_up_to_the_file_and_appended_bytes_show(self):
        data = open(self.exe, "rb").read()
        parts = dict(release.section_sizes(data))
        self.assertEqual(sum(parts.values()), len(data))
        self.assertGreater(parts[".text"], 0)
        self.assertGreater(parts[".rsrc"], 0)
        self.assertNotIn("after the sections", parts)
        appended = dict(release.section_sizes(data + b"x" * 100))
        self.assertEqual(appended["after the sections"], 100)

    def test_an_executable_without_a_version_resource_is_refused(self):
        with self.assertRaises(release.ReleaseError):
            release.product_version(b"MZ" + bytes(100))
        with self.assertRaises(release.ReleaseError):
            release.product_version(open(self.readme, "rb").read())


class InstallerPackageTest(unittest.TestCase):
    """The .msi of installer/wexdal.wxs, built by wixl from the same files as the zip."""

    EPOCH = 1700000000

    def setUp(self):
        missing = [tool for tool in ("wixl", "msiinfo", "msiextract") if not shutil.which(tool)]
        if missing:
            self.fail(f"{missing} missing (scripts/install-deps.sh installs wixl and msitools)")
        self.folder = tempfile.TemporaryDirectory()
        self.stage = self.folder.name
        exe = bytearray(open(EXE, "rb").read())
        struct.pack_into("<H", exe, release.pe_header(exe), release.MACHINE_I386)
        self.write("wexdal.exe", exe)
        struct.pack_into("<H", exe, release.pe_header(exe) + SUBSYSTEM, CONSOLE)
        self.write("wexdal.com", exe)
        self.write("readme.txt", release.readme_bytes(README.format(v=VERSION), VERSION))
        self.files = [os.path.join(self.stage, name) for name in release.PACKAGE_FILES]
        self.zip = os.path.join(self.stage, release.package_name(VERSION))
        release.write_zip(self.zip, self.files, self.EPOCH)

    def tearDown(self):
        self.folder.cleanup()

    def write(self, name, data):
        with open(os.path.join(self.stage, name), "wb") as out:
            out.write(data)

    def msi(self, version=VERSION, epoch=EPOCH, name=None):
        path = os.path.join(self.stage, name or release.package_name(version, "msi"))
        release.write_msi(path, self.stage, version, epoch)
        return path

    def test_the_package_depends_on_its_inputs_only(self):
        first = open(self.msi(), "rb").read()
        # wixl writes the build's time and a random code, and the cabinet keeps the files'
        # times in 2-second steps: none of them may stay.
        time.sleep(2.1)
        os.utime(self.files[0], (0, 0))
        second = open(self.msi(), "rb").read()
        self.assertEqual(first, second)
        values = release.summary_values(first)
        self.assertEqual(values[release.SUMMARY_CREATED], release.filetime(self.EPOCH))
        self.assertEqual(values[release.SUMMARY_SAVED], release.filetime(self.EPOCH))
        self.assertEqual(values[release.SUMMARY_REVISION],
                         release.package_code(VERSION, self.EPOCH, self.files))
        later = open(self.msi(epoch=self.EPOCH + 100), "rb").read()
        self.assertNotEqual(first, later)

    def test_codes_follow_the_version_and_the_content(self):
        self.assertEqual(release.product_code(VERSION), release.product_code(VERSION))
        self.assertNotEqual(release.product_code(VERSION), release.product_code("0.0.1"))
        code = release.package_code(VERSION, self.EPOCH, self.files)
        self.write("readme.txt", open(self.files[2], "rb").read() + b"\r\n")
        self.assertNotEqual(release.package_code(VERSION, self.EPOCH, self.files), code)

    def test_the_package_checks_clean_against_its_zip(self):
        self.assertEqual(release.msi_problems(self.msi(), self.zip), [])

    def test_a_package_that_does_not_hold_the_zips_files_fails(self):
        msi = self.msi()
        other = README.format(v=VERSION).replace("初版", "最初の版")
        self.write("readme.txt", release.readme_bytes(other, VERSION))
        release.write_zip(self.zip, self.files, self.EPOCH)
        self.assertEqual(release.msi_problems(msi, self.zip), ["readme.txt differs from the zip's"])

    def test_a_package_of_another_version_fails(self):
        msi = self.msi("0.0.1", name=release.package_name(VERSION, "msi"))
        problems = release.msi_problems(msi, self.zip)
        self.assertTrue(any(p.startswith("the property ProductVersion is '0.0.1'") for p in problems),
                        problems)
        self.assertTrue(any(p.startswith("the property ProductCode") for p in problems), problems)

    def test_what_is_not_an_msi_is_refused(self):
        with self.assertRaises(release.ReleaseError):
            release.summary_values(open(self.zip, "rb").read())
        with self.assertRaises(release.ReleaseError):
            release.stamp_summary(bytearray(open(self.files[0], "rb").read()), 0, "{}")


if __name__ == "__main__":
    unittest.main()
