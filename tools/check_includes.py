#!/usr/bin/python3
"""Checks that includes run down the library graph.

Every folder is built into libraries, and the libraries link one way
(target_link_libraries in the CMake files is the one place that says which
library sits on which). A file may include its own library's headers and
those of the libraries its library links, directly or through others; an
include of any other library's header runs up or sideways and fails here.
A generated window header (ui_*.h) is included from .cpp files only, so that
a window's controls stay out of the headers its users see.

The targets, their files, include paths and links are read from CMake's
file API in a configured build folder:

    tools/check_includes.py BUILD_DIR [SOURCE_DIR]

SOURCE_DIR, when given, is read instead of the tree the build was configured
from (same layout), which lets a copy be checked against the same graph.
"""

import json
import re
import subprocess
import sys
from pathlib import Path

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
BUILT_TYPES = {"STATIC_LIBRARY", "SHARED_LIBRARY", "MODULE_LIBRARY", "OBJECT_LIBRARY", "EXECUTABLE"}


def read_codemodel(build_dir):
    reply = build_dir / ".cmake/api/v1/reply"
    indexes = sorted(reply.glob("index-*.json"))
    if not indexes:
        # The query is written while the build folder is first configured,
        # after CMake has looked for queries: configuring again answers it.
        subprocess.run(["cmake", str(build_dir)], check=True, stdout=subprocess.DEVNULL)
        indexes = sorted(reply.glob("index-*.json"))
    index = json.loads(indexes[-1].read_text())
    codemodel_file = index["reply"]["codemodel-v2"]["jsonFile"]
    codemodel = json.loads((reply / codemodel_file).read_text())
    configuration = codemodel["configurations"][0]
    source_root = Path(codemodel["paths"]["source"]).resolve()
    targets = {}
    for entry in configuration["targets"]:
        target = json.loads((reply / entry["jsonFile"]).read_text())
        targets[target["id"]] = target
    return source_root, targets


class Library:
    def __init__(self, target, source_root):
        self.name = target["name"]
        self.dependencies = [d["id"] for d in target.get("dependencies", [])]
        self.files = [(source_root / s["path"]).resolve() for s in target.get("sources", []) if not s.get("isGenerated")]
        self.include_dirs = []
        for group in target.get("compileGroups", []):
            for include in group.get("includes", []):
                path = Path(include["path"])
                if path not in self.include_dirs:
                    self.include_dirs.append(path)
        # The window headers uic makes from the .ui files this target lists.
        self.generated = {f"ui_{f.stem}.h" for f in self.files if f.suffix == ".ui"}


def link_closures(libraries):
    """Each target's id -> the ids of everything it links, directly or not."""
    closures = {}

    def closure(target_id, trail):
        if target_id in closures:
            return closures[target_id]
        if target_id in trail:
            names = " -> ".join(libraries[t].name for t in trail + [target_id] if t in libraries)
            raise SystemExit(f"the libraries link in a circle: {names}")
        found = set()
        for dependency in libraries[target_id].dependencies:
            if dependency in libraries:
                found.add(dependency)
                found |= closure(dependency, trail + [target_id])
        closures[target_id] = found
        return found

    for target_id in libraries:
        closure(target_id, [])
    return closures


def problems(build_dir, source_dir=None):
    source_root, targets = read_codemodel(build_dir)
    libraries = {tid: Library(t, source_root) for tid, t in targets.items() if t["type"] in BUILT_TYPES}
    closures = link_closures(libraries)

    owner = {}
    generated_owner = {}
    for tid, library in libraries.items():
        for path in library.files:
            owner.setdefault(path, tid)
        for name in library.generated:
            generated_owner[name] = tid

    # Where a header outside a target's own include paths would be found:
    # including it compiles only while some user's paths happen to hold it.
    everywhere = []
    for library in libraries.values():
        everywhere += [d for d in library.include_dirs if d not in everywhere and is_project_folder(d, source_root, build_dir)]

    read_root = Path(source_dir) if source_dir else source_root
    found = []
    for tid, library in sorted(libraries.items(), key=lambda item: item[1].name):
        for path in library.files:
            if path.suffix not in (".h", ".cpp"):
                continue
            relative = path.relative_to(source_root)
            text = (read_root / relative).read_text(encoding="utf-8")
            for name in INCLUDE.findall(text):
                where = f"{relative}: \"{name}\""
                if name in generated_owner:
                    header_owner = generated_owner[name]
                    if path.suffix == ".h":
                        found.append(f"{where}: a window's generated header belongs in its .cpp only")
                else:
                    header = resolve(name, path, library.include_dirs) or resolve(name, path, everywhere)
                    if header is None or header.is_relative_to(build_dir):
                        continue  # a system header, quoted, or one moc made for this very file
                    header_owner = owner.get(header)
                    if header_owner is None:
                        found.append(f"{where}: {header.relative_to(source_root)} is in no library")
                        continue
                if header_owner != tid and header_owner not in closures[tid]:
                    found.append(f"{where}: {library.name} includes a header of {libraries[header_owner].name}, "
                                 f"which it does not link (an include up or across the library graph)")
    return found


def resolve(name, including_file, include_dirs):
    for folder in [including_file.parent] + include_dirs:
        candidate = folder / name
        if candidate.is_file():
            return candidate.resolve()
    return None


def is_project_folder(folder, source_root, build_dir):
    return folder.is_relative_to(source_root) or folder.is_relative_to(build_dir)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    found = problems(Path(sys.argv[1]).resolve(), sys.argv[2] if len(sys.argv) == 3 else None)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
