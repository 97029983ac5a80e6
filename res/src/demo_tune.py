#!/usr/bin/python3
"""Demo song: a calm 12-bar tune in C major (about 31 s), synthesised note by
note with `sox synth`, mixed with a little reverb and encoded with `lame`.

    /usr/bin/python3 res/src/demo_tune.py res/demo/demo01.mp3

Needs sox and lame.  Deterministic: sox runs in repeatable mode (-R) and no
random numbers are used.
"""
import os
import shutil
import subprocess
import sys
import tempfile

BPM = 96
BEAT = 60.0 / BPM
RATE = 44100
KBPS = 128

NOTE = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}

# chord per bar: root name with octave, quality
CHORDS = ["C3", "A2m", "F2", "G2", "C3", "E3m", "F2", "G2", "A2m", "F2", "G2", "C3"]
# melody per bar: (note, beats); "-" is a rest
MELODY = [
    [("E5", 2), ("G5", 1), ("E5", 1)],
    [("C5", 2), ("E5", 1), ("D5", 1)],
    [("C5", 1.5), ("A4", .5), ("C5", 1), ("F5", 1)],
    [("D5", 3), ("B4", 1)],
    [("E5", 2), ("G5", 1), ("C6", 1)],
    [("B5", 2), ("G5", 1), ("E5", 1)],
    [("A5", 1.5), ("G5", .5), ("F5", 1), ("A5", 1)],
    [("G5", 3), ("-", 1)],
    [("E5", 1), ("A5", 1), ("C6", 1), ("B5", 1)],
    [("A5", 2), ("F5", 1), ("A5", 1)],
    [("G5", 1), ("F5", 1), ("D5", 1), ("B4", 1)],
    [("C5", 4)],
]
ARP = [0, 2, 3, 4, 5, 4, 3, 2]          # indexes into the chord's tone ladder, one per eighth


def freq(name):
    semis = NOTE[name[0]] + (12 * (int(name[-1]) - 4))
    return 440.0 * 2 ** (semis / 12.0)


def chord_tones(ch):
    minor = ch.endswith("m")
    root = ch.rstrip("m")
    f = freq(root)
    third = 3 if minor else 4
    steps = [0, 7, 12, 12 + third, 19, 24]
    return f, [f * 2 ** (s / 12.0) for s in steps], [f * 2, f * 2 ** ((12 + third) / 12), f * 2 ** (19 / 12)]


def sox(*args):
    subprocess.run(["sox", "-R", "-V1"] + [str(a) for a in args], check=True)


def main():
    dest = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "demo01.mp3")
    tmp = tempfile.mkdtemp(prefix="sonadesk-tune-")
    try:
        n = [0]

        def note(dur, synth, vol, fade=(0.005, 0.08), extra=()):
            n[0] += 1
            path = os.path.join(tmp, "n%04d.wav" % n[0])
            sox("-n", "-r", RATE, "-c", 1, path, "synth", "%.4f" % dur, *synth,
                "fade", "q", fade[0], "%.4f" % dur, fade[1], *extra, "vol", vol)
            return path

        def rest(dur):
            n[0] += 1
            path = os.path.join(tmp, "n%04d.wav" % n[0])
            sox("-n", "-r", RATE, "-c", 1, path, "trim", 0, "%.4f" % dur)
            return path

        bar = 4 * BEAT
        arp, bass, pad, mel = [], [], [], []
        for i, ch in enumerate(CHORDS):
            root, ladder, triad = chord_tones(ch)
            last = i == len(CHORDS) - 1
            # arpeggio in eighths (the last bar rings out on one note)
            if last:
                arp.append(note(bar, ["pluck", "%.2f" % ladder[0]], .35, (0.003, 1.5)))
            else:
                for k in ARP:
                    arp.append(note(BEAT / 2, ["pluck", "%.2f" % ladder[k]], .32, (0.003, 0.05)))
            # bass: root on beats 1 and 3
            for _ in range(1 if last else 2):
                d = bar if last else 2 * BEAT
                bass.append(note(d, ["triangle", "%.2f" % (root / (2 if root > 120 else 1))], .55,
                                 (0.01, d * .5)))
            # soft pad on the triad
            n[0] += 1
            p = os.path.join(tmp, "n%04d.wav" % n[0])
            sox("-n", "-r", RATE, "-c", 1, p, "synth", "%.4f" % bar, "sine", "%.2f" % triad[0],
                *sum((["sine", "mix", "%.2f" % f] for f in triad[1:]), []),
                "fade", "h", 0.35, "%.4f" % bar, 0.5, "vol", .16)
            pad.append(p)
            # melody
            for nm, beats in MELODY[i]:
                d = beats * BEAT
                if nm == "-":
                    mel.append(rest(d))
                else:
                    mel.append(note(d, ["triangle", "%.2f" % freq(nm)], .30,
                                    (0.02, min(d * .6, 1.2 if last else .3)), ("tremolo", 5.5, 15)))
        tracks = []
        for name, parts in (("arp", arp), ("bass", bass), ("pad", pad), ("mel", mel)):
            t = os.path.join(tmp, name + ".wav")
            sox(*parts, t)
            tracks.append(t)
        wet = os.path.join(tmp, "wet.wav")
        sox("-m", "-v", 0.9, tracks[0], "-v", 0.8, tracks[1], "-v", 1.0, tracks[2], "-v", 1.1, tracks[3],
            "-b", 16, wet, "gain", -6, "pad", 0, 1.5, "reverb", 45, 50, 80)
        total = len(CHORDS) * bar + 1.5
        mix = os.path.join(tmp, "mix.wav")
        sox(wet, mix, "gain", "-n", -1.5, "fade", "t", 0.02, "%.3f" % total, 2.5)
        subprocess.run(["lame", "--quiet", "-b", str(KBPS), "--resample", "44.1",
                        "--tt", "Sonadesk demo", "--ta", "Sonadesk", mix, dest], check=True)
        print(dest, os.path.getsize(dest), "bytes")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
