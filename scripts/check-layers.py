#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder above its own.

The folders are layers, lowest first: platform/, store/, controls/, items/ and dialogs/ (side by
side: neither includes the other), notes/, app/. A file may include headers of its own folder, of
the folders below it and res/ (the resource ids every layer names). Prints each upward include and
a last line "N upward includes"; exits 1 when there is any.
"""
import os
import re
import sys

LAYERS = {"platform": 0, "store": 1, "controls": 2, "items": 3, "dialogs": 3, "notes": 4, "app": 5}
SHARED = {"res"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def upward_includes(root):
    found = []
    for folder, rank in sorted(LAYERS.items()):
        base = os.path.join(root, folder)
        for dirpath, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for m in INCLUDE.finditer(text):
                    target = m.group(1)
                    if target == folder or target in SHARED:
                        continue
                    if target in LAYERS and LAYERS[target] < rank:
                        continue
                    line = text.count("\n", 0, m.start()) + 1
                    found.append("%s:%d: includes %s" % (os.path.relpath(path, root), line, m.group(0).strip()))
    return found


def self_check():
    """The check itself must see an upward include and let the allowed ones pass."""
    import tempfile
    cases = {
        "controls/A.cpp": '#include "app/DeskIds.h"\n',         # upward
        "items/B.cpp": '#include "dialogs/CDlgAbout.h"\n',     # sideways
        "notes/C.cpp": '#include "items/DeskItem.h"\n#include "res/resource.h"\n#include "notes/C.h"\n',
        "store/D.h": '#  include "platform/Gdi.h"\n',
    }
    with tempfile.TemporaryDirectory() as tmp:
        for rel, text in cases.items():
            os.makedirs(os.path.join(tmp, os.path.dirname(rel)), exist_ok=True)
            with open(os.path.join(tmp, rel), "w") as f:
                f.write(text)
        found = sorted(line.split(":")[0] for line in upward_includes(tmp))
    return found == ["controls/A.cpp", "items/B.cpp"]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if not self_check():
        print("the layering check does not see upward includes")
        return 1
    found = upward_includes(root)
    for line in found:
        print(line)
    print("%d upward includes" % len(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
