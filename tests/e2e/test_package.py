"""The shipped package as a user downloads it: `./sonadesk package` (scripts/package.sh) packs the
built exe with a read-me and the licence into build/Sonadesk-1.2.7-win32.zip and prints its
SHA-256; the exe inside carries no debug sections, and it starts."""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile

from bench import BUILD, ROOT, Sonadesk, SonadeskTestCase

ZIP = os.path.join(BUILD, "Sonadesk-1.2.7-win32.zip")
# The shipped exe: the 32-bit build (a machine without 32-bit support tests a 64-bit one).
SHIPPED = os.path.join(BUILD, "win", "Sonadesk.exe")


def package():
    env = dict(os.environ, SONADESK_BUILD=BUILD)
    out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True, env=env, timeout=120)
    return out.returncode, out.stdout


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
    def test_zip_holds_the_stripped_exe_a_read_me_and_the_licence_and_its_sum_is_printed(self):
        rc, out = package()
        self.assertEqual(rc, 0, out)
        self.assertIn(ZIP, out)
        with open(ZIP, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        self.assertIn("SHA-256 " + digest, out)
        with zipfile.ZipFile(ZIP) as z:
            self.assertEqual(sorted(z.namelist()), ["Licence.txt", "ReadMe.txt", "Sonadesk.exe"])
            exe = z.read("Sonadesk.exe")
            readme = z.read("ReadMe.txt").decode("ascii")
            licence = z.read("Licence.txt").decode("ascii")
        with open(SHIPPED, "rb") as f:
            self.assertEqual(exe, f.read(), "the zip holds another exe than the build's")
        names = section_names(exe)
        self.assertIn(".text", names)
        self.assertIn(".rsrc", names)
        self.assertIn(".gnu_debuglink", names)
        self.assertEqual([n for n in names if n.startswith(".debug") or n.startswith("/")], [])
        self.assertLess(len(exe), 4 * 1024 * 1024)
        # Text files for Notepad: CRLF line ends only.
        for text in (readme, licence):
            self.assertNotIn("\n", text.replace("\r\n", ""))
        self.assertIn("Sonadesk 1.2.7", readme)
        self.assertIn("Licence.txt", readme)
        self.assertTrue(licence.strip())
        # The same exe gives the same zip, byte for byte.
        rc, again = package()
        self.assertEqual(rc, 0, again)
        self.assertIn("SHA-256 " + digest, again)

    def test_a_build_that_still_has_debug_sections_is_not_packed(self):
        build = tempfile.mkdtemp(prefix="sonadesk-package-")
        try:
            os.makedirs(os.path.join(build, "win"))
            shutil.copy(os.path.join(BUILD, "win", "Sonadesk.exe.debug"), os.path.join(build, "win", "Sonadesk.exe"))
            env = dict(os.environ, SONADESK_BUILD=build)
            out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True, env=env, timeout=60)
            self.assertNotEqual(out.returncode, 0)
            self.assertIn("debug sections", out.stdout)
            self.assertEqual(os.listdir(build), ["win"])
        finally:
            shutil.rmtree(build, ignore_errors=True)


class PackagedExeTest(SonadeskTestCase):
    @unittest.skipIf(os.environ.get("SONA_WINE_BITS") == "64",
                     "this machine runs no 32-bit code: the shipped 32-bit exe cannot start here")
    def test_the_exe_from_the_zip_starts_and_shows_its_main_window(self):
        rc, out = package()
        self.assertEqual(rc, 0, out)
        self.app.close()
        folder = tempfile.mkdtemp(prefix="sonadesk-unzipped-")
        shutil.rmtree(self.app.folder, ignore_errors=True)
        with zipfile.ZipFile(ZIP) as z:
            z.extractall(folder)
        self.app = Sonadesk(folder)
        self.app.start()
        main = self.app.main()
        self.assertEqual(main["rect"][2] - main["rect"][0], 800)
        self.assertTrue(os.path.exists(self.app.data_file("demo01.jpg")))


if __name__ == "__main__":
    unittest.main()
