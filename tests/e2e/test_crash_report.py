"""A crash leaves a trace. crash_probe.exe (a test program, never shipped) installs Sonadesk's crash
reporter and then faults; Data\\Crashes\\ beside it then holds a small minidump whose exception
context is the faulting thread's and a short text (version, build id, modules, the exception),
at most 5 reports are kept, the store is untouched, the build's .debug file names the faulting
function from the dump's numbers, and the next start of Sonadesk says so once."""
import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest
import zlib

from bench import WIN, Sonadesk, SonadeskTestCase, key, probe, wait_for

PROBE_EXE = os.path.join(WIN, "crash_probe.exe")
BITS = 64 if os.environ.get("SONA_WINE_BITS") == "64" else 32
ADDR2LINE = "x86_64-w64-mingw32-addr2line" if BITS == 64 else "i686-w64-mingw32-addr2line"
ACCESS_VIOLATION = 0xC0000005
ABORT = 0xE0414254

# Old reports already there: the two oldest must go to keep five with the new one.
OLD = ["Sonadesk-20260101-00000%d-42" % i for i in range(1, 7)]


def streams(dump):
    """{stream type: bytes} of a minidump."""
    sig, _, count, rva = struct.unpack_from("<4sIII", dump, 0)
    assert sig == b"MDMP", sig
    out = {}
    for i in range(count):
        kind, size, at = struct.unpack_from("<III", dump, rva + 12 * i)
        out[kind] = (dump[at:at + size], at)
    return out


def linked_image_base(path):
    pe = open(path, "rb").read(4096)
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    optional = nt + 24
    if struct.unpack_from("<H", pe, optional)[0] == 0x20B:
        return struct.unpack_from("<Q", pe, optional + 24)[0]
    return struct.unpack_from("<I", pe, optional + 28)[0]


class CrashReportTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        for name in ("crash_probe.exe", "crash_probe.exe.debug"):
            shutil.copy(os.path.join(WIN, name), os.path.join(self.app.folder, name))
        self.crashes = os.path.join(self.app.data, "Crashes")

    def crash(self, how):
        os.makedirs(self.crashes, exist_ok=True)
        for stem in OLD:
            for ext in (".txt", ".dmp"):
                with open(os.path.join(self.crashes, stem + ext), "w") as f:
                    f.write("old")
        with open(self.app.data_file("Media"), "wb") as f:
            f.write(b"\x01\0\0\0\0\0\0\0\0\0\0\0")
        out = subprocess.run(["wine", os.path.join(self.app.folder, "crash_probe.exe"), how], cwd=self.app.folder,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.assertNotEqual(out.returncode, 0)
        # The store on disk is left as it was.
        self.assertEqual(open(self.app.data_file("Media"), "rb").read(), b"\x01\0\0\0\0\0\0\0\0\0\0\0")
        stems = sorted({os.path.splitext(n)[0] for n in os.listdir(self.crashes) if n.startswith("Sonadesk-")})
        self.assertEqual(len(stems), 5, stems)
        self.assertEqual(stems[:4], OLD[2:])
        new = stems[4]
        self.assertTrue(re.match(r"Sonadesk-\d{8}-\d{6}-\d+$", new), new)
        return new

    def test_a_fault_writes_a_dump_and_a_text_that_the_debug_file_symbolises(self):
        new = self.crash("write")
        text = open(os.path.join(self.crashes, new + ".txt"), encoding="utf-8").read()
        self.assertIn("Version: 1.2.7.0 (%d-bit)" % BITS, text)
        # The build id names the .debug file that belongs to the exe: its CRC.
        build = re.search(r"Build: ([0-9a-f]{8})-([0-9a-f]{8})", text)
        self.assertTrue(build, text)
        debug = os.path.join(self.app.folder, "crash_probe.exe.debug")
        self.assertEqual(int(build.group(2), 16), zlib.crc32(open(debug, "rb").read()))
        self.assertIn("Exception: 0xC0000005, access violation", text)
        self.assertIn("Access: writing 0x", text)
        self.assertIn("crash_probe.exe+0x", text)
        self.assertIn("Dump: %s.dmp" % new, text)
        modules = text.split("Modules:")[1].lower()
        for module in ("crash_probe.exe", "ntdll.dll", "kernel32.dll", "dbghelp.dll"):
            self.assertIn(module, modules)

        dump = open(os.path.join(self.crashes, new + ".dmp"), "rb").read()
        s = streams(dump)
        exception, _ = s[6]  # ExceptionStream
        thread_id, = struct.unpack_from("<I", exception, 0)
        code, _, _, address = struct.unpack_from("<IIQQ", exception, 8)
        self.assertEqual(code, ACCESS_VIOLATION)
        # The context saved with the exception is the faulting thread's own at the fault (the
        # writer ran on another thread): its instruction pointer is the faulting one.
        ctx_size, ctx_rva = struct.unpack_from("<II", exception, 8 + 152)
        context = dump[ctx_rva:ctx_rva + ctx_size]
        ip = struct.unpack_from("<Q", context, 0xF8)[0] if BITS == 64 else struct.unpack_from("<I", context, 184)[0]
        self.assertEqual(ip, address)
        threads, _ = s[3]  # ThreadListStream: the faulting thread is among the dumped ones
        count, = struct.unpack_from("<I", threads, 0)
        ids = [struct.unpack_from("<I", threads, 4 + 48 * i)[0] for i in range(count)]
        self.assertIn(thread_id, ids)
        self.assertIn("Thread: %d\n" % thread_id, text)
        # Small: the stacks as they were, not the writer's own (it is left out).
        self.assertLess(len(dump), 512 * 1024)
        modules, _ = s[4]  # ModuleListStream
        count, = struct.unpack_from("<I", modules, 0)
        base = None
        for i in range(count):
            at = 4 + 108 * i
            b, size, _, _, name_rva = struct.unpack_from("<QIIII", modules, at)
            length, = struct.unpack_from("<I", dump, name_rva)
            name = dump[name_rva + 4:name_rva + 4 + length].decode("utf-16-le")
            if name.lower().endswith("crash_probe.exe"):
                base = b
        self.assertIsNotNone(base, "the dump lists no crash_probe.exe")

        # The build's .debug file names the function and the line from the dump's numbers alone.
        linked = linked_image_base(debug) + (address - base)
        out = subprocess.run([ADDR2LINE, "-f", "-C", "-e", debug, hex(linked)], stdout=subprocess.PIPE, text=True,
                             check=True).stdout.splitlines()
        self.assertIn("CrashProbeWriteThroughNull", out[0])
        self.assertRegex(out[1], r"crash_probe\.cpp:\d+")
        # The text's own hint gives the same address.
        self.assertIn("in its debug file 0x%0*X" % (16 if BITS == 64 else 8, linked), text)

    def test_abort_leaves_a_report_too_and_the_next_start_says_so_once(self):
        new = self.crash("abort")
        text = open(os.path.join(self.crashes, new + ".txt"), encoding="utf-8").read()
        self.assertIn("Exception: 0xE0414254, abort", text)

        self.app.start()
        main = self.app.main()
        box = wait_for(lambda: [w for w in self.app.visible_windows() if w["class"] == "#32770" and
                                w["hwnd"] != main["hwnd"] and w["title"] == "Varnel Sonadesk"], timeout=10)
        self.assertTrue(box, "the start did not say that Sonadesk closed unexpectedly")
        self.assertEqual(box[0]["owner"], main["hwnd"])
        said = []
        for child in self.app.children(box[0]["hwnd"]):
            items, _ = probe("text", child["hwnd"])
            if items:
                said.append(items[0]["text"])
        said = "\n".join(said)
        self.assertIn("closed unexpectedly", said)
        self.assertIn("\\Data\\Crashes\\%s.txt" % new, said)
        key("Return")
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["class"] == "#32770" and
                                              w["hwnd"] != main["hwnd"] and w["title"] == "Varnel Sonadesk"],
                                 timeout=5))
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20))
        # Said once: the next start is quiet, and the reports stay.
        self.app.start()
        time.sleep(2)
        main = self.app.main()
        self.assertEqual([w for w in self.app.visible_windows() if w["class"] == "#32770" and
                          w["hwnd"] != main["hwnd"] and w["title"] == "Varnel Sonadesk"], [])
        self.assertTrue(os.path.exists(os.path.join(self.crashes, new + ".txt")))


if __name__ == "__main__":
    unittest.main()
