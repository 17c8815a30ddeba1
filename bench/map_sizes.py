#!/usr/bin/python3
"""What the linked executable is made of, read from the GNU ld link map.

Sums the bytes each input file brings into the loaded sections, split into the
program's own objects, the MinGW-w64 C runtime and GCC's support libraries
(libgcc, libstdc++), and the DLL import stubs; then lists the largest single
contributors, and for each runtime one the reference that pulled it in.  One
"name value unit" line per figure, as scripts/bench.sh prints them.

    map_sizes.py MAP [--top N]

Sizes are section contents before the linker pads each section to the file
alignment, so they add up to a little less than the file's sections.
"""

import argparse
import os
import re
import sys

LOADED = (".text", ".data", ".rdata", ".eh_frame", ".idata", ".CRT", ".tls", ".pdata", ".xdata", ".rsrc")
RUNTIME_ARCHIVES = {"libgcc", "libgcc_eh", "libstdc++", "libsupc++", "libmingw32", "libmingwex", "libmsvcrt",
                    "libwinpthread", "libpthread", "libmoldname"}
GCC_SUPPORT = {"libgcc", "libgcc_eh", "libstdc++", "libsupc++", "libwinpthread"}
# Members of an import library: the stub of one function, or the library's head and tail.
IMPORT_MEMBER = re.compile(r"(s\d+|h|t|_defs\d+|_defh|_deft)\.o$")

INPUT_ONE_LINE = re.compile(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
INPUT_NAME_ONLY = re.compile(r"^ (\.\S+)$")
INPUT_CONTINUED = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT_SECTION = re.compile(r"^(\.\S+|/DISCARD/)(\s+0x[0-9a-f]+\s+0x[0-9a-f]+)?\s*$")


def split_archive(path):
    """("libmingw32", "pseudo-reloc.o") for ".../libmingw32.a(lib32_libmingw32_a-pseudo-reloc.o)"."""
    match = re.match(r"^(.*?)([^/]+)\.a\((.+)\)$", path)
    if not match:
        return None, os.path.basename(path)
    archive, member = match.group(2), match.group(3)
    member = re.sub(r"^lib(32|64)_" + re.escape(archive) + r"_[a-z]+_a-", "", member)
    member = re.sub(r"^lib(32|64)_" + re.escape(archive) + r"_a-", "", member)
    return archive, member


def classify(path, section):
    """(category, label) of one input file."""
    archive, member = split_archive(path)
    if path.endswith(".res"):
        return "resources", member
    if "CMakeFiles/" in path or (archive or "").startswith("liborbelin_"):
        return "program", member
    if section.startswith(".idata") or (archive and archive not in RUNTIME_ARCHIVES) or \
            (archive == "libmsvcrt" and IMPORT_MEMBER.search(member)):
        return "imports", (archive or member)
    if archive:
        return "runtime", "%s(%s)" % (archive, member)
    return "runtime", member  # crt2u.o, crtbegin.o, crtend.o: start-up objects linked in by the driver


def pulled_in_by(lines):
    """{input path: "referencer (symbol)"} from the map's archive-member block."""
    reasons = {}
    member = None
    for line in lines:
        if line.startswith("Discarded input sections") or line.startswith("Memory Configuration"):
            break
        if not line.strip() or line.startswith("Archive member included"):
            continue
        if not line.startswith(" "):
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            member = parts[0]
            if len(parts) == 2:
                reasons[member] = parts[1]
                member = None
        elif member:
            reasons[member] = line.strip()
            member = None
    return reasons


def contributions(lines):
    """[(output section, input section, path, size)] for the loaded sections."""
    out = []
    in_map = False
    output = None
    pending = None
    for line in lines:
        if line.startswith("Linker script and memory map"):
            in_map = True
            continue
        if not in_map:
            continue
        if line.startswith("Cross Reference Table"):
            break
        section = OUTPUT_SECTION.match(line)
        if section:
            output = section.group(1)
            pending = None
            continue
        if output not in LOADED:
            continue
        one = INPUT_ONE_LINE.match(line)
        if one and not one.group(1).startswith("*"):
            out.append((output, one.group(1), one.group(4).strip(), int(one.group(3), 16)))
            pending = None
            continue
        name = INPUT_NAME_ONLY.match(line)
        if name:
            pending = name.group(1)
            continue
        rest = INPUT_CONTINUED.match(line)
        if rest and pending:
            out.append((output, pending, rest.group(3).strip(), int(rest.group(2), 16)))
        pending = None
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("map")
    parser.add_argument("--top", type=int, default=12)
    args = parser.parse_args()
    with open(args.map, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()

    reasons = pulled_in_by(lines)
    totals = {}
    per_file = {}
    for output, section, path, size in contributions(lines):
        if size == 0:
            continue
        category, label = classify(path, section)
        kind = "code" if output == ".text" else "data"
        totals[(category, kind)] = totals.get((category, kind), 0) + size
        if category in ("program", "runtime"):
            entry = per_file.setdefault(path, {"category": category, "label": label, "size": 0})
            entry["size"] += size

    for category in ("program", "runtime", "imports"):
        for kind in ("code", "data"):
            print("map_%s_%s %d bytes" % (category, kind, totals.get((category, kind), 0)))
    print("map_resources %d bytes" % totals.get(("resources", "data"), 0))

    members = {}
    for path in per_file:
        archive, _ = split_archive(path)
        if archive in RUNTIME_ARCHIVES:
            members[archive] = members.get(archive, 0) + 1
    for archive in ("libstdc++", "libsupc++", "libgcc", "libgcc_eh", "libwinpthread", "libmingwex", "libmingw32"):
        print("map_members_%s %d objects" % (archive.replace("+", "x"), members.get(archive, 0)))

    def why(path):
        reason = reasons.get(path)
        if not reason:
            return " linked in by the compiler driver"
        referencer, _, symbol = reason.partition(" (")
        return " pulled in by %s for %s" % (classify(referencer, "")[1], symbol.rstrip(")"))

    by_size = sorted(per_file.items(), key=lambda item: -item[1]["size"])
    for rank, (path, entry) in enumerate(by_size[:args.top], 1):
        print("map_largest_%d %d bytes %s %s%s" % (rank, entry["size"], entry["category"], entry["label"],
                                                    why(path) if entry["category"] == "runtime" else ""))
    # GCC's own support code, unlike the C runtime's start-up, is there only because the program's
    # code calls it: each line names the first caller.
    support = [(path, entry) for path, entry in by_size if split_archive(path)[0] in GCC_SUPPORT]
    print("map_gcc_support %d bytes in %d objects" % (sum(e["size"] for _, e in support), len(support)))
    for rank, (path, entry) in enumerate(support, 1):
        print("map_gcc_support_%d %d bytes %s%s" % (rank, entry["size"], entry["label"], why(path)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
