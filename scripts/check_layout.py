#!/usr/bin/env python3
"""Checks the layout rules of src/ and prints every offender; exits 1 if any.

- No file in src/ over 400 lines. Every line counts, blank and comment lines
  too, and a last line without a line end.
- No include circle among the modules of src/ui, a module being a .h with
  its .cpp: a.h or a.cpp including ui/b.h is an arrow from a to b.
- Every #include "folder/..." points down: model at the bottom, textio and
  capture on it, project on textio, source on project, the GIS library (geo)
  on the core, its program (geo_tool) on geo, the window (ui) on the core,
  never on geo, and app on ui. GDAL's headers belong to geo alone, Qt's to ui
  and app.

  scripts/check_layout.py [src folder]   (default: the src/ of this checkout)
  scripts/check_layout.py --selftest     (the checker tried on a small made-up tree)
"""

import re
import sys
import tempfile
from pathlib import Path

MAX_LINES = 400
CIRCLE_FOLDERS = ["ui"]
CORE = {"model", "textio", "capture", "project", "source"}
# The folders each folder may include besides its own.
MAY_INCLUDE = {
    "model": set(),
    "textio": {"model"},
    "capture": {"model"},
    "project": {"model", "textio"},
    "source": {"model", "textio", "project"},
    "geo": CORE,
    "geo_tool": CORE | {"geo"},
    "ui": CORE,
    "app": CORE | {"ui"},
}
# Headers of outside libraries, and the folders that may include them.
OUTSIDE = [
    ("GDAL", re.compile(r"(gdal|ogr|cpl_|proj|geos)\w*\.h$"), {"geo"}),
    ("Qt", re.compile(r"Q\w*(/|$)"), {"ui", "app"}),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def line_count(path):
    data = path.read_bytes()
    return data.count(b"\n") + (1 if data and not data.endswith(b"\n") else 0)


def includes(path):
    """(line number, quoted?, header) for each #include of a file."""
    found = []
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        match = INCLUDE.match(line)
        if match:
            found.append((number, match.group(1) == '"', match.group(2)))
    return found


def long_files(src):
    return [(f"{path.relative_to(src.parent)}: {count} lines, more than {MAX_LINES}", path.name)
            for path in sorted(src.rglob("*")) if path.is_file()
            for count in [line_count(path)] if count > MAX_LINES]


def arrows(src):
    """Includes that point up or sideways, or at an outside library the folder may not use."""
    found = []
    for path in sorted(src.rglob("*")):
        if not path.is_file() or path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in MAY_INCLUDE:
            found.append((f"{path.relative_to(src.parent)}: folder {folder} has no place in "
                          "the layout", folder))
            continue
        where = f"{path.relative_to(src.parent)}"
        for number, quoted, header in includes(path):
            target = header.split("/")[0] if quoted and "/" in header else None
            if target and target != folder and (src / target).is_dir() \
                    and target not in MAY_INCLUDE[folder]:
                allowed = ", ".join(sorted(MAY_INCLUDE[folder])) or "no other folder"
                found.append((f"{where}:{number}: includes {header}; {folder} may include "
                              f"{allowed}", f"{folder}->{target}"))
            for library, pattern, users in OUTSIDE:
                if not quoted and pattern.match(header) and folder not in users:
                    found.append((f"{where}:{number}: includes {library}'s {header}; only "
                                  f"{', '.join(sorted(users))} may", f"{folder}->{library}"))
    return found


def circles(folder):
    """Each group of modules of the folder that reach one another, with one circle through it."""
    arrows_from = {}
    for path in sorted(folder.iterdir()):
        if path.suffix not in (".h", ".cpp"):
            continue
        targets = arrows_from.setdefault(path.stem, set())
        for _, quoted, header in includes(path):
            parts = header.split("/")
            inside = (len(parts) == 2 and parts[0] == folder.name) or len(parts) == 1
            if quoted and inside and parts[-1].endswith(".h") and parts[-1][:-2] != path.stem \
                    and (folder / parts[-1]).is_file():
                targets.add(parts[-1][:-2])

    def reach(start):
        seen, todo = {start}, [start]
        while todo:
            for nxt in arrows_from.get(todo.pop(), ()):
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        return seen

    reached = {module: reach(module) for module in arrows_from}
    found, done = [], set()
    for module in sorted(arrows_from):
        group = sorted(m for m in reached[module] if module in reached[m])
        if len(group) < 2 or module in done:
            continue
        done.update(group)
        way = " -> ".join(circle(module, group, arrows_from))
        found.append((f"{folder.name}: include circle {way}", tuple(group)))
    return found


def circle(start, group, arrows_from):
    """The shortest way from start back to itself inside the group."""
    paths, seen = [[start]], set()
    while paths:
        path = paths.pop(0)
        for nxt in sorted(arrows_from[path[-1]] & set(group)):
            if nxt == start:
                return path + [start]
            if nxt not in seen:
                seen.add(nxt)
                paths.append(path + [nxt])
    return [start]


def check(src):
    found = long_files(src) + arrows(src)
    for name in CIRCLE_FOLDERS:
        if (src / name).is_dir():
            found += circles(src / name)
    return found


def selftest():
    """A made-up tree with one fault of each kind beside sound files; exits 1 on a miss."""
    files = {
        "model/exact.cpp": "x\n" * MAX_LINES,
        "model/long.h": "x\n" * MAX_LINES + "no line end",
        "textio/down.cpp": '#include "model/exact.h"\n#include <vector>\n',
        "source/down.cpp": '#include "model/a.h"\n#include "project/b.h"\n#include "textio/c.h"\n',
        "source/up.cpp": '#include "ui/one.h"\n',
        "capture/sideways.cpp": '  #  include "textio/x.h"\n',
        "project/qt.cpp": "#include <QString>\n",
        "ui/gdal.cpp": "#include <ogrsf_frmts.h>\n#include <QWidget>\n",
        "ui/geo.cpp": '#include "geo/imagery.h"\n',
        "geo/fine.cpp": '#include "source/a.h"\n#include <gdal.h>\n',
        "plugins/new.cpp": "",
        "ui/one.h": '#include "ui/two.h"\n#include "model/a.h"\n',
        "ui/two.cpp": '#include "ui/two.h"\n#include "ui/three.h"\n',
        "ui/two.h": "",
        "ui/three.h": "",
        "ui/three.cpp": '#include "ui/three.h"\n#include "one.h"\n',
        "ui/pair_a.h": '#include "ui/pair_b.h"\n',
        "ui/pair_b.cpp": '#include "ui/pair_a.h"\n',
        "ui/pair_b.h": "",
        "ui/leaf.cpp": '#include "ui/one.h"\n#include "ui/missing.h"\n',
    }
    expected = {"long.h", "source->ui", "capture->textio", "project->Qt", "ui->GDAL", "ui->geo",
                "plugins", ("one", "three", "two"), ("pair_a", "pair_b")}
    with tempfile.TemporaryDirectory() as root:
        src = Path(root) / "src"
        for name, text in files.items():
            (src / name).parent.mkdir(parents=True, exist_ok=True)
            (src / name).write_text(text)
        found = check(src)
    keys = {key for _, key in found}
    for text, _ in found:
        print(text)
    if keys != expected or len(found) != len(expected):
        print(f"selftest: missed {sorted(map(str, expected - keys))}, "
              f"wrongly found {sorted(map(str, keys - expected))}", file=sys.stderr)
        return 1
    print(f"selftest: all {len(expected)} planted faults found, nothing else")
    return 0


def main(args):
    if args == ["--selftest"]:
        return selftest()
    src = Path(args[0]) if args else Path(__file__).resolve().parent.parent / "src"
    found = check(src)
    for text, _ in found:
        print(text)
    if found:
        return 1
    print(f"layout: every file in {src} within {MAX_LINES} lines, no include circle in "
          f"{', '.join(CIRCLE_FOLDERS)}, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
