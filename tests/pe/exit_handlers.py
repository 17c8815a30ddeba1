#!/usr/bin/python3
"""Finds code that asks to run at process exit in an executable linked with app/entry.cpp.

The entry point ends the process with ExitProcess straight after wWinMain: no atexit table is ever
set up and nothing walks one, nor the .dtors list. A static object with a destructor (which GCC
registers through atexit), an [[gnu::destructor]] function, or a direct call to atexit, _onexit or
__dllonexit would link, or fail to link with nothing but "undefined reference to `atexit'", and its
code would silently never run. This reads the link map and the import table and names each such
registration, with that reason.

    exit_handlers.py EXE MAP [--expect-found]

Exits non-zero when it finds one (with --expect-found: when it finds none, for the fixtures that
show the check still catches each kind).
"""

import argparse
import re
import sys

import pefile

REASON = ("app/entry.cpp ends the process with ExitProcess and never runs exit handlers or .dtors, "
          "so this code would silently never run: give the object a trivial destructor, or make it a "
          "member of the window (destroyed with it)")

# The C and C++ runtimes' ways to register a function for exit, as the linker and the import table
# name them (the map drops i386's leading underscore).
EXIT_REGISTRATIONS = ("atexit", "_onexit", "__dllonexit", "__cxa_atexit", "at_quick_exit", "_crt_atexit",
                      "_register_onexit_function", "__mingw_onexit")
# Linker-script lines between the list's -1 head and its 0 tail; any input section between them is an
# entry.
DTOR_SECTION = re.compile(r"^ \.dtors?(\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")


def registrations_in_map(map_text):
    """Exit registrations the link pulled in, referred to or defined, as 'symbol (where)' strings."""
    found = []
    # "Archive member included to satisfy reference by file (symbol)": the member, then the file and
    # the symbol it was pulled in for.
    for match in re.finditer(r"^(\S.*)\n\s+(\S.*) \((\S+)\)$", map_text, re.MULTILINE):
        symbol = match.group(3).lstrip("_")
        if symbol in (name.lstrip("_") for name in EXIT_REGISTRATIONS):
            found.append("%s, pulled in from %s by %s" % (match.group(3), match.group(1), match.group(2)))
    for match in re.finditer(r"^\s+0x[0-9a-f]+\s+(\S+)$", map_text, re.MULTILINE):
        if match.group(1) in EXIT_REGISTRATIONS:
            found.append("%s, defined in the link" % match.group(1))
    return found


def destructors_in_map(map_text):
    """Entries of the .dtors list, as 'section (file)' strings."""
    head = map_text.find("__DTOR_LIST__ = .")
    if head < 0:
        return []
    found = []
    for line in map_text[head:].splitlines()[1:]:
        if "LONG 0x0" in line:
            break
        match = DTOR_SECTION.match(line)
        if match and int(match.group(2), 16) != 0:
            found.append("%s entry from %s" % (line.split()[0], match.group(3)))
    return found


def imported_registrations(path):
    found = []
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    for dll in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        for function in dll.imports:
            name = function.name.decode("ascii") if function.name else ""
            if name in EXIT_REGISTRATIONS:
                found.append("%s, imported from %s" % (name, dll.dll.decode("ascii")))
    return found


def findings(exe_path, map_path):
    with open(map_path, encoding="utf-8", errors="replace") as f:
        map_text = f.read()
    return registrations_in_map(map_text) + destructors_in_map(map_text) + imported_registrations(exe_path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n", 1)[0])
    parser.add_argument("exe")
    parser.add_argument("map")
    parser.add_argument("--expect-found", action="store_true",
                        help="succeed only when something is found (a fixture that must be caught)")
    args = parser.parse_args()
    found = findings(args.exe, args.map)
    for item in found:
        print("found exit handler: %s" % item)
    if found:
        print("why this matters: " + REASON)
    if args.expect_found:
        if not found:
            print("nothing found in a fixture that registers an exit handler: the check has gone blind")
        print("1 passed, 0 failed" if found else "0 passed, 1 failed")
        return 0 if found else 1
    print("0 passed, 1 failed" if found else "1 passed, 0 failed")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
