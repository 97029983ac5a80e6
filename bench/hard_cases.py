"""How long the main window stops answering in the hard cases, against the same window idle in
the same run (called by scripts/bench.sh inside its Wine bench):

  start     launch to the main window shown, with a Data folder that cannot be written (a
            read-only tmpfs) against a normal one
  paste     Ctrl+V of a 12000 x 9000 PNG from the X clipboard
  copy      Ctrl+C of that picture placed on the desk
  files     Ctrl+V of a list of 500 picture files

A probe sends the main window WM_NULL every 20 ms while the operation runs; the longest answer is
the freeze. Peak memory is the process's VmHWM.
  bench/hard_cases.py [start] [paste] [copy] [files]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from bench import PROBE, Sonadesk, click, key, probe, wait_for, wine_path  # noqa: E402
import desk_fixture as fx  # noqa: E402
from test_desk_habits import Clipboard  # noqa: E402


def peak_mb(app):
    """The largest resident size the program's process reached, in MB."""
    for pid in subprocess.run(["pgrep", "-f", app.exe.replace("/", ".")], stdout=subprocess.PIPE,
                              text=True).stdout.split():
        try:
            with open("/proc/%s/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1]) / 1024
        except OSError:
            pass
    return 0


def pinger(hwnd, seconds):
    return subprocess.Popen(["wine", PROBE, "ping", str(hwnd), str(seconds)], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)


def ping_result(proc, stop=False):
    """The longest answer the probe saw; `stop` ends it first (the operation is over)."""
    import json
    if stop:
        time.sleep(1.0)
        proc.terminate()
    out, _ = proc.communicate(timeout=600)
    worst = {"max_ms": float("nan")}
    for line in out.splitlines():
        if line.startswith("{"):
            worst = json.loads(line)
    return worst


def measure(app, action, seconds, done):
    """The idle window's longest answer, then the longest while `action` runs until `done`."""
    main = app.main()["hwnd"]
    idle = ping_result(pinger(main, 2))
    busy = pinger(main, seconds)
    time.sleep(1.0)
    started = time.time()
    action()
    wait_for(done, timeout=seconds)
    took = time.time() - started
    result = ping_result(busy, stop=True)
    return idle["max_ms"], result["max_ms"], took


def bench_start(runs=5):
    times = {"writable": [], "read-only": []}
    for _ in range(runs):
        for kind in times:
            app = Sonadesk()
            os.makedirs(app.data)
            mounted = False
            if kind == "read-only":
                subprocess.run(["mount", "-t", "tmpfs", "-o", "size=8m", "tmpfs", app.data], check=True)
                subprocess.run(["mount", "-o", "remount,ro", app.data], check=True)
                mounted = True
            started = time.time()
            app.proc = subprocess.Popen(["wine", app.exe], cwd=app.folder, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
            wait_for(lambda: (app.main() or {}).get("visible"), timeout=60, interval=0.05)
            times[kind].append(time.time() - started)
            app.close()
            if mounted:
                subprocess.run(["umount", "-l", app.data])
            shutil.rmtree(app.folder, ignore_errors=True)
    w, r = statistics.median(times["writable"]), statistics.median(times["read-only"])
    print("start: writable Data %.2f s, read-only Data %.2f s (medians of %d): ratio %.2f" % (w, r, runs, r / w))


def huge_png(folder):
    from PIL import Image
    path = os.path.join(folder, "scan.png")
    Image.new("RGB", (12000, 9000), (0, 160, 0)).save(path)
    return path


def items(app):
    main = app.main()
    if not main:
        return []
    return [w for w in app.windows() if w["visible"] and w["owner"] == main["hwnd"] and
            (w["exstyle"] & 0x80080) == 0x80080 and not w["exstyle"] & 0x20]


def bench_paste(files):
    png = huge_png(files)
    app = Sonadesk()
    clip = Clipboard()
    try:
        app.start()
        clip.offer(open(png, "rb").read(), "image/png")
        idle, worst, took = measure(app, lambda: key("ctrl+v"), 120, lambda: items(app))
        print("paste 12000x9000 PNG: longest answer %.0f ms (idle %.0f ms), placed after %.1f s, peak %.0f MB" %
              (worst, idle, took, peak_mb(app)))
    finally:
        clip.stop()
        app.close()
        shutil.rmtree(app.folder, ignore_errors=True)


def bench_copy(files):
    png = huge_png(files)
    app = Sonadesk()
    clip = Clipboard()
    place = (40, 10, 360, 250)
    os.makedirs(app.data)
    data = fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(png), place))]])
    for name in ("Media", "Media_bak"):
        open(app.data_file(name), "wb").write(data)
    try:
        app.start()
        wait_for(lambda: items(app), timeout=60)
        time.sleep(15)  # the picture's own decode is done
        click(200, 130)
        time.sleep(1)
        click(200, 130)
        idle, worst, took = measure(app, lambda: key("ctrl+c"), 120,
                                    lambda: "image/bmp" in clip.read("TARGETS"))
        print("copy 12000x9000 PNG: longest answer %.0f ms (idle %.0f ms), bitmap on the clipboard after %.1f s, "
              "peak %.0f MB" % (worst, idle, took, peak_mb(app)))
    finally:
        clip.stop()
        app.close()
        shutil.rmtree(app.folder, ignore_errors=True)


def bench_files(files, count=500):
    from PIL import Image
    paths = []
    for i in range(count):
        path = os.path.join(files, "f%03d.png" % i)
        Image.new("RGB", (40, 30), (i % 256, 100, 200)).save(path)
        paths.append(path)
    app = Sonadesk()
    clip = Clipboard()
    try:
        app.start()
        clip.offer("".join("file://%s\r\n" % p for p in paths).encode(), "text/uri-list")
        idle, worst, took = measure(app, lambda: key("ctrl+v"), 300, lambda: len(items(app)) >= count)
        print("paste %d files: longest answer %.0f ms (idle %.0f ms), all placed after %.1f s" %
              (count, worst, idle, took))
    finally:
        clip.stop()
        app.close()
        shutil.rmtree(app.folder, ignore_errors=True)


if __name__ == "__main__":
    names = sys.argv[1:] or ["start", "paste", "copy", "files"]
    files = tempfile.mkdtemp(prefix="sonadesk-hard-")
    try:
        for name in names:
            if name == "start":
                bench_start()
            elif name == "paste":
                bench_paste(files)
            elif name == "copy":
                bench_copy(files)
            elif name == "files":
                bench_files(files)
    finally:
        shutil.rmtree(files, ignore_errors=True)
