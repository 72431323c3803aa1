#!/usr/bin/env python3
"""The house rules that a compiler does not check on its own, read from the tree:

- includes run one way: a file includes only its own layer, the layers below it (LOOM_LAYERS in
  cmake/Layers.cmake, lowest first; a layer is a folder or a sub-folder) and resources/;
- no folder holds more than 40 source files directly;
- no procedure is installed by a static initialiser (a file-scope `const bool g_... = ...` that
  runs while the module loads): the wiring step (host/wiring) installs them;
- the layer headers hold no more function-pointer slots and virtual functions than the
  ceiling below, which only ever falls, towards the aim of 150.

Prints each breach and exits 1 when there is one. The build refuses an upward include too (each
layer compiles against a view of the layers below it); this check names them all at once.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAX_FILES_PER_FOLDER = 40
# Function-pointer slots and virtual functions in the layer headers: the aim, and today's
# ceiling (lower it whenever upward calls go away; never raise it).
SLOT_AIM = 150
SLOT_CEILING = 141
SOURCE = (".cpp", ".h")


def read_layers():
    text = open(os.path.join(ROOT, "cmake", "Layers.cmake")).read()
    match = re.search(r"set\(LOOM_LAYERS\s+([^)]*)\)", text)
    return match.group(1).split()


def layer_of(path, layers):
    best = None
    for layer in layers:
        if path.startswith(layer + "/") and (best is None or len(layer) > len(best)):
            best = layer
    return best


def layer_files(layers):
    tops = sorted({layer.split("/")[0] for layer in layers})
    for top in tops:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if name.endswith(SOURCE):
                    yield os.path.relpath(os.path.join(folder, name), ROOT)


def check_includes(layers, files, breaches):
    order = {layer: i for i, layer in enumerate(layers)}
    include = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
    for path in files:
        own = layer_of(path, layers)
        if own is None:
            continue
        for target in include.findall(open(os.path.join(ROOT, path), errors="replace").read()):
            if target.startswith("resources/"):
                continue
            other = layer_of(target, layers)
            if other is None:
                continue
            if order[other] > order[own]:
                breaches.append(f"{path}: includes {target}, of {other}, above its layer {own}")


def check_folder_sizes(breaches):
    for top in sorted(os.listdir(ROOT)):
        if top.startswith(".") or top == "build" or not os.path.isdir(os.path.join(ROOT, top)):
            continue
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            count = sum(1 for name in names if name.endswith(SOURCE))
            if count > MAX_FILES_PER_FOLDER:
                breaches.append(f"{os.path.relpath(folder, ROOT)}: {count} source files (at most {MAX_FILES_PER_FOLDER})")


def check_static_installers(files, breaches):
    installer = re.compile(r"^(?:\[\[maybe_unused\]\]\s*)?(?:static\s+)?const\s+bool\s+g_\w+\s*=", re.M)
    for path in files:
        if path.endswith(".cpp") and installer.search(open(os.path.join(ROOT, path), errors="replace").read()):
            breaches.append(f"{path}: installs procedures from a static initialiser")


# The media element classes are a hierarchy with virtual operations by design (as the object
# layer kinds are a table of procedures): their virtual functions are counted apart, and the
# ceiling holds for everything else.
MEDIA_CLASS_FOLDER = "media/"


def is_media_class_virtual(path, line):
    return path.startswith(MEDIA_CLASS_FOLDER) and re.search(r"\bvirtual\b", line.split("//", 1)[0])


def count_slots(files):
    """A slot is a named function pointer declared as a member or variable, or a virtual
    function; a function-pointer parameter and the word in a comment are neither."""
    slot = re.compile(r"\(\s*\*\s*[A-Za-z_]\w*\s*\)\s*\(|\bvirtual\b")

    def is_slot(line):
        code = line.split("//", 1)[0]
        m = slot.search(code)
        if not m:
            return False
        before = code[: m.start()]
        return before.count("(") == before.count(")")  # not inside a parameter list

    counts, media_virtuals = {}, 0
    for path in files:
        if path.endswith(".h") and "/dll/" not in path:
            lines = [line for line in open(os.path.join(ROOT, path), errors="replace") if is_slot(line)]
            media = sum(1 for line in lines if is_media_class_virtual(path, line))
            media_virtuals += media
            if len(lines) - media:
                counts[path] = len(lines) - media
    return counts, media_virtuals


def main():
    layers = read_layers()
    files = sorted(layer_files(layers))
    breaches = []
    check_includes(layers, files, breaches)
    check_folder_sizes(breaches)
    check_static_installers(files, breaches)
    slots, media_virtuals = count_slots(files)
    total = sum(slots.values())
    worst = ", ".join(f"{p} {n}" for p, n in sorted(slots.items(), key=lambda kv: -kv[1])[:8])
    if total > SLOT_CEILING:
        breaches.append(f"layer headers hold {total} function-pointer slots and virtual functions "
                        f"(at most {SLOT_CEILING}, aiming at {SLOT_AIM}); the most: {worst}")
    for breach in breaches:
        print(breach)
    print(f"house rules: {len(files)} files in {len(layers)} layers, {total} slots "
          f"(ceiling {SLOT_CEILING}, aim {SLOT_AIM}; the most: {worst}), "
          f"{media_virtuals} virtual functions of the media element classes, {len(breaches)} breaches")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
