#!/usr/bin/env python3
"""Fails when a file under src/ includes a room it may not, or rooms include
each other in a cycle. A room is a folder of src/; see docs/design.md, Layout."""
import re
import sys
from pathlib import Path

ALLOWED = {
    "app": {"shell", "desktop", "views", "playback", "catalog", "network", "focus"},
    "shell": {"playback", "catalog"},
    "desktop": {"playback", "catalog"},
    "views": {"playback", "catalog", "network", "focus"},
    "playback": {"catalog", "network"},
    "network": set(),
    "catalog": set(),
    "focus": set(),
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main(src):
    rooms = {r: src / r for r in ALLOWED if (src / r).is_dir()}
    owner = {}  # bare file name -> rooms that hold it
    for room, folder in rooms.items():
        for f in folder.rglob("*"):
            owner.setdefault(f.name, set()).add(room)
    errors, edges = [], {}
    for room, folder in rooms.items():
        for f in sorted(folder.rglob("*")):
            if f.suffix not in (".h", ".cpp"):
                continue
            for name in INCLUDE.findall(f.read_text(errors="replace")):
                head = name.split("/")[0]
                if "/" in name and head in rooms:
                    targets = {head}
                elif (f.parent / name).exists():
                    targets = {room}
                else:
                    targets = owner.get(Path(name).name, set())
                for target in targets - {room}:
                    edges.setdefault(room, set()).add(target)
                    if target not in ALLOWED[room]:
                        errors.append(f"{f.relative_to(src)}: {room} may not include {target} ({name})")

    def cycle(node, path):
        if node in path:
            return path[path.index(node):] + [node]
        for nxt in sorted(edges.get(node, ())):
            found = cycle(nxt, path + [node])
            if found:
                return found
        return None

    for room in sorted(edges):
        found = cycle(room, [])
        if found:
            errors.append("rooms include each other: " + " -> ".join(found))
            break
    print("\n".join(errors) or f"includes keep to the rooms' rules ({len(rooms)} rooms)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "src")))
