#!/usr/bin/env python3
"""Writes the per-extension sources of the GL extension loader.

Reads names.txt (every extension and GL version name with the number of entry
points its loader stores) and the Khronos registry files gl.xml and glx.xml,
gives every entry point exactly one owner, checks each owner's count against
names.txt and writes, beside this script:

  <NAME>.cpp                 flag, owned pointers and loader of one name
  GL_extloader_decls.h       declarations of the flags, loaders, GL pointers
  GLX_extloader_decls.h      declarations of the GLX pointers
  GL_extloader_table.inc     name, flag and loader of every name, in test order
  GL_extloader_pointers.inc  every pointer with its owner (used by the tests)

  generate.py                write the files
  generate.py --check        compare the files on disk with what would be
                             written; exit 1 and name the files that differ
"""

import argparse
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

SCRIPT = "viewer/glext/generate.py"
MANIFEST = "viewer/glext/names.txt"
REGISTRY_PACKAGE = "khronos-api"
DEFAULT_REGISTRY = "/usr/share/khronos-api"

# Commands of these versions are called straight from libGL: no pointer.
DIRECT_GL_VERSIONS = ("GL_VERSION_1_0", "GL_VERSION_1_1", "GL_VERSION_1_2",
                      "GL_VERSION_1_3", "GL_VERSION_1_4")
DIRECT_GLX_VERSIONS = ("GLX_VERSION_1_0", "GLX_VERSION_1_1", "GLX_VERSION_1_2",
                       "GLX_VERSION_1_3", "GLX_VERSION_1_4")
# Their commands are called straight from libGL too; these two are never tested.
NO_POINTER_NAMES = ("GL_ARB_imaging", "GL_ARB_multitexture")
OWNED_VERSION_PREFIX = "GL_VERSION_"
# Requirements for these APIs are for OpenGL ES alone and are left out.
DESKTOP_APIS = (None, "gl", "glx")
TOTAL_POINTERS = 2540


class GenerateError(Exception):
    pass


def byte_key(name):
    return name.encode()


def read_manifest(text):
    """Returns [(name, count)] from the lines of names.txt, checking their order."""
    names = []
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = line.split()
        if len(fields) != 2 or not fields[1].isdigit():
            raise GenerateError(f"names.txt:{number}: expected a name and a count")
        names.append((fields[0], int(fields[1])))
    ordered = [n for n, _ in names]
    if ordered != sorted(ordered, key=byte_key) or len(set(ordered)) != len(ordered):
        raise GenerateError("names.txt: names are not unique and in ascending byte order")
    return names


def required_commands(element):
    """The commands an element's desktop requirements list, in registry order."""
    commands = []
    for require in element.findall("require"):
        if require.get("api") not in DESKTOP_APIS:
            continue
        for command in require.findall("command"):
            name = command.get("name")
            if name not in commands:
                commands.append(name)
    return commands


def read_registry(root, features, extensions):
    """Adds the root's desktop features and extensions (name -> commands)."""
    for feature in root.findall("feature"):
        if feature.get("api") in DESKTOP_APIS:
            features[feature.get("name")] = required_commands(feature)
    for extension in root.iter("extension"):
        extensions[extension.get("name")] = required_commands(extension)


def assign_owners(names, features, extensions):
    """Returns {name: [commands it owns]} by the ownership rules."""
    direct = set()
    for version in DIRECT_GL_VERSIONS + DIRECT_GLX_VERSIONS:
        if version not in features:
            raise GenerateError(f"registry: no feature {version}")
        direct.update(features[version])
    for name in NO_POINTER_NAMES:
        direct.update(extensions.get(name, ()))

    owned = {name: [] for name, _ in names}
    owner_of = {}
    versions = [n for n, _ in names if n.startswith(OWNED_VERSION_PREFIX)]
    others = [n for n, _ in names if not n.startswith(OWNED_VERSION_PREFIX)]
    # Versions first, lowest first: a version outranks every extension.
    for name in sorted(versions, key=lambda n: tuple(int(p) for p in n.split("_")[2:])):
        if name not in features:
            raise GenerateError(f"registry: no feature {name}")
        take(name, features[name], direct, owned, owner_of)
    for name in others:
        if name in NO_POINTER_NAMES:
            continue
        # A name the registry lacks owns nothing; its count says whether it must.
        take(name, extensions.get(name, ()), direct, owned, owner_of)
    return owned


def take(name, commands, direct, owned, owner_of):
    for command in commands:
        if command not in direct and command not in owner_of:
            owner_of[command] = name
            owned[name].append(command)


def check_counts(names, owned, total_expected=TOTAL_POINTERS):
    wrong = [f"{n}: manifest {c}, registry {len(owned[n])}"
             for n, c in names if len(owned[n]) != c]
    if wrong:
        raise GenerateError("entry-point counts differ:\n  " + "\n  ".join(wrong))
    total = sum(len(c) for c in owned.values())
    everyone = [c for commands in owned.values() for c in commands]
    if total != total_expected or len(set(everyone)) != total:
        raise GenerateError(f"{total} pointers, {len(set(everyone))} distinct, "
                            f"expected {total_expected}")


def pfn(command):
    return f"PFN{command.upper()}PROC"


def banner(inputs):
    return ("// Generated by " + SCRIPT + " from " + MANIFEST + " and the\n"
            "// Khronos registry " + inputs + " of Debian's package " + REGISTRY_PACKAGE
            + ".\n// Do not edit: change the script or names.txt and run it again.\n")


def inputs_of(name):
    return "glx.xml" if name.startswith("GLX_") else "gl.xml"


def name_source(name, commands):
    lines = [banner(inputs_of(name))]
    if name.startswith("GLX_"):
        lines.append("#include <GL/glx.h>\n")
    lines += ['#include "viewer/glext/gl_extloader.h"\n',
              'extern "C" {\n', f"int is_{name}_supported = 0;\n"]
    lines += [f"{pfn(c)} {c} = nullptr;\n" for c in commands]
    lines.append(f"\nvoid init_{name}(void)\n{{\n")
    lines += [f'  {c} = reinterpret_cast<{pfn(c)}>(__gl_GetProcAddress("{c}"));\n'
              for c in commands]
    lines.append("}\n}\n")
    return "".join(lines)


def declarations(names, owned):
    """Every flag and loader and the GL pointers; the GLX pointers apart."""
    note = "// Included by gl_extloader.h inside its extern \"C\" block.\n"
    gl = [banner("gl.xml and glx.xml"), note]
    glx = [banner("glx.xml"), note]
    for name, _ in names:
        gl.append(f"\nextern int is_{name}_supported;\nvoid init_{name}(void);\n")
        pointers = [f"extern {pfn(c)} {c};\n" for c in owned[name]]
        if name.startswith("GLX_") and pointers:
            glx += ["\n"] + pointers
        elif not name.startswith("GLX_"):
            gl += pointers
    return "".join(gl), "".join(glx)


def table(names):
    lines = [banner("gl.xml and glx.xml"),
             "// {name, flag, loader} of every name, in the order they are tested.\n"]
    lines += [f'{{"{n}", &is_{n}_supported, init_{n}}},\n' for n, _ in names]
    return "".join(lines)


def pointer_table(names, owned):
    lines = [banner("gl.xml and glx.xml"),
             "// {owner, entry point, address of its pointer} of every pointer.\n"]
    lines += [f'{{"{n}", "{c}", reinterpret_cast<const void*>(&{c})}},\n'
              for n, _ in names for c in owned[n]]
    return "".join(lines)


def generate(manifest_text, gl_root, glx_root):
    """Returns {file name: text} of every generated file."""
    names = read_manifest(manifest_text)
    features, extensions = {}, {}
    read_registry(gl_root, features, extensions)
    read_registry(glx_root, features, extensions)
    owned = assign_owners(names, features, extensions)
    check_counts(names, owned)
    files = {f"{n}.cpp": name_source(n, owned[n]) for n, _ in names}
    files["GL_extloader_decls.h"], files["GLX_extloader_decls.h"] = declarations(names, owned)
    files["GL_extloader_table.inc"] = table(names)
    files["GL_extloader_pointers.inc"] = pointer_table(names, owned)
    return files


def find_registry():
    """The folder of gl.xml as the khronos-api package installed it."""
    try:
        listing = subprocess.run(["dpkg", "-L", REGISTRY_PACKAGE], capture_output=True,
                                 text=True, check=True).stdout.split()
        for path in listing:
            if path.endswith("/gl.xml"):
                return os.path.dirname(path)
    except (OSError, subprocess.CalledProcessError):
        pass
    return DEFAULT_REGISTRY


def is_generated(file_name):
    return file_name.startswith("GL") and file_name.split("_")[0] in ("GL", "GLX")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--registry", default=None, help="folder of gl.xml and glx.xml")
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)))
    args = parser.parse_args()
    registry = args.registry or find_registry()
    here = os.path.dirname(os.path.abspath(__file__))
    try:
        with open(os.path.join(here, "names.txt"), encoding="utf-8") as f:
            manifest = f.read()
        gl_root = ET.parse(os.path.join(registry, "gl.xml")).getroot()
        glx_root = ET.parse(os.path.join(registry, "glx.xml")).getroot()
        files = generate(manifest, gl_root, glx_root)
    except (OSError, ET.ParseError, GenerateError) as error:
        print(f"generate.py: {error}", file=sys.stderr)
        return 1
    on_disk = {f for f in os.listdir(args.out) if is_generated(f)}
    if args.check:
        differ = sorted(on_disk - files.keys())
        for name, text in files.items():
            path = os.path.join(args.out, name)
            if not os.path.exists(path) or open(path, "rb").read() != text.encode():
                differ.append(name)
        for name in differ:
            print(f"generate.py: {name} differs from the generated text", file=sys.stderr)
        return 1 if differ else 0
    for stale in on_disk - files.keys():
        os.remove(os.path.join(args.out, stale))
    for name, text in files.items():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(text.encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
