#!/usr/bin/env python3
"""Fails when a file of src/ includes a header of a layer its own layer does not build on.

A layer is a folder of src/ with a CMakeLists.txt that calls drawertest_layer(NAME DEPENDS ...);
what a layer may include is itself and, through its DEPENDS, every layer below it.
Usage: check_layers.py SRC_DIR
"""
import pathlib
import re
import sys

LAYER_CALL = re.compile(r"drawertest_layer\(\s*(\w+)(.*?)\)", re.S)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/', re.M)


def layers_of(src):
    depends = {}
    for cmake in src.glob("*/CMakeLists.txt"):
        for name, arguments in LAYER_CALL.findall(cmake.read_text()):
            words = arguments.split()
            below = words[words.index("DEPENDS") + 1:] if "DEPENDS" in words else []
            below = below[:below.index("SOURCES")] if "SOURCES" in below else below
            depends[name] = below
    return depends


def reachable(layer, depends):
    seen, todo = {layer}, [layer]
    while todo:
        for below in depends.get(todo.pop(), []):
            if below not in seen:
                seen.add(below)
                todo.append(below)
    return seen


def main():
    src = pathlib.Path(sys.argv[1])
    depends = layers_of(src)
    if not depends:
        print(f"no layers found in {src}")
        return 2
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        layer = path.relative_to(src).parts[0]
        if layer not in depends:
            continue
        allowed = reachable(layer, depends)
        for folder in INCLUDE.findall(path.read_text(errors="replace")):
            if folder in depends and folder not in allowed:
                faults.append(f"{path.relative_to(src)}: {layer} includes {folder}/, "
                              f"a layer it does not build on")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
