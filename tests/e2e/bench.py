"""End-to-end bench: the real Sonadesk.exe under Wine on the Xvfb display of scripts/test.sh, a
desktop like a user's: our wallpaper, a compositing manager and a window manager (openbox), so the
keyboard focus follows activation and hidden windows go at once, as on Windows.

Each Sonadesk() is a fresh install folder (a copy of the exe) so its Data folder starts empty.
Input goes through xdotool (real X mouse and keyboard events); windows are read with the probe
program (tools/win/probe.cpp) run under the same Wine; screenshots come from the X root window.
"""
import io
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.environ.get("SONADESK_ROOT") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("SONADESK_BUILD") or os.path.join(ROOT, "build")
WIN = os.environ.get("SONADESK_WIN_DIR") or os.path.join(BUILD, "win")
EXE = os.path.join(WIN, "Sonadesk.exe")
PROBE = os.path.join(WIN, "probe.exe")
ARTIFACTS = os.path.join(BUILD, "test-logs", "e2e")

INSTANCE_NAME = "0xa8eb1243, 0x1751, 0x4fea, 0xa7, 0x6d, 0x7d, 0xa6, 0x93, 0x9f, 0xac, 0x4a"


def wine_path(path):
    """The Windows form of a Linux path (Wine maps / to Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(args, timeout=60, check=False):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout,
                          check=check, text=True)


def probe(*args, timeout=30):
    """Runs the probe; returns the JSON objects it printed and its exit code."""
    # Output goes through a file, not a pipe: Wine's background processes would hold a pipe open.
    with tempfile.TemporaryFile(mode="w+") as out:
        try:
            rc = subprocess.run(["wine", PROBE] + [str(a) for a in args], stdout=out,
                                stderr=subprocess.DEVNULL, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            rc = -1
        out.seek(0)
        text = out.read()
    items = []
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("{"):
            try:
                items.append(json.loads(line))
            except ValueError:
                pass
    return items, rc


def xdo(*args):
    run(["xdotool"] + [str(a) for a in args], timeout=30)


def screenshot(path=None):
    """The X root window as a PIL image (also saved to `path` when given)."""
    from PIL import Image
    data = subprocess.run(["import", "-window", "root", "png:-"], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=30).stdout
    img = Image.open(io.BytesIO(data)).convert("RGB")
    if path:
        os.makedirs(os.path.dirname(path), exist_ok=True)
        img.save(path)
    return img


class Sonadesk:
    """One installed copy of the program and, while started, its running process."""

    def __init__(self, folder=None):
        self.folder = folder or tempfile.mkdtemp(prefix="sonadesk-e2e-")
        os.makedirs(self.folder, exist_ok=True)
        self.exe = os.path.join(self.folder, "Sonadesk.exe")
        if not os.path.exists(self.exe):
            shutil.copy(EXE, self.exe)
        self.proc = None

    @property
    def data(self):
        return os.path.join(self.folder, "Data")

    def data_file(self, name):
        return os.path.join(self.data, name)

    def start(self, args=(), wait=True, timeout=30):
        self.proc = subprocess.Popen(["wine", self.exe] + list(args), cwd=self.folder,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if wait:
            main = self.wait_main(timeout)
            if main is None:
                raise AssertionError("Sonadesk's main window did not appear")
            # The property is set early in the initialisation; the window shows when it is done.
            if not wait_for(lambda: (self.main() or {}).get("visible"), timeout=timeout):
                raise AssertionError("Sonadesk's main window did not show")
            # The first full paint comes 500 ms after initialisation.
            time.sleep(0.8)
        return self

    def wait_main(self, timeout=20):
        items, rc = probe("wait-main", timeout, timeout=timeout + 15)
        return items[0] if rc == 0 and items else None

    def main(self):
        items, _ = probe("wait-main", 0)
        return items[0] if items else None

    def windows(self):
        """Every top-level window of the running process."""
        items, _ = probe("windows")
        return items

    def visible_windows(self, cls=None):
        return [w for w in self.windows() if w["visible"] and (cls is None or w["class"] == cls)]

    def children(self, hwnd):
        items, _ = probe("children", hwnd)
        return items

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=20):
        try:
            self.proc.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def close(self):
        """Ends the process however it is (used by tearDown)."""
        if self.running():
            self.proc.kill()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        # Wine keeps the window list for a moment after the process is gone.
        wait_for(lambda: self.main() is None, timeout=10)

    # --- input -------------------------------------------------------------------------------

    def client_origin(self):
        r = self.main()["rect"]
        return r[0], r[1]

    def click_client(self, x, y, button=1):
        ox, oy = self.client_origin()
        click(ox + x, oy + y, button)

    def alt_f4(self):
        """Alt+F4 to the program, wherever its keyboard focus is (the window manager gives it to
        the main window when it shows and to whichever window the user clicked since)."""
        key("alt+F4")


def click(x, y, button=1, double=False):
    xdo("mousemove", int(x), int(y))
    time.sleep(0.1)
    if double:
        xdo("click", "--repeat", 2, "--delay", 80, button)
    else:
        xdo("click", button)
    time.sleep(0.2)


def move(x, y):
    xdo("mousemove", int(x), int(y))
    time.sleep(0.15)


def drag(x1, y1, x2, y2, steps=10, button=1):
    xdo("mousemove", int(x1), int(y1))
    time.sleep(0.1)
    xdo("mousedown", button)
    time.sleep(0.15)
    for i in range(1, steps + 1):
        xdo("mousemove", int(x1 + (x2 - x1) * i / steps), int(y1 + (y2 - y1) * i / steps))
        time.sleep(0.03)
    time.sleep(0.15)
    xdo("mouseup", button)
    time.sleep(0.3)


def key(*keys):
    for k in keys:
        xdo("key", "--clearmodifiers", k)
        time.sleep(0.1)


def type_text(text):
    xdo("type", "--delay", 20, text)
    time.sleep(0.2)


def wait_for(predicate, timeout=10, interval=0.2):
    """Polls predicate until it returns something true; returns that or None."""
    end = time.time() + timeout
    while True:
        v = predicate()
        if v:
            return v
        if time.time() > end:
            return None
        time.sleep(interval)


class SonadeskTestCase(unittest.TestCase):
    """Starts nothing by itself; gives each test a fresh install and cleans it up."""

    def setUp(self):
        self.app = Sonadesk()
        move(5, 1015)  # keep the pointer off the windows

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        failed = outcome is not None and any(e for _, e in getattr(outcome, "errors", []) if e)
        if failed or (outcome is not None and getattr(outcome, "result", None) is not None and
                      not outcome.result.wasSuccessful()):
            try:
                screenshot(os.path.join(ARTIFACTS, self.id() + ".png"))
            except Exception:
                pass
        self.app.close()
        shutil.rmtree(self.app.folder, ignore_errors=True)
