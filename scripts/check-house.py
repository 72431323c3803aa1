#!/usr/bin/env python3
"""The house rules that a compiler does not check on its own, read from the tree:

- includes run one way: a file includes only its own layer, the layers below it (LOOM_LAYERS in
  cmake/Layers.cmake, lowest first; a layer is a folder or a sub-folder) and resources/;
- the top folders stand in the order of the layers: the layers of one top folder are neighbours
  in LOOM_LAYERS, so a folder includes only the folders listed before it;
- no folder holds more than 40 source files directly;
- no procedure is installed by a static initialiser (a file-scope `const bool g_... = ...` that
  runs while the module loads): the wiring step (host/wiring) installs them;
- the layer headers hold no more procedure slots than the ceiling below, which only ever falls.
  A slot is a named function pointer declared as a member or variable, whatever its calling
  convention (`R (*name)(...)`, `R(WINAPI* name)(...)`), a `using X = R(*)(...)` hook type, or a
  single-procedure setter whose procedure is written out in its parameter (a function of a layer
  header named Set..., Push... or Install... whose one parameter is `R (*name)(...)`; a setter of
  a hook type is counted with the type). The browser's API types (host/downloads/NpInterface.h)
  and the entry points a stand-in DLL exports (`extern "C"` hook types of its layer) are the
  libraries' own and are left out. Virtual functions are counted apart, under a ceiling of
  their own: the media element classes, and the other interfaces (devices, sinks, sources);
- no two layers include each other, nor two sub-folders of one folder (host's, media's, ...):
  when a file of one includes a file of the other, no file of the other includes one of the
  first. A folder and its own sub-folder are no pair (the folder's headers are the layer's
  front); the sibling pairs that were there when the check came are listed to be ended, and the
  list only shrinks;
- the count of file-scope variables (namespace-scope variables that are not constants, in the
  layer folders) stays at or under its ceiling: input goes to a callee as a parameter, not
  through a global;
- each header that declares such a setter names its filler in its comments: the host/wiring file
  that installs the procedure, or, when host/wiring installs none, says so and names the tests/
  file that does (or the code that installs it at run time);
- no constant is defined twice across the layer folders: a `constexpr` or `const` definition with
  an initializer at namespace scope (the line starts the declaration; class members and locals
  inside functions are indented and do not count), every name of a comma list, and the
  enumerators of a plain (unscoped) namespace-scope enum, in .h and .cpp files alike. Stack record
  offsets, action bits and resource types live in format/StackFile.h, tool numbers in
  core/ui/ToolNumbers.h, and a shared constant in the lowest header that owns it;
- a record setting whose values have names is never written as a bare number (set, compared
  or as a case of a switch on it): the 'Sprt' header's template, end condition, timings, frame
  and path steps, path source and layer kind (format/StackFile.h), an action record's timer mode, the actions dialog's result
  (actions/ActionsDialog.h) and the plain move between cards (kPlainTransition, kPlainEffect,
  kPlainSpeed);
- a button shape is never compared, set or switched on as a bare number: the shapes and their
  framed and masked kinds are named in format/StackFile.h;
- no comment of a source file names a path that does not exist: a path beginning with a folder
  of the tree (`dir/File.h`, `dir/sub/`, `tests/fuzz/x_fuzz.cpp`) must be found from the tree's
  root or from the file's folder or one above it;
- a header's table of contents names files of its own folder: a contents line (a comment line
  indented by two spaces or more that begins with a file name) names a file that lies beside the
  header; a file elsewhere is written with its path (`buttons/Buttons_win.cpp`) or in prose;
- a function declared in a layer's header is defined in that layer or below: a declaration left
  in a lower header by a move lets a lower layer call up at link time, which neither the includes
  nor the per-layer build see (a function is defined where a non-static definition of its name
  stands; a header whose functions are defined by nobody in the layer folders, such as a library's
  or the browser's API, is left alone).

Prints each breach and exits 1 when there is one. The build refuses an upward include too (each
layer compiles against a view of the layers below it); this check names them all at once.
"""
import glob
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAX_FILES_PER_FOLDER = 40
# Procedure slots in the layer headers (function-pointer members, virtual functions and
# single-procedure setters): the aim, and today's ceiling (lower it whenever upward calls go
# away; never raise it).
SLOT_AIM = 150
SLOT_CEILING = 144
# Virtual functions outside the media element classes (PrintDevice, ShapeSink, ByteSource).
VIRTUAL_CEILING = 17
# File-scope variables in the layer folders (lower it when globals go; never raise it).
FILE_SCOPE_CEILING = 329
BROWSER_API = ("host/downloads/NpInterface.h",)
# Sub-folders that still include each other, to be ended (never add to it).
KNOWN_FOLDER_PAIRS = {
    ("core/files", "core/ui"), ("core/memory", "core/ui"), ("stack/cards", "stack/pictures"),
}
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


def check_top_folder_order(layers, breaches):
    """A top folder whose layers are split by another folder's would include a folder above it."""
    tops = [layer.split("/")[0] for layer in layers]
    for i, top in enumerate(tops):
        if top in tops[:i] and tops[i - 1] != top:
            breaches.append(f"cmake/Layers.cmake: {layers[i]} is apart from the other layers of {top}/ "
                            f"(after {layers[i - 1]}): a top folder's layers stand together")


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


HOOK_TYPE = re.compile(r"^\s*using\s+(\w+)\s*=[^;]*\(\s*(?:\w+\s*)?\*\s*\)\s*\(", re.M)
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
    return [path for path in files if path.endswith(".h") and "/dll/" not in path and path not in BROWSER_API]


def own_dll_layers():
    text = open(os.path.join(ROOT, "cmake", "Layers.cmake")).read()
    match = re.search(r"set\(LOOM_OWN_DLLS\s+([^)]*)\)", text)
    return match.group(1).split() if match else []


def hook_types(path, own_dlls):
    """The `using` hook types of a header, without the entry points a stand-in DLL exports."""
    code = code_of(path)
    if any(path.startswith(dll + "/") for dll in own_dlls):
        code = re.sub(r'extern\s+"C"\s*\{[^{}]*\}', "", code)
    return HOOK_TYPE.findall(code)


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
            if INLINE_PROCEDURE.search(parts[0]):
                setters.append((path, name, True))
            elif any(word in hooks for word in words[:2]):
                setters.append((path, name, False))
    return setters


def check_setter_fillers(setters, breaches):
    for path in sorted({path for path, _, _ in setters}):
        text = open(os.path.join(ROOT, path), errors="replace").read()
        comments = " ".join(re.findall(r"//([^\n]*)", text))
        if "host/wiring" not in comments:
            names = ", ".join(name for p, name, _ in setters if p == path)
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


# Record fields whose values are named in format/StackFile.h: as an offset argument
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
        for at, name in bare_cases_of_settings(code):
            breaches.append(f"{path}:{line_of(at)}: a case of {name} as a bare number: use its name")


def bare_cases_of_settings(code):
    """`case 2:` directly inside a switch on a named setting (a member or a record offset)."""
    setting = re.compile(rf"(?:\.|->)({'|'.join(NAMED_SETTING_MEMBERS)})\b|\b({'|'.join(NAMED_SETTING_OFFSETS)})\b")
    for m in re.finditer(r"\bswitch\s*\(", code):
        subject, close = argument_after(code, m.end())
        named = setting.search(subject)
        body = code.find("{", close)
        if not named or body < 0:
            continue
        depth = 0
        for i in range(body, len(code)):
            if code[i] == "{":
                depth += 1
            elif code[i] == "}":
                depth -= 1
                if depth == 0:
                    break
            elif depth == 1 and code.startswith("case", i) and not code[i - 1].isalnum() and code[i - 1] != "_":
                bare = re.match(r"case\s+(\d+)\s*:", code[i:])
                if bare:
                    yield i, named.group(1) or named.group(2)


# A path in a comment: folders and a file with an extension, folders ending in a slash, or
# top-folder/sub-folder. What it must begin with is checked below.
COMMENT_PATH = re.compile(r"(?<![\w./:-])((?:[A-Za-z_][\w.-]*/)+(?:[\w-]+\.(?:h|cpp|py|cmake|rc|rci|md|sh|def|txt)\b"
                          r"|(?=[\s,;:)'\"`]|$)|[\w-]+\b(?![./\w-])))")
COMMENT = re.compile(r"//([^\n]*)|/\*(.*?)\*/", re.S)


# A bare file name in a comment (a table of contents, "see Foo_win.cpp"): it must be a file of the tree.
BARE_FILE = re.compile(r"(?<![\w./*-])([A-Za-z_][\w-]*\.(?:h|cpp))\b(?![./\w-])")


def check_comment_paths(breaches):
    tops = [t for t in os.listdir(ROOT)
            if not t.startswith(".") and t != "build" and os.path.isdir(os.path.join(ROOT, t))]
    folders = set(tops)
    tree_files = set()
    for top in tops:
        for _, subs, files in os.walk(os.path.join(ROOT, top)):
            folders.update(subs)
            tree_files.update(files)
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
                    words = m.group(1) if m.group(1) is not None else m.group(2)
                    for bare in BARE_FILE.findall(words):
                        if bare not in tree_files:
                            line = text.count("\n", 0, m.start()) + 1
                            breaches.append(f"{os.path.relpath(path, ROOT)}:{line}: the comment names {bare}, "
                                            f"which is no file of the tree")
                    for named in COMMENT_PATH.findall(m.group(1) if m.group(1) is not None else m.group(2)):
                        last = named.rstrip("/").split("/")[-1]
                        # A file or folder path may begin with any folder of the tree; a bare
                        # "a/b" only with a top folder (so "and/or" is no path).
                        # A source file is checked whatever its first folder is, so that a path into
                        # a folder that has gone is caught too (a host name is no folder).
                        first = named.split("/")[0]
                        source_file = re.search(r"\.(?:h|cpp|rc|rci|cmake|py|sh|def)$", last) and "." not in first
                        starts = folders if named.endswith("/") or "." in last else tops
                        if named.startswith("build/") or (first not in starts and not source_file):
                            continue
                        if not any(os.path.exists(os.path.join(base, named)) for base in bases):
                            line = text.count("\n", 0, m.start()) + 1
                            breaches.append(f"{os.path.relpath(path, ROOT)}:{line}: the comment names {named}, which does not exist")


# A contents line of a header: "//   Name.cpp   what it holds" (two spaces or more before the name).
CONTENTS_LINE = re.compile(r"^//\s{2,}([A-Za-z_][\w-]*\.(?:h|cpp))(?:\s|$)")


def check_contents_lines(breaches):
    for top in sorted(t for t in os.listdir(ROOT) if not t.startswith(".") and t != "build"
                      and os.path.isdir(os.path.join(ROOT, t))):
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in sorted(n for n in names if n.endswith(".h")):
                path = os.path.join(folder, name)
                for number, line in enumerate(open(path, errors="replace"), 1):
                    m = CONTENTS_LINE.match(line)
                    if m and not os.path.exists(os.path.join(folder, m.group(1))):
                        breaches.append(f"{os.path.relpath(path, ROOT)}:{number}: the contents name {m.group(1)}, "
                                        f"which is not in this folder (write its path, or list it in its own folder's header)")


# A function declared or defined at namespace scope (namespace contents are not indented): its
# name before the parameter list. Whether it is a declaration or a definition is told by what
# follows the parameters.
FUNCTION_HEAD = re.compile(r"^(?!(?:return|typedef|using|friend|else|case|delete|throw)\b)"
                           r"(?:(?:inline|static|extern|constexpr|\[\[nodiscard\]\])\s+)*"
                           r"[A-Za-z_][\w:<>,*& ]*?[\s*&]([A-Za-z_]\w*)\s*\(", re.M)


def statement_end(code, at):
    """';' for a declaration, '{' for a definition: what ends the statement after the parameters."""
    depth = 0
    for i in range(at, len(code)):
        c = code[i]
        if c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
        elif depth == 0 and c in ";{":
            return c
    return ""


def check_declared_below(layers, files, breaches):
    order = {layer: i for i, layer in enumerate(layers)}
    declared, defined = {}, {}
    for path in files:
        if "/dll/" in path:
            continue
        code = code_of(path)
        for m in FUNCTION_HEAD.finditer(code):
            end = statement_end(code, m.end() - 1)
            name = m.group(1)
            if end == "{" and not m.group(0).startswith("static"):
                defined.setdefault(name, set()).add(layer_of(path, layers))
            elif end == ";" and path.endswith(".h"):
                declared.setdefault(name, set()).add(path)
    for name, headers in sorted(declared.items()):
        layers_defining = {layer for layer in defined.get(name, ()) if layer}
        for header in sorted(headers):
            own = layer_of(header, layers)
            if own and layers_defining and all(order[layer] > order[own] for layer in layers_defining):
                breaches.append(f"{header}: declares {name}, which {', '.join(sorted(layers_defining))} defines, "
                                f"above {own}: declare it in the header of the layer that defines it")


def count_slots(files):
    """A slot is a named function pointer declared as a member or variable, of any calling
    convention, or a `using` hook type; a function-pointer parameter and the word in a comment
    are neither. Virtual functions are counted apart. The single-procedure setters that write
    their procedure out are counted beside them (find_setters)."""
    pointer = re.compile(r"\(\s*(?:\w+\s*)?\*\s*[A-Za-z_]\w*\s*\)\s*\(")
    virtual = re.compile(r"\bvirtual\b")

    def outside_parameters(code, m):
        before = code[: m.start()]
        return before.count("(") == before.count(")")

    own_dlls = own_dll_layers()
    counts, media_virtuals, virtuals = {}, 0, {}
    for path in layer_headers(files):
        n = len(hook_types(path, own_dlls))
        for line in open(os.path.join(ROOT, path), errors="replace"):
            code = line.split("//", 1)[0]
            m = pointer.search(code)
            if m and outside_parameters(code, m):
                n += 1
            m = virtual.search(code)
            if m and outside_parameters(code, m):
                if is_media_class_virtual(path, line):
                    media_virtuals += 1
                else:
                    virtuals[path] = virtuals.get(path, 0) + 1
        if n:
            counts[path] = n
    return counts, media_virtuals, virtuals


# A namespace-scope variable: a declaration at the start of a line (namespace contents are not
# indented) that is not a constant, a type, a function or an alias. Every declarator of a comma
# list counts, and so does one with a constructor-style initialiser.
NOT_A_VARIABLE = (r"(?!(?:const|constexpr|constinit|consteval|concept|using|typedef|extern|return|struct|class|enum|"
                  r"union|namespace|template|friend|static_assert|if|else|for|while|switch|case|default|goto|delete|"
                  r"throw)\b)")
# A brace initialiser holds braces only in pairs, one level deep: "{}" ending a one-line function
# is no initialiser of the declaration on the next line.
BRACED = r"\{(?:[^;{}]|\{[^;{}]*\})*\}"
DECLARATOR = (r"[\s*&]*(?:const\s+)?(\(\s*\*\s*)?([A-Za-z_]\w*)\s*\)?(\([^;{}]*\))?"
              r"\s*(?:\[[^\]]*\])*\s*(?:=[^;,{}]*(?:\([^;{}]*\)|" + BRACED + r")?[^;,{}]*|" + BRACED + r")?")
FILE_SCOPE_VARIABLE = re.compile(
    r"^(?:(?:static|thread_local|inline)\s+)*" + NOT_A_VARIABLE +
    r"[A-Za-z_][\w:]*(?:\s*<[^;(){}]*>)?(?=[\s*&])(" + DECLARATOR + r"(?:\s*,\s*" + DECLARATOR + r")*)\s*;", re.M)
# A pointer to constant data is itself a variable ("const T* name = ...;", unless "* const").
POINTER_TO_CONST = re.compile(r"^(?:static\s+)?const\s+[A-Za-z_][\w:]*(?:\s*<[^;(){}]*>)?\s*\*\s*(?!const\b)"
                              r"([A-Za-z_]\w*)\s*(?:\[[^\]]*\])*\s*(?:=[^;]*)?;", re.M)
# "} name;" closing a struct, class or union defined at namespace scope (not a typedef's name).
AFTER_A_BODY = re.compile(r"^\}\s*([A-Za-z_]\w*)\s*(?:\[[^\]]*\])*\s*(?:=[^;]*)?;", re.M)
# What only a value can begin with, so "T name(args);" with such an argument is a variable made
# by a constructor, not a function declared.
VALUE_ARGUMENT = re.compile(r"^\s*(?:-?\d|'|\"|true\b|false\b|nullptr\b|sizeof\b|k[A-Z]|\{)")


def declared_at(code, close):
    """The text of the statement whose body's closing brace stands at close."""
    depth, at = 0, close
    while at >= 0:
        depth += code[at] == "}"
        depth -= code[at] == "{"
        if depth == 0:
            break
        at -= 1
    start = max(code.rfind(";", 0, at), code.rfind("}", 0, at), code.rfind("{", 0, at)) + 1
    return code[start:at]


def file_scope_variables(files):
    found = []
    for path in files:
        if "/dll/" in path:
            continue
        code = code_of(path)
        for m in FILE_SCOPE_VARIABLE.finditer(code):
            for part in top_level_split(m.group(1)):
                d = re.fullmatch(DECLARATOR, part)
                if not d:
                    continue
                pointer, name, arguments = d.group(1), d.group(2), d.group(3)
                if arguments and not pointer:
                    inside = arguments[1:-1]
                    if not inside.strip() or not any(VALUE_ARGUMENT.match(a) for a in top_level_split(inside)):
                        continue  # a function declaration
                found.append((path, name))
        for m in POINTER_TO_CONST.finditer(code):
            if not re.match(r"k[A-Z]", m.group(1)):
                found.append((path, m.group(1)))
        for m in AFTER_A_BODY.finditer(code):
            head = declared_at(code, m.start())
            if re.search(r"\b(?:struct|class|union)\b", head) and not re.search(r"\b(?:typedef|const|constexpr|constinit)\b", head):
                found.append((path, m.group(1)))
    return found


def check_folder_pairs(layers, files, breaches):
    include = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
    tops = {layer.split("/")[0] for layer in layers}
    edges = set()
    for path in files:
        for target in include.findall(open(os.path.join(ROOT, path), errors="replace").read()):
            if target.split("/")[0] not in tops:
                continue
            a, b = os.path.dirname(path), os.path.dirname(target)
            if a != b:
                edges.add((a, b))
    for a, b in sorted(edges):
        if a > b or (b, a) not in edges or (a, b) in KNOWN_FOLDER_PAIRS:
            continue
        if a.startswith(b + "/") or b.startswith(a + "/"):
            continue  # a folder and its own sub-folder
        breaches.append(f"{a} and {b} include each other (a path should tell what may call what)")


# A button shape (a layer's, the record word's, a local or a reader's) as a bare number.
SHAPE_AS_NUMBER = re.compile(r"\b(?:\w*[sS]hape(?:\(\))?|kButtonShape\s*\))\s*(?:==|!=|<=|>=|<|>)\s*-?\d"
                             r"|(?:\.|->)shape\s*=(?!=)\s*\d|^\s*shape\s*=(?!=)\s*\d", re.M)
SHAPE_SWITCH = re.compile(r"\bswitch\s*\(\s*[\w.>-]*\b[sS]hape\s*\)\s*\{")
BARE_CASE = re.compile(r"\bcase\s+-?\d+\s*:")


def check_button_shapes(files, breaches):
    for path in files:
        code = code_of(path)
        line_of = lambda at: code.count("\n", 0, at) + 1  # noqa: E731
        for m in SHAPE_AS_NUMBER.finditer(code):
            breaches.append(f"{path}:{line_of(m.start())}: a button shape as a bare number: use its name "
                            f"(kButtonShape..., IsFramedButtonShape, IsMaskedButtonShape)")
        for m in SHAPE_SWITCH.finditer(code):
            body, _ = argument_after(code, m.end())
            for case in BARE_CASE.finditer(body):
                breaches.append(f"{path}:{line_of(m.end() + case.start())}: a button shape as a bare case: use its name")


def check_string_ids(breaches):
    """Two entries of the string tables under one id: the resource compiler keeps one silently."""
    names = {}
    for path in glob.glob(os.path.join(ROOT, "resources", "*.h")):
        for name, value in re.findall(r"^\s*#\s*define\s+(\w+)\s+(\d+)\b", open(path).read(), re.M):
            names[name] = int(value)
    seen = {}
    for path in sorted(glob.glob(os.path.join(ROOT, "resources", "*.rc*"))):
        text = open(path, errors="replace").read()
        for table in re.findall(r"^STRINGTABLE[^\n]*\n\s*BEGIN\n(.*?)^END", text, re.M | re.S):
            for key in re.findall(r'^\s*(\w+)\s*,\s*"', table, re.M):
                number = int(key) if key.isdigit() else names.get(key)
                if number is None:
                    continue
                where = os.path.relpath(path, ROOT)
                if number in seen:
                    breaches.append(f"string {number} is defined in {seen[number]} and again in {where}")
                else:
                    seen[number] = where


def main():
    layers = read_layers()
    files = sorted(layer_files(layers))
    breaches = []
    check_includes(layers, files, breaches)
    check_top_folder_order(layers, breaches)
    check_folder_sizes(breaches)
    check_static_installers(files, breaches)
    check_constants_defined_once(files, breaches)
    check_named_settings(files, breaches)
    check_button_shapes(files, breaches)
    check_comment_paths(breaches)
    check_contents_lines(breaches)
    check_declared_below(layers, files, breaches)
    check_folder_pairs(layers, files, breaches)
    check_string_ids(breaches)
    slots, media_virtuals, virtuals = count_slots(files)
    setters = find_setters(files)
    check_setter_fillers(setters, breaches)
    for path, _, written_out in setters:
        if written_out:
            slots[path] = slots.get(path, 0) + 1
    total = sum(slots.values())
    virtual_total = sum(virtuals.values())
    if virtual_total > VIRTUAL_CEILING:
        breaches.append(f"layer headers hold {virtual_total} virtual functions beside the media element classes "
                        f"(at most {VIRTUAL_CEILING}): {virtuals}")
    globals_ = file_scope_variables(files)
    if len(globals_) > FILE_SCOPE_CEILING:
        breaches.append(f"{len(globals_)} file-scope variables (at most {FILE_SCOPE_CEILING}): pass input as a "
                        f"parameter instead of through a global")
    worst = ", ".join(f"{p} {n}" for p, n in sorted(slots.items(), key=lambda kv: -kv[1])[:8])
    if total > SLOT_CEILING:
        breaches.append(f"layer headers hold {total} procedure slots "
                        f"(at most {SLOT_CEILING}, aiming at {SLOT_AIM}); the most: {worst}")
    for breach in breaches:
        print(breach)
    print(f"house rules: {len(files)} files in {len(layers)} layers, {total} slots "
          f"(ceiling {SLOT_CEILING}, aim {SLOT_AIM}; the most: {worst}), {virtual_total} virtual functions "
          f"of interfaces (ceiling {VIRTUAL_CEILING}) and {media_virtuals} of the media element classes, "
          f"{len(globals_)} file-scope variables (ceiling {FILE_SCOPE_CEILING}), {len(breaches)} breaches")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
