#!/usr/bin/python3
"""Size of a PE executable against its budget, and what the bytes on disk are.

Prints "name value unit" lines: the file size with the budget beside it, its
code (.text), its resources (.rsrc) and the rest, then the rest section by
section (headers, data, imports, relocations, the runtime's unwind tables and
TLS and start-up tables).  Sizes are the sections' bytes in the file, padded to
the file alignment, so that the parts add up to the file size.  Exits 1 when
the file is over budget.

    pe_sizes.py EXE --budget BYTES
"""

import argparse
import os
import sys

import pefile


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--budget", type=int, required=True)
    args = parser.parse_args()

    size = os.path.getsize(args.exe)
    pe = pefile.PE(args.exe, fast_load=True)
    sections = {}
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode("ascii", "replace")
        sections[name] = sections.get(name, 0) + section.SizeOfRawData
    code = sections.pop(".text", 0)
    resources = sections.pop(".rsrc", 0)
    headers = pe.OPTIONAL_HEADER.SizeOfHeaders
    # Whatever follows the last section (a certificate, an overlay) counts with the headers.
    outside = size - headers - code - resources - sum(sections.values())

    print("exe_size %d bytes budget %d bytes (%.0f %%)" % (size, args.budget, 100.0 * size / args.budget))
    print("exe_code %d bytes" % code)
    print("exe_resources %d bytes" % resources)
    print("exe_rest %d bytes" % (size - code - resources))
    print("exe_rest_headers %d bytes" % (headers + outside))
    for name, raw in sorted(sections.items(), key=lambda item: -item[1]):
        if raw:
            # Section names are cut at eight characters: ".eh_fram" is .eh_frame.
            print("exe_rest_%s %d bytes" % ("eh_frame" if name == ".eh_fram" else name.lstrip("."), raw))
    if size > args.budget:
        print("exe_size over budget by %d bytes" % (size - args.budget))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
