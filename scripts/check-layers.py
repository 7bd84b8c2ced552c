#!/usr/bin/env python3
"""Checks the layering of the sources: a file may include headers of its own folder or of a
lower layer, never of its own layer's other folders or of a layer above. So no folder includes
a folder that includes it back. Tests and fuzz targets may reach further and are not checked.

Usage: check-layers.py SOURCE_DIR   (exit 1 and one line per offending include)
"""
import pathlib
import re
import sys

# Bottom up. Folders of one layer never include each other.
LAYERS = [
    ["portmap", "gps", "navlet"],
    ["app/domain"],
    ["app/survey"],
    ["app/map", "app/archive"],
    ["app/ui"],
    ["app/commands"],
    ["app/live", "app/receiver", "app/tools", "app/script"],
    ["app/window"],
    ["app"],   # the composition root
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
# How each folder's headers are named in an #include.
PREFIX = {"domain/": "app/domain", "survey/": "app/survey", "archive/": "app/archive", "map/": "app/map", "ui/": "app/ui",
          "commands/": "app/commands", "live/": "app/live", "receiver/": "app/receiver",
          "tools/": "app/tools", "script/": "app/script", "window/": "app/window", "navlet/": "navlet"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path: pathlib.Path, root: pathlib.Path) -> str | None:
    rel = path.relative_to(root).as_posix()
    best = None
    for folder in RANK:
        if rel.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def target_of(include: str, own: str) -> str | None:
    for prefix, folder in PREFIX.items():
        if include.startswith(prefix):
            return folder
    if include.startswith("Program.h"):
        return "app"
    return None   # a header of the file's own folder, a library header, or a system header


def main() -> int:
    root = pathlib.Path(sys.argv[1]).resolve()
    bad = []
    for path in sorted(root.glob("**/*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(root).parts[0]:
            continue
        parts = path.relative_to(root).parts
        if "tests" in parts or "fuzz" in parts or parts[0] in ("tools", "bench", "testing", "examples"):
            continue
        own = folder_of(path, root)
        if own is None:
            continue
        for include in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            target = target_of(include, own)
            if target is None or target == own:
                continue
            if RANK[target] >= RANK[own]:
                bad.append(f"{path.relative_to(root)}: includes {include} ({target} is not below {own})")
    for line in bad:
        print(line)
    print(f"layers: {len(bad)} includes against the layering")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
