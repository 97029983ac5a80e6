"""The shipped packages as a user downloads them: `./sonadesk package` (scripts/package.sh) packs each
built exe with a read-me and the licence, the 32-bit one into build/Sonadesk-1.2.7-win32.zip and
the 64-bit one into build/Sonadesk-1.2.7-win64.zip, and prints their SHA-256; the exes inside carry
no debug sections (those stay beside them in the build), and the one this machine runs starts."""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile

from bench import BUILD, ROOT, Sonadesk, SonadeskTestCase

# Each zip, the exe of the build it ships and that exe's machine (IMAGE_FILE_MACHINE_*).
PACKAGES = [
    (os.path.join(BUILD, "Sonadesk-1.2.7-win32.zip"), os.path.join(BUILD, "win", "Sonadesk.exe"), 0x14C),
    (os.path.join(BUILD, "Sonadesk-1.2.7-win64.zip"), os.path.join(BUILD, "win64", "Sonadesk.exe"), 0x8664),
]


def package():
    env = dict(os.environ, SONADESK_BUILD=BUILD)
    out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True, env=env, timeout=120)
    return out.returncode, out.stdout


def machine(pe):
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    return struct.unpack_from("<H", pe, nt + 4)[0]


def section_names(pe):
    """The section names of a PE image, long ones ("/4") looked up in the COFF string table."""
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    assert pe[nt:nt + 4] == b"PE\0\0"
    count, = struct.unpack_from("<H", pe, nt + 6)
    symbols, nsymbols = struct.unpack_from("<II", pe, nt + 12)
    optional, = struct.unpack_from("<H", pe, nt + 20)
    table = nt + 24 + optional
    names = []
    for i in range(count):
        raw = pe[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("latin-1")
        if raw.startswith("/") and symbols:
            at = symbols + nsymbols * 18 + int(raw[1:])
            raw = pe[at:pe.index(b"\0", at)].decode("latin-1")
        names.append(raw)
    return names


class PackageTest(unittest.TestCase):
    def test_each_zip_holds_its_stripped_exe_a_read_me_and_the_licence_and_its_sum_is_printed(self):
        rc, out = package()
        self.assertEqual(rc, 0, out)
        digests = {}
        for zip_path, shipped, want_machine in PACKAGES:
            with self.subTest(zip=os.path.basename(zip_path)):
                self.assertIn(zip_path, out)
                with open(zip_path, "rb") as f:
                    digests[zip_path] = hashlib.sha256(f.read()).hexdigest()
                self.assertIn(zip_path + "\nSHA-256 " + digests[zip_path], out)
                with zipfile.ZipFile(zip_path) as z:
                    self.assertEqual(sorted(z.namelist()), ["Licence.txt", "ReadMe.txt", "Sonadesk.exe"])
                    exe = z.read("Sonadesk.exe")
                    readme = z.read("ReadMe.txt").decode("ascii")
                    licence = z.read("Licence.txt").decode("ascii")
                with open(shipped, "rb") as f:
                    self.assertEqual(exe, f.read(), "the zip holds another exe than the build's")
                self.assertEqual(machine(exe), want_machine)
                names = section_names(exe)
                self.assertIn(".text", names)
                self.assertIn(".rsrc", names)
                self.assertIn(".gnu_debuglink", names)
                self.assertEqual([n for n in names if n.startswith(".debug") or n.startswith("/")], [])
                self.assertLess(len(exe), 4 * 1024 * 1024)
                # The symbols stay in the build, beside the exe, for the crash reports.
                self.assertTrue(os.path.getsize(shipped + ".debug") > len(exe))
                # Text files for Notepad: CRLF line ends only.
                for text in (readme, licence):
                    self.assertNotIn("\n", text.replace("\r\n", ""))
                self.assertIn("Sonadesk 1.2.7", readme)
                self.assertIn("Licence.txt", readme)
                # The read-me says which of the two to take.
                self.assertIn("Sonadesk-1.2.7-win64.zip", readme)
                self.assertIn("Sonadesk-1.2.7-win32.zip", readme)
                self.assertTrue(licence.strip())
        self.assertNotEqual(len(set(digests.values())), 1)
        # The same exes give the same zips, byte for byte.
        rc, again = package()
        self.assertEqual(rc, 0, again)
        for zip_path, digest in digests.items():
            self.assertIn(zip_path + "\nSHA-256 " + digest, again)

    def test_a_build_that_still_has_debug_sections_is_not_packed(self):
        # Either exe unstripped stops the packing, and no zip is left behind.
        for unstripped in ("win", "win64"):
            with self.subTest(unstripped=unstripped):
                build = tempfile.mkdtemp(prefix="sonadesk-package-")
                try:
                    for sub in ("win", "win64"):
                        os.makedirs(os.path.join(build, sub))
                        name = "Sonadesk.exe.debug" if sub == unstripped else "Sonadesk.exe"
                        shutil.copy(os.path.join(BUILD, sub, name), os.path.join(build, sub, "Sonadesk.exe"))
                    env = dict(os.environ, SONADESK_BUILD=build)
                    out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], stdout=subprocess.PIPE,
                                         stderr=subprocess.STDOUT, text=True, env=env, timeout=60)
                    self.assertNotEqual(out.returncode, 0)
                    self.assertIn("debug sections", out.stdout)
                    self.assertIn(os.path.join(build, unstripped, "Sonadesk.exe"), out.stdout)
                    self.assertEqual(sorted(os.listdir(build)), ["win", "win64"])
                finally:
                    shutil.rmtree(build, ignore_errors=True)

    def test_the_two_builds_cannot_be_swapped(self):
        build = tempfile.mkdtemp(prefix="sonadesk-package-")
        try:
            for sub, source in (("win", "win64"), ("win64", "win64")):
                os.makedirs(os.path.join(build, sub))
                shutil.copy(os.path.join(BUILD, source, "Sonadesk.exe"), os.path.join(build, sub, "Sonadesk.exe"))
            env = dict(os.environ, SONADESK_BUILD=build)
            out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True, env=env, timeout=60)
            self.assertNotEqual(out.returncode, 0)
            self.assertIn("is not a pei-i386 program", out.stdout)
            self.assertEqual(sorted(os.listdir(build)), ["win", "win64"])
        finally:
            shutil.rmtree(build, ignore_errors=True)


class PackagedExeTest(SonadeskTestCase):
    def test_the_exe_from_the_zip_this_machine_runs_starts_and_shows_its_main_window(self):
        # A machine without 32-bit support runs the 64-bit package; the others the 32-bit one.
        zip_path = PACKAGES[1 if os.environ.get("SONA_WINE_BITS") == "64" else 0][0]
        rc, out = package()
        self.assertEqual(rc, 0, out)
        self.app.close()
        folder = tempfile.mkdtemp(prefix="sonadesk-unzipped-")
        shutil.rmtree(self.app.folder, ignore_errors=True)
        with zipfile.ZipFile(zip_path) as z:
            z.extractall(folder)
        self.app = Sonadesk(folder)
        self.app.start()
        main = self.app.main()
        self.assertEqual(main["rect"][2] - main["rect"][0], 800)
        self.assertTrue(os.path.exists(self.app.data_file("demo01.jpg")))


if __name__ == "__main__":
    unittest.main()
