#!/usr/bin/env python3
"""The house rules that a compiler does not check on its own, read from the tree:

- includes run one way: a file includes only its own layer, the layers below it (LOOM_LAYERS in
  cmake/Layers.cmake, lowest first; a layer is a folder or a sub-folder) and resources/;
- no folder holds more than 40 source files directly;
- no procedure is installed by a static initialiser (a file-scope `const bool g_... = ...` that
  runs while the module loads): the wiring step (host/wiring) installs them;
- the layer headers hold no more procedure slots than the ceiling below, which only ever falls,
  towards the aim of 150. A slot is a named function pointer declared as a member or variable, a
  virtual function, or a single-procedure setter: a function of a layer header named Set...,
  Push... or Install... whose one parameter is a procedure, either of a `using X = R(*)(...)` hook
  type of the layer headers or written out as `R (*name)(...)` (a hook type passed per call, such
  as a visitor, is no slot);
- each header that declares such a setter names its filler in its comments: the host/wiring file
  that installs the procedure, or, when host/wiring installs none, says so and names the tests/
  file that does (or the code that installs it at run time);
- no constant is defined twice across the layer folders: a `constexpr` or `const` definition with
  an initializer at namespace scope (the line starts the declaration; class members and locals
  inside functions are indented and do not count), every name of a comma list, and the
  enumerators of a plain (unscoped) namespace-scope enum, in .h and .cpp files alike. Stack record
  offsets, action bits and resource types live in stack/format/StackFile.h, tool numbers in
  core/ui/ToolNumbers.h, and a shared constant in the lowest header that owns it;
- a record setting whose values have names is never written as a bare number: the 'Sprt'
  header's template, end condition, timings, frame and path steps, path source and layer kind
  (stack/format/StackFile.h), an action record's timer mode, the actions dialog's result
  (actions/ActionsDialog.h) and the plain move between cards (kPlainTransition, kPlainEffect,
  kPlainSpeed);
- no comment of a source file names a path that does not exist: a path beginning with a folder
  of the tree (`dir/File.h`, `dir/sub/`, `tests/fuzz/x_fuzz.cpp`) must be found from the tree's
  root or from the file's folder or one above it.

Prints each breach and exits 1 when there is one. The build refuses an upward include too (each
layer compiles against a view of the layers below it); this check names them all at once.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAX_FILES_PER_FOLDER = 40
# Procedure slots in the layer headers (function-pointer members, virtual functions and
# single-procedure setters): the aim, and today's ceiling (lower it whenever upward calls go
# away; never raise it).
SLOT_AIM = 150
SLOT_CEILING = 157
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


HOOK_TYPE = re.compile(r"^\s*using\s+(\w+)\s*=[^;]*\(\s*\*\s*\)\s*\(", re.M)
SETTER = re.compile(r"^[A-Za-z_][\w:<>*& ]*?\b((?:Set|Push|Install)\w*)\s*\(([^;{]*)\)\s*(?:;|\{)", re.M)
INLINE_PROCEDURE = re.compile(r"\(\s*\*\s*\w*\s*\)\s*\(")


def code_of(path):
    """The file without its comments."""
    text = open(os.path.join(ROOT, path), errors="replace").read()
    return re.sub(r"/\*.*?\*/", "", re.sub(r"//[^\n]*", "", text), flags=re.S)


def top_level_split(text):
    parts, depth, current = [], 0, ""
    for c in text:
        depth += c in "([{<"
        depth -= c in ")]}>"
        if c == "," and depth == 0:
            parts.append(current)
            current = ""
        else:
            current += c
    return parts + [current]


def layer_headers(files):
    return [path for path in files if path.endswith(".h") and "/dll/" not in path]


def find_setters(files):
    """The single-procedure setters of the layer headers, as (header, name)."""
    headers = layer_headers(files)
    hooks = {name for path in headers for name in HOOK_TYPE.findall(code_of(path))}
    setters = []
    for path in headers:
        for name, params in SETTER.findall(code_of(path)):
            parts = [p.strip() for p in top_level_split(params) if p.strip()]
            if len(parts) != 1:
                continue
            words = re.findall(r"[A-Za-z_]\w*", parts[0])
            if INLINE_PROCEDURE.search(parts[0]) or any(word in hooks for word in words[:2]):
                setters.append((path, name))
    return setters


def check_setter_fillers(setters, breaches):
    for path in sorted({path for path, _ in setters}):
        text = open(os.path.join(ROOT, path), errors="replace").read()
        comments = " ".join(re.findall(r"//([^\n]*)", text))
        if "host/wiring" not in comments:
            names = ", ".join(name for p, name in setters if p == path)
            breaches.append(f"{path}: declares {names} but does not name its filler (host/wiring, or the tests/ that install it)")


def check_constants_defined_once(files, breaches):
    decl = re.compile(r"^(?:(?:inline|static)\s+)*(?:constexpr|const)\s[^;(]*?[A-Za-z_]\w*\s*(?:\[[^\]]*\])*\s*(?:=|\{)[^;]*;",
                      re.M)
    enum = re.compile(r"^enum\s+(?!class\b|struct\b)[^{;]*\{([^}]*)\}", re.M)
    where = {}
    for path in files:
        code = code_of(path)
        names = []
        for m in decl.finditer(code):
            for i, part in enumerate(top_level_split(m.group(0))):
                found = re.search(r"\b([A-Za-z_]\w*)\s*(?:\[[^\]]*\])*\s*(?:=|\{)", part) if i == 0 else \
                    re.match(r"\s*([A-Za-z_]\w*)\s*(?:\[[^\]]*\])*\s*(?:=|\{)", part)
                if found:
                    names.append(found.group(1))
        for m in enum.finditer(code):
            names += re.findall(r"\b([A-Za-z_]\w*)\s*(?:=[^,]*)?(?:,|$)", m.group(1).strip())
        for name in names:
            where.setdefault(name, []).append(path)
    for name, paths in sorted(where.items()):
        if len(paths) > 1:
            breaches.append(f"{name}: defined in {', '.join(paths)} (define a constant once, in the header that owns it)")


# Record fields whose values are named in stack/format/StackFile.h: as an offset argument
# (SetSpriteWord(h, kSpriteTemplate, 3), h.Word(kSpriteLayer) == 1) and as the field of the
# records read into memory (s.endCondition == 2, block->timerMode = 0).
NAMED_SETTING_OFFSETS = ("kSpriteTemplate", "kSpriteEndCondition", "kSpriteFrameTiming", "kSpritePathTiming",
                         "kSpriteFrameStep", "kSpritePathStep", "kSpritePathSource", "kSpriteLayer",
                         "kButtonTimerMode")
NAMED_SETTING_MEMBERS = ("templateNumber", "endCondition", "frameTiming", "pathTiming", "frameStepKind",
                         "pathStepKind", "pathSource", "layerKind", "timerMode")
ACTIONS_DIALOG_CALLS = ("EditObjectActions", "EditButtonActions", "NewButtonActions")
BARE_NUMBER = re.compile(r"(?<![\w.])\d+(?![\w.])")


def argument_after(code, at):
    """The text from at to the closing parenthesis of the call it stands in."""
    depth = 0
    for i in range(at, len(code)):
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                return code[at:i], i
            depth -= 1
    return code[at:], len(code)


def results_of(value):
    """What an expression may give: each branch of a conditional (not its conditions), without
    parentheses and casts."""
    parts, depth, current = [], 0, ""
    for c in value:
        depth += c in "([{"
        depth -= c in ")]}"
        if c in "?:" and depth == 0:
            parts.append((current, c))
            current = ""
        else:
            current += c
    parts.append((current, ""))
    results = []
    for part, after in parts:
        if after == "?":
            continue
        part = part.strip()
        while True:
            cast = re.fullmatch(r"(?:\w+\s*)?\((.*)\)", part, re.S)
            if not cast:
                break
            part = cast.group(1).strip()
        results.append(part)
    return results


def check_named_settings(files, breaches):
    offsets = "|".join(NAMED_SETTING_OFFSETS)
    as_value = re.compile(rf"\b({offsets})\s*,")
    as_compared = re.compile(rf"\b({offsets})\s*\)\s*(?:==|!=)\s*\d")
    as_member = re.compile(rf"(?:\.|->)({'|'.join(NAMED_SETTING_MEMBERS)})\s*(?:==|!=|=(?!=))\s*\d")
    dialog_call = re.compile(rf"\b({'|'.join(ACTIONS_DIALOG_CALLS)})\s*\(")
    result_after = re.compile(r"\s*(?:==|!=)\s*(?:\d+|IDOK|IDCANCEL)\b")
    plain_move = re.compile(r"\b3\s*,\s*0\s*,\s*8\s*\)")
    for path in files:
        code = code_of(path)
        line_of = lambda at: code.count("\n", 0, at) + 1  # noqa: E731
        for m in as_value.finditer(code):
            value, _ = argument_after(code, m.end())
            if any(BARE_NUMBER.fullmatch(result) for result in results_of(value)):
                breaches.append(f"{path}:{line_of(m.start())}: {m.group(1)} set to a bare number ({value.strip()}): use its name")
        for pattern in (as_compared, as_member):
            for m in pattern.finditer(code):
                breaches.append(f"{path}:{line_of(m.start())}: {m.group(1)} read or set as a bare number: use its name")
        for m in dialog_call.finditer(code):
            _, close = argument_after(code, m.end())
            if result_after.match(code, close + 1):
                breaches.append(f"{path}:{line_of(m.start())}: the result of {m.group(1)} as a bare number: "
                                f"kActionsDialogOk or kActionsDialogCancelled")
        for m in plain_move.finditer(code):
            breaches.append(f"{path}:{line_of(m.start())}: the plain move written out: kPlainTransition, kPlainEffect, kPlainSpeed")


# A path in a comment: folders and a file with an extension, folders ending in a slash, or
# top-folder/sub-folder. What it must begin with is checked below.
COMMENT_PATH = re.compile(r"(?<![\w./:-])((?:[A-Za-z_][\w.-]*/)+(?:[\w-]+\.(?:h|cpp|py|cmake|rc|rci|md|sh|def|txt)\b"
                          r"|(?=[\s,;:)'\"`]|$)|[\w-]+\b(?![./\w-])))")
COMMENT = re.compile(r"//([^\n]*)|/\*(.*?)\*/", re.S)


def check_comment_paths(breaches):
    tops = [t for t in os.listdir(ROOT)
            if not t.startswith(".") and t != "build" and os.path.isdir(os.path.join(ROOT, t))]
    folders = set(tops)
    for top in tops:
        for _, subs, _ in os.walk(os.path.join(ROOT, top)):
            folders.update(subs)
    for top in sorted(tops):
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            bases = [ROOT]
            at = folder
            while os.path.relpath(at, ROOT) != ".":
                bases.append(at)
                at = os.path.dirname(at)
            for name in sorted(names):
                if not name.endswith(SOURCE):
                    continue
                path = os.path.join(folder, name)
                text = open(path, errors="replace").read()
                for m in COMMENT.finditer(text):
                    for named in COMMENT_PATH.findall(m.group(1) if m.group(1) is not None else m.group(2)):
                        last = named.rstrip("/").split("/")[-1]
                        # A file or folder path may begin with any folder of the tree; a bare
                        # "a/b" only with a top folder (so "and/or" is no path).
                        starts = folders if named.endswith("/") or "." in last else tops
                        if named.split("/")[0] not in starts or named.startswith("build/"):
                            continue
                        if not any(os.path.exists(os.path.join(base, named)) for base in bases):
                            line = text.count("\n", 0, m.start()) + 1
                            breaches.append(f"{os.path.relpath(path, ROOT)}:{line}: the comment names {named}, which does not exist")


def count_slots(files):
    """A slot is a named function pointer declared as a member or variable, or a virtual
    function; a function-pointer parameter and the word in a comment are neither. The
    single-procedure setters are counted beside them (find_setters)."""
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
    check_constants_defined_once(files, breaches)
    check_named_settings(files, breaches)
    check_comment_paths(breaches)
    slots, media_virtuals = count_slots(files)
    setters = find_setters(files)
    check_setter_fillers(setters, breaches)
    for path, _ in setters:
        slots[path] = slots.get(path, 0) + 1
    total = sum(slots.values())
    worst = ", ".join(f"{p} {n}" for p, n in sorted(slots.items(), key=lambda kv: -kv[1])[:8])
    if total > SLOT_CEILING:
        breaches.append(f"layer headers hold {total} procedure slots "
                        f"(at most {SLOT_CEILING}, aiming at {SLOT_AIM}); the most: {worst}")
    for breach in breaches:
        print(breach)
    print(f"house rules: {len(files)} files in {len(layers)} layers, {total} slots "
          f"({len(setters)} of them single-procedure setters; ceiling {SLOT_CEILING}, aim {SLOT_AIM}; "
          f"the most: {worst}), {media_virtuals} virtual functions of the media element classes, "
          f"{len(breaches)} breaches")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
