#!/usr/bin/python3
"""Points a linked executable's load-configuration directory at _load_config_used.

GNU ld 2.40 links the structure in but leaves data directory 10 empty, so Windows would never read
it. This finds the structure's address in the link map (the executable itself is stripped), checks
that it lies in a section's initialised data, writes its address and its own Size field into the
directory entry and recomputes the header checksum the linker wrote. Nothing else changes, and the
same input gives the same bytes. Run again, it finds the entry already set and leaves the file alone.

    point_load_config.py EXE MAP
"""

import re
import struct
import sys

LOAD_CONFIG_DIRECTORY = 10
MACHINES = {0x14C, 0x8664}
# As the map prints it: without the leading underscore that i386 symbol names carry.
SYMBOL = "_load_config_used"


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        wide = {0x10B: False, 0x20B: True}[magic]
        self.image_base = struct.unpack_from("<Q" if wide else "<I", data, optional + (24 if wide else 28))[0]
        self.checksum_at = optional + 64
        count = struct.unpack_from("<I", data, optional + (108 if wide else 92))[0]
        if count <= LOAD_CONFIG_DIRECTORY:
            raise ValueError("the optional header has no load-configuration directory entry")
        self.directory_at = optional + (112 if wide else 96) + 8 * LOAD_CONFIG_DIRECTORY
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8sIIII", data, table + 40 * i) for i in range(sections)]

    def file_offset(self, rva, length):
        """Where [rva, rva + length) lies in the file, if wholly inside one section's initialised data."""
        for _, virtual_size, address, raw_size, raw_at in self.sections:
            if address <= rva and rva + length <= address + min(virtual_size, raw_size):
                return raw_at + rva - address
        return None


def symbol_address(map_text, name):
    found = re.findall(r"^\s+0x([0-9a-f]+)\s+%s\s*$" % re.escape(name), map_text, re.MULTILINE)
    if len(found) != 1:
        raise ValueError("%s appears %d times in the link map" % (name, len(found)))
    return int(found[0], 16)


def pe_checksum(data, checksum_at):
    """The optional header's CheckSum: 16-bit words summed with carries folded, plus the file length."""
    padded = data[:checksum_at] + b"\0\0\0\0" + data[checksum_at + 4:] + b"\0" * (len(data) % 2)
    total = sum(struct.unpack("<%dH" % (len(padded) // 2), padded))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def point(data, map_text):
    image = Image(data)
    if image.machine not in MACHINES:
        raise ValueError("machine 0x%X not handled" % image.machine)
    name = SYMBOL
    rva = symbol_address(map_text, name) - image.image_base
    at = image.file_offset(rva, 4)
    if at is None:
        raise ValueError("%s (RVA 0x%X) is not in any section's data" % (name, rva))
    size = struct.unpack_from("<I", data, at)[0]
    if image.file_offset(rva, size) is None:
        raise ValueError("%s (RVA 0x%X) declares %d bytes, beyond its section" % (name, rva, size))
    current = struct.unpack_from("<II", data, image.directory_at)
    if current == (rva, size):
        return data
    if current != (0, 0):
        raise ValueError("the directory already points at RVA 0x%X, %d bytes" % current)
    written = bool(struct.unpack_from("<I", data, image.checksum_at)[0])
    patched = bytearray(data)
    struct.pack_into("<II", patched, image.directory_at, rva, size)
    if written:
        struct.pack_into("<I", patched, image.checksum_at, pe_checksum(bytes(patched), image.checksum_at))
    return bytes(patched)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    exe, map_file = sys.argv[1:]
    with open(exe, "rb") as f:
        data = f.read()
    with open(map_file, encoding="utf-8", errors="replace") as f:
        map_text = f.read()
    try:
        patched = point(data, map_text)
    except (ValueError, KeyError, struct.error) as error:
        sys.exit("point_load_config: %s: %s" % (exe, error))
    if patched != data:
        with open(exe, "r+b") as f:
            f.write(patched)


if __name__ == "__main__":
    main()
