#!/usr/bin/env python3
"""Counts the x87 floating-point instructions in a built Sonadesk.exe, split into the program's own
code and the rest (the C and C++ runtime, libgcc, libssp, GoogleTest never ships).

    scripts/count-x87.py <exe> <build folder of the same exe>

The exe keeps its COFF symbol table, so its disassembly names every function. A function is the
program's own when one of the program's objects (the build folder's layer libraries and the
exe's own objects) defines it. Its x87 instructions are sorted into
  - arithmetic: everything that computes, compares or converts (fadd, fmul, fcomi, fild, fistp, ...):
    rounded to the unit's 80-bit precision, so results can differ from the SSE2 build's;
  - moves: fld/fstp of a float or double and fxch. The 32-bit calling convention returns a float
    in st(0), also from code computed with SSE2; loading a float and storing it back is exact.
Prints one line per count and, with --list, every own function that still has x87 arithmetic.
"""
import glob
import os
import re
import subprocess
import sys
from collections import Counter

# Instructions that only move a value or manage the unit; everything else computes.
MOVES = {"fld", "fst", "fstp", "fxch", "ffree", "ffreep", "fldcw", "fnstcw", "fstcw", "fnstsw", "fstsw",
         "fwait", "fninit", "finit", "fnclex", "fclex", "fincstp", "fdecstp", "fnop", "fldenv", "fnstenv",
         "fstenv", "frstor", "fnsave", "fsave", "fxsave", "fxrstor", "fldz", "fld1"}
X87 = re.compile(r"^f(?:ld|st|stp|ild|ist|istp|isttp|bld|bstp|add|addp|iadd|sub|subp|subr|subrp|isub|isubr|"
                 r"mul|mulp|imul|div|divp|divr|divrp|idiv|idivr|chs|abs|sqrt|rndint|scale|prem|prem1|xtract|"
                 r"com|comp|compp|comi|comip|ucom|ucomp|ucompp|ucomi|ucomip|icom|icomp|tst|xam|xch|ldz|ld1|"
                 r"ldpi|ldl2e|ldl2t|ldlg2|ldln2|ldcw|nstcw|stcw|nstsw|stsw|nclex|clex|ninit|init|free|freep|"
                 r"incstp|decstp|nop|sin|cos|sincos|ptan|patan|2xm1|yl2x|yl2xp1|cmov[a-z]+|ldenv|nstenv|"
                 r"stenv|rstor|nsave|save|wait|xsave|xrstor)$")


def objdump_tool(exe):
    for name in ("i686-w64-mingw32-objdump", "x86_64-w64-mingw32-objdump", "objdump"):
        try:
            subprocess.run([name, "--version"], stdout=subprocess.DEVNULL, check=True)
            return name
        except (OSError, subprocess.CalledProcessError):
            continue
    raise SystemExit("count-x87: no objdump")


def own_symbols(build, tool):
    """Every function name defined by the program's own objects in `build`."""
    nm = tool.replace("objdump", "nm")
    files = glob.glob(os.path.join(build, "libsona_*.a"))
    files += glob.glob(os.path.join(build, "CMakeFiles", "Sonadesk.dir", "**", "*.obj"), recursive=True)
    if not files:
        raise SystemExit("count-x87: no objects of the program in " + build)
    out = subprocess.run([nm, "--defined-only", "-P"] + files, stdout=subprocess.PIPE, text=True,
                         stderr=subprocess.DEVNULL).stdout
    names = set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 2 and parts[1] in "TtWw":
            names.add(parts[0])
    return names


def count(exe, build, listing=False):
    tool = objdump_tool(exe)
    own = own_symbols(build, tool)
    dis = subprocess.run([tool, "-d", "-M", "intel", "--no-show-raw-insn", exe], stdout=subprocess.PIPE,
                         text=True, check=True).stdout
    counts = Counter()
    where = Counter()
    function = None
    for line in dis.splitlines():
        m = re.match(r"^[0-9a-f]+ <(.+)>:$", line)
        if m:
            function = m.group(1)
            continue
        m = re.match(r"^\s+[0-9a-f]+:\s+([a-z0-9]+)", line)
        if not m or not X87.match(m.group(1)):
            continue
        kind = "moves" if m.group(1) in MOVES else "arithmetic"
        side = "own" if function in own else "runtime"
        counts[side, kind] += 1
        if side == "own" and kind == "arithmetic":
            where[function] += 1
    return counts, where


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 2:
        raise SystemExit(__doc__)
    counts, where = count(args[0], args[1])
    for side in ("own", "runtime"):
        for kind in ("arithmetic", "moves"):
            print("%s %s %d" % (side, kind, counts[side, kind]))
    if "--list" in sys.argv:
        for f, n in where.most_common():
            print("  %5d %s" % (n, f))


if __name__ == "__main__":
    main()
