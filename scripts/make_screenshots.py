"""The screenshot session of scripts/make-screenshots.sh (run there, on its virtual display).

Lays out the desk of tests/e2e/desk_fixture.py with a movie made here, starts Sonadesk, presses
Play on the music card and the movie, and writes <out>/screenshot.png and <out>/main-window.png.
"""
import os
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import bench  # noqa: E402
import desk_fixture as fx  # noqa: E402
from bench import Sonadesk, click, move, screenshot, wait_for, wine_path  # noqa: E402

MARGIN = 14


def make_movie(path):
    """A 12 s 4:3 clip zooming into the Mandelbrot set (MJPEG in AVI, no sound)."""
    if os.path.exists(path) and os.path.getsize(path) > 0:
        return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi",
                    "-i", "mandelbrot=size=320x240:rate=25:maxiter=256:start_scale=1.5:end_scale=0.3:end_pts=12"
                    ":outer=normalized_iteration_count", "-t", "12", "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", "-an", path],
                   check=True, timeout=120)


def save_png(img, path):
    """An 8-bit palette PNG when the full-colour one is over 400 KB."""
    img.save(path, optimize=True)
    if os.path.getsize(path) > 400 * 1024:
        img.quantize(colors=256, method=2, dither=1).save(path, optimize=True)
    print("%s: %dx%d, %d KB" % (path, img.size[0], img.size[1], os.path.getsize(path) // 1024))


def main(out):
    os.makedirs(out, exist_ok=True)
    movie = os.path.join(bench.BUILD, "media", "look-mandelbrot.avi")
    make_movie(movie)
    app = Sonadesk()
    try:
        fx.write(app.data, wine_path(movie), current=2)
        move(5, 1015)
        app.start()
        time.sleep(1.5)
        main_rect = app.main()["rect"]
        # The bare window first, on its empty third desk.
        save_png(screenshot().crop(tuple(main_rect)), os.path.join(out, "main-window.png"))

        # Desk 1: the items are made now, after the window is up, so they lie over it.
        ox, oy = main_rect[0], main_rect[1]
        click(ox + 16 + 17, oy + 9 + 17)
        wait_for(lambda: len(app.visible_windows()) >= 14, timeout=20)
        time.sleep(1.5)
        l, t, r, b = fx.MUSIC_RECT
        h = b - t
        click(int(l + 0.1 * h) + 9, int(t + 0.22 * h) + 10)  # Play on the music card
        l, t, r, b = fx.MOVIE_RECT
        click(l + 18 + 17, b - 55 + 17)  # Play on the movie
        move(5, 1015)
        time.sleep(4.0)
        rects = [w["rect"] for w in app.visible_windows()
                 if w["rect"][2] > w["rect"][0] and w["rect"][3] > w["rect"][1]]
        left = max(0, min(r[0] for r in rects) - MARGIN)
        top = max(0, min(r[1] for r in rects) - MARGIN)
        right = min(1280, max(r[2] for r in rects) + MARGIN)
        bottom = min(1024, max(r[3] for r in rects) + MARGIN)
        save_png(screenshot().crop((left, top, right, bottom)), os.path.join(out, "screenshot.png"))
    finally:
        app.close()
        import shutil
        shutil.rmtree(app.folder, ignore_errors=True)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs"))
