#!/usr/bin/env python3
"""Checks the layering of the source tree against docs/ARCHITECTURE.md.

Reads the layer table from the architecture page, the targets from the
CMakeLists.txt files and the #include lines of every tracked C++ source, and
fails (exit 1, one line per fault) on:

  - an include of a project header from a folder the table puts in the same
    or a higher row;
  - a source folder the table does not name;
  - a Qt or X11 header reached, directly or through project headers, by a
    source of the core library qxcore;
  - a Qt header reached by a source of a target that does not use Qt (Qt
    targets link Qt6::..., qxui or qxtestui, directly or through one of our
    libraries), or included by a file that no Qt target reaches.

    scripts/check-layers.py [ROOT]
"""

import os
import re
import subprocess
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(__file__), ".."))
TABLE_PAGE = "docs/ARCHITECTURE.md"
SOURCE_SUFFIXES = (".h", ".cpp")
CORE_TARGET = "qxcore"
QT_LINKS = re.compile(r"^(Qt6::\w+|qxui|qxtestui)$")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
QT_HEADER = re.compile(r"^(Qt\w*/|Q[A-Za-z0-9_]*$)")
X11_HEADER = re.compile(r"^(X11/|xcb/|xkbcommon/)")


def read(path):
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
        return f.read()


def layer_table():
    """Folder -> row, from the first table whose header is | Row | Folders |."""
    rows = {}
    in_table = False
    for line in read(TABLE_PAGE).splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if not in_table:
            in_table = len(cells) == 2 and cells[0] == "Row" and cells[1] == "Folders"
            continue
        if set(line.strip()) <= set("|-: "):
            continue  # the separator line
        if len(cells) != 2 or not cells[0].isdigit():
            break
        for folder in re.split(r"[,\s]+", cells[1].replace("`", "").replace("/", "")):
            if folder:
                rows[folder] = int(cells[0])
    if not rows:
        sys.exit(f"check-layers: no '| Row | Folders |' table in {TABLE_PAGE}")
    return rows


def tracked_files():
    try:
        out = subprocess.run(["git", "ls-files"], cwd=ROOT, capture_output=True, text=True,
                             check=True).stdout
        return out.splitlines()
    except (OSError, subprocess.CalledProcessError):
        print("skipped: not a git checkout, so the tracked sources are unknown")
        sys.exit(77)


def cmake_commands(text):
    """(command, [arguments]) for every command of a CMake file."""
    text = re.sub(r"#[^\n]*", "", text)
    for match in re.finditer(r"\b(\w+)\s*\(((?:[^()]|\([^()]*\))*)\)", text):
        yield match.group(1).lower(), match.group(2).split()


def cmake_targets(files):
    """Target -> (sources, links), from every tracked CMakeLists.txt."""
    sources, links = {}, {}
    keywords = {"PRIVATE", "PUBLIC", "INTERFACE", "STATIC", "SHARED", "MODULE", "OBJECT"}
    for cmake in (f for f in files if os.path.basename(f) == "CMakeLists.txt"):
        folder = os.path.dirname(cmake)
        for command, args in cmake_commands(read(cmake)):
            if not args or "${" in args[0]:
                continue  # inside a function definition
            target, rest = args[0], args[1:]
            if command in ("add_library", "add_executable", "target_sources", "qx_add_program",
                           "qx_add_plugin", "qx_add_test", "qx_add_fuzzer"):
                mode, listed = "sources", []
                for arg in rest:
                    if arg in ("LIBS", "LABELS"):
                        mode = arg
                    elif mode == "LIBS":
                        links.setdefault(target, set()).add(arg)
                    elif mode == "sources" and arg not in keywords:
                        listed.append(arg)
                for source in listed:
                    if source.startswith("${CMAKE_SOURCE_DIR}/"):
                        source = source[len("${CMAKE_SOURCE_DIR}/"):]
                    else:
                        source = source.replace("${CMAKE_CURRENT_SOURCE_DIR}/", "")
                        source = os.path.normpath(os.path.join(folder, source))
                    if "${" not in source and "$<" not in source:
                        sources.setdefault(target, set()).add(source)
                links.setdefault(target, set())
                if command in ("qx_add_test", "qx_add_fuzzer"):
                    links[target].add(CORE_TARGET)
            elif command == "target_link_libraries":
                links.setdefault(target, set()).update(a for a in rest if a not in keywords)
    return sources, links


def uses_qt(target, links, seen=None):
    seen = seen or set()
    if target in seen:
        return False
    seen.add(target)
    return any(QT_LINKS.match(link) or (link in links and uses_qt(link, links, seen))
               for link in links.get(target, ()))


def main():
    rows = layer_table()
    files = tracked_files()
    sources = [f for f in files if f.endswith(SOURCE_SUFFIXES)]
    known = set(sources)
    faults = []

    # Every include of every source: project headers and system headers apart.
    quoted, project, system = {}, {}, {}
    for path in sources:
        quoted[path], project[path], system[path] = [], [], []
        for number, line in enumerate(read(path).splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            if kind == '"':
                quoted[path].append((name, number))
                if name in known:
                    project[path].append((name, number))
            elif kind == "<":
                system[path].append((name, number))

    # 1. Folders and the rows they may include from.
    for path in sources:
        folder = path.split("/")[0]
        if folder not in rows:
            faults.append(f"{path}: folder {folder}/ is not in the layer table of {TABLE_PAGE}")
            continue
        for name, number in quoted[path]:
            target = name.split("/")[0]
            if "/" in name and target != folder and rows.get(target, 99) >= rows[folder]:
                faults.append(f"{path}:{number}: includes {name}: {folder}/ is in row "
                              f"{rows[folder]}, {target}/ in row {rows.get(target, '?')}; a folder "
                              "may include only from its own folder and from lower rows")

    # 2. What each file reaches through project headers, with the way there.
    def reached(start):
        way = {start: None}
        todo = [start]
        while todo:
            current = todo.pop()
            for name, _ in project.get(current, ()):
                if name not in way:
                    way[name] = current
                    todo.append(name)
        return way

    def chain(way, end):
        steps = [end]
        while way[steps[-1]] is not None:
            steps.append(way[steps[-1]])
        return " <- ".join(steps)

    targets, links = cmake_targets(files)
    qt_targets = {t for t in links if uses_qt(t, links)}
    reached_by_qt = set()
    reported = set()  # one chain per header, line and target is enough
    for target, listed in sorted(targets.items()):
        is_qt = target in qt_targets
        for source in sorted(s for s in listed if s in known):
            way = reached(source)
            if is_qt:
                reached_by_qt.update(way)
                continue
            for path in sorted(way):
                for name, number in system[path]:
                    if (path, number, target) in reported:
                        continue
                    if QT_HEADER.match(name) or (target == CORE_TARGET and X11_HEADER.match(name)):
                        reported.add((path, number, target))
                    if target == CORE_TARGET and (QT_HEADER.match(name) or X11_HEADER.match(name)):
                        faults.append(f"{path}:{number}: <{name}> reaches the core ({CORE_TARGET}, "
                                      f"which stays free of Qt and X11): {chain(way, path)}")
                    elif QT_HEADER.match(name):
                        faults.append(f"{path}:{number}: <{name}> reaches {target}, which does not "
                                      f"use Qt: {chain(way, path)}")

    # 3. Qt only where a Qt target builds it.
    for path in sources:
        if path in reached_by_qt:
            continue
        for name, number in system[path]:
            if QT_HEADER.match(name):
                faults.append(f"{path}:{number}: <{name}> in a file that no Qt target builds "
                              "(the UI library qxui, or a target linking Qt, qxui or qxtestui)")

    for fault in sorted(set(faults)):
        print(fault)
    if faults:
        return 1
    print(f"{len(sources)} sources in {len(rows)} folders keep to the layers of {TABLE_PAGE}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
