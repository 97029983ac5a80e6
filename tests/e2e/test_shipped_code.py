"""What both shipped exes are made of, read back from the files: the 32-bit exe computes in SSE2 as
the 64-bit one does (no x87 arithmetic left in the program's own code), and both carry the
hardening: ASLR (with high entropy on the 64-bit exe) and DEP marks, stack canaries and the
checked string functions, with their runtime linked in, not loaded from a DLL."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

from bench import BUILD, ROOT

EXES = {32: os.path.join(BUILD, "win", "Sonadesk.exe"), 64: os.path.join(BUILD, "win64", "Sonadesk.exe")}
TOOLS = {32: "i686-w64-mingw32-", 64: "x86_64-w64-mingw32-"}

DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA = 0x40, 0x100, 0x20

sys.path.insert(0, os.path.join(ROOT, "scripts"))
count_x87 = __import__("count-x87")


def headers(path):
    pe = open(path, "rb").read()
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    optional = nt + 24
    magic, = struct.unpack_from("<H", pe, optional)
    dll_characteristics, = struct.unpack_from("<H", pe, optional + 70)
    directories = optional + (112 if magic == 0x20B else 96)
    reloc_rva, reloc_size = struct.unpack_from("<II", pe, directories + 8 * 5)
    return magic, dll_characteristics, reloc_size


def symbols(path, bits):
    out = subprocess.run([TOOLS[bits] + "nm", path], stdout=subprocess.PIPE, text=True, check=True).stdout
    return {line.split()[-1].lstrip("_") for line in out.splitlines() if line.strip()}


def imported_dlls(path, bits):
    out = subprocess.run([TOOLS[bits] + "objdump", "-p", path], stdout=subprocess.PIPE, text=True, check=True).stdout
    return {line.split(":", 1)[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line}


class HardeningTest(unittest.TestCase):
    def test_both_exes_are_marked_for_aslr_and_dep_and_can_be_moved(self):
        for bits, exe in EXES.items():
            with self.subTest(bits=bits):
                magic, flags, relocations = headers(exe)
                self.assertEqual(magic, 0x20B if bits == 64 else 0x10B)
                self.assertTrue(flags & DYNAMIC_BASE, "no ASLR mark: 0x%x" % flags)
                self.assertTrue(flags & NX_COMPAT, "no DEP mark: 0x%x" % flags)
                if bits == 64:
                    self.assertTrue(flags & HIGH_ENTROPY_VA, "no high-entropy ASLR: 0x%x" % flags)
                # Without relocations the loader cannot move the exe, whatever the mark says.
                self.assertGreater(relocations, 0)

    def test_both_exes_carry_stack_canaries_and_checked_string_functions_linked_in(self):
        for bits, exe in EXES.items():
            with self.subTest(bits=bits):
                names = symbols(exe, bits)
                self.assertIn("stack_chk_fail", names)
                self.assertIn("stack_chk_guard", names)
                checked = sorted(n for n in names if n.endswith("_chk") and n != "stack_chk_fail")
                self.assertTrue(checked, "no checked (_FORTIFY_SOURCE) function in the exe")
                self.assertEqual([d for d in imported_dlls(exe, bits) if "ssp" in d], [])
                # Canaries in many of the program's own functions, not only in the runtime's.
                dis = subprocess.run([TOOLS[bits] + "objdump", "-d", exe], stdout=subprocess.PIPE, text=True,
                                     check=True).stdout
                self.assertGreater(dis.count("<__stack_chk_fail>") if bits == 64 else
                                   dis.count("<___stack_chk_fail>"), 200)


class SseArithmeticTest(unittest.TestCase):
    def test_the_32_bit_exe_has_no_x87_arithmetic_in_its_own_code(self):
        counts, where = count_x87.count(EXES[32], os.path.join(BUILD, "win"))
        print("\nx87 in the 32-bit exe: own code %d arithmetic, %d moves; runtime %d arithmetic, %d moves" %
              (counts["own", "arithmetic"], counts["own", "moves"], counts["runtime", "arithmetic"],
               counts["runtime", "moves"]), file=sys.stderr)
        self.assertEqual(dict(where), {}, "own functions still computing on the x87 unit")
        # The count sees the code: the runtime's own x87 code (printf's, libgcc's) is found.
        self.assertGreater(counts["runtime", "arithmetic"] + counts["runtime", "moves"], 0)

    def test_the_count_tells_x87_code_from_sse2_code(self):
        # The same small function built both ways: the count must find the x87 build's
        # arithmetic in its own code, or a zero above would prove nothing.
        source = "double Scale(double a, float b) { return a * b + 0.5; }\nint Round(double a) { return (int)a; }\n" \
                 "int main(int c, char** v) { return Round(Scale(c, (float)c)); }\n"
        for fpmath, want_arithmetic in (("387", True), ("sse", False)):
            with self.subTest(fpmath=fpmath), tempfile.TemporaryDirectory() as build:
                objects = os.path.join(build, "CMakeFiles", "Sonadesk.dir")
                os.makedirs(objects)
                with open(os.path.join(build, "t.cpp"), "w") as f:
                    f.write(source)
                obj, exe = os.path.join(objects, "t.cpp.obj"), os.path.join(build, "t.exe")
                subprocess.run([TOOLS[32] + "g++", "-O2", "-msse2", "-mfpmath=" + fpmath, "-c",
                                os.path.join(build, "t.cpp"), "-o", obj], check=True)
                subprocess.run([TOOLS[32] + "g++", obj, "-o", exe], check=True)
                counts, where = count_x87.count(exe, build)
                self.assertEqual(counts["own", "arithmetic"] > 0, want_arithmetic, dict(counts))
                self.assertEqual(bool(where), want_arithmetic, dict(where))
                self.assertGreater(counts["runtime", "arithmetic"] + counts["runtime", "moves"], 0)


if __name__ == "__main__":
    unittest.main()
