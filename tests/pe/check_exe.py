#!/usr/bin/python3
"""Reads orbelinchk.exe back and checks what it carries besides code.

Windows loads the manifest, the icon, the glyphs and the version block
straight out of the .exe, and refuses to start a program whose manifest is
malformed (Wine does not), so this looks at the built file rather than at
the resource script: PE header and its hardening flags, the load
configuration, imported DLLs, icon group, glyph bitmaps, manifest and
version block, and that nothing is registered to run at exit.  One line per check, then "N passed, M failed";
exits non-zero on any failure, a missing .exe included.

    check_exe.py EXE [--version X.Y.Z.W] [--map MAP]

The version defaults to the one in the top-level CMakeLists.txt.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

import pefile

import exit_handlers

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RESOURCES = os.path.join(ROOT, "resources")
MANIFEST_FILE = os.path.join(RESOURCES, "orbelinchk.manifest")
RESOURCE_IDS_FILE = os.path.join(RESOURCES, "resource_ids.h")

RT_ICON, RT_BITMAP, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 14, 16, 24
FRENCH_FRANCE = 0x040C
WESTERN_CODE_PAGE = 1252

# Everything the program may link against: DLLs that every Windows has. The C++ runtime and
# the thread library must be linked in statically, or the .exe would not start on its own.
SYSTEM_DLLS = {name.lower() for name in (
    "KERNEL32.dll", "USER32.dll", "GDI32.dll", "msvcrt.dll", "WinSCard.dll", "ADVAPI32.dll",
    "SHELL32.dll", "OLE32.dll", "OLEAUT32.dll", "COMCTL32.dll", "COMDLG32.dll", "UxTheme.dll",
    "MSIMG32.dll", "SHLWAPI.dll", "VERSION.dll", "dwmapi.dll",
)}
MINGW_RUNTIME_PREFIXES = ("libstdc++", "libgcc", "libwinpthread")
REQUIRED_IMPORTS = {"winscard.dll": {"SCardEstablishContext", "SCardReleaseContext"}}
# Loaded by the program itself once it has taken its own folder out of the DLL search: imported, they
# (and their own imports) would be looked for there first, before the program could restrict anything.
RUN_TIME_ONLY_DLLS = {name.lower() for name in ("COMCTL32.dll", "UxTheme.dll", "RICHED20.dll", "MSIMG32.dll")}

# ASLR, DEP, Remote Desktop aware; and no frame-based exception handler may be in the image (the
# program registers none, see check_no_frame_handlers), which Windows then refuses outright.
DLL_CHARACTERISTICS = {"DYNAMIC_BASE": 0x0040, "NX_COMPAT": 0x0100, "NO_SEH": 0x0400, "TERMINAL_SERVER_AWARE": 0x8000}
# The load configuration: 64 bytes, the size x86 Windows has always accepted, which ends just before
# SEHandlerTable and SEHandlerCount (no SafeSEH table); DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32,
# everything else (security cookie, lock prefixes, heap settings...) zero. The guard fields lie beyond.
LOAD_CONFIG_DIRECTORY = 10
LOAD_CONFIG_SIZE = 64
DEPENDENT_LOAD_FLAGS_AT, LOAD_LIBRARY_SEARCH_SYSTEM32 = 54, 0x800

ICON_GROUP = "MAINICON"
ICON_FORMATS = sorted((size, size, bits) for size in (16, 24, 32, 48) for bits in (8, 32))
GLYPHS = {"GLYPH_QUIT": "glyph_quit.bmp", "GLYPH_CONTROLE": "glyph_controle.bmp"}
GLYPH_SIZE, GLYPH_BITS = 24, 24

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
TRUST_NAMESPACES = ("urn:schemas-microsoft-com:asm.v2", "urn:schemas-microsoft-com:asm.v3")
COMPATIBILITY_V1 = "urn:schemas-microsoft-com:compatibility.v1"
PROGRAM_NAME = "fr.orbelin.orbelinchk"
COMMON_CONTROLS = {
    "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
    "publicKeyToken": "6595b64144ccf1df", "language": "*", "processorArchitecture": "*",
}
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}
# Per-monitor or system DPI awareness would stop Windows from scaling the window up on
# high-DPI screens; the layout is in fixed pixels and relies on that scaling.
DPI_ELEMENTS = {"dpiaware", "dpiawareness"}
MANIFEST_ARCHITECTURE = {0x14C: "x86", 0x8664: "amd64"}

STRING_TABLE = "040C04E4"
COMPANY = "Orbelin Sant\u00e9 SAS"


def version_strings(version):
    return {
        "CompanyName": COMPANY,
        "FileDescription": "orbelinchk",
        "FileVersion": version,
        "InternalName": "orbelinchk",
        "LegalCopyright": "\u00a9 2026 " + COMPANY,
        "OriginalFilename": "orbelinchk",
        "ProductName": "Orbelin",
        "ProductVersion": version,
        "ProgramID": PROGRAM_NAME,
    }


def fixed_file_info(version):
    major, minor, patch, tweak = (int(part) for part in version.split("."))
    packed = ((major << 16) | minor, (patch << 16) | tweak)
    return {
        "Signature": 0xFEEF04BD,
        "StrucVersion": 0x00010000,
        "FileVersionMS": packed[0], "FileVersionLS": packed[1],
        "ProductVersionMS": packed[0], "ProductVersionLS": packed[1],
        "FileFlagsMask": 0x3F,
        "FileFlags": 0,
        "FileOS": 0x4,      # VOS__WINDOWS32
        "FileType": 0x1,    # VFT_APP
        "FileSubtype": 0,
        "FileDateMS": 0, "FileDateLS": 0,
    }


class Report:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print("PASS " + name)
        else:
            self.failed += 1
            print("FAIL " + name + (": " + detail if detail else ""))
        return ok

    def equal(self, name, actual, expected):
        return self.check(name, actual == expected, "got %r, expected %r" % (actual, expected))


# --------------------------------------------------------------------------
# Reading the .exe
# --------------------------------------------------------------------------

def resource_table(pe):
    """{type: {name: {language: bytes}}}, names as ints or strings, empty without resources."""
    table = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for type_entry in root.entries if root else []:
        names = table.setdefault(entry_key(type_entry), {})
        for name_entry in type_entry.directory.entries:
            languages = names.setdefault(entry_key(name_entry), {})
            for lang_entry in name_entry.directory.entries:
                data = lang_entry.data.struct
                languages[lang_entry.id] = pe.get_data(data.OffsetToData, data.Size)
    return table


def entry_key(entry):
    return str(entry.name) if entry.name is not None else entry.id


def only_language(languages):
    """The data of a resource present in exactly one language, else None."""
    return next(iter(languages.values())) if len(languages) == 1 else None


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def parse_png_header(data):
    """{width, height, depth, colour_type, interlace} from a PNG's IHDR, or None if it is not one."""
    if len(data) < 33 or data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        return None
    width, height, depth, colour_type, _, _, interlace = struct.unpack_from(">IIBBBBB", data, 16)
    return {"width": width, "height": height, "depth": depth, "colour_type": colour_type,
            "interlace": interlace}


def parse_bitmap_info(dib):
    if len(dib) < 40:
        return None
    names = ("size", "width", "height", "planes", "bits", "compression")
    return dict(zip(names, struct.unpack_from("<IiiHHI", dib, 0)))


def parse_icon_group(data):
    """[(width, height, bits, bytes, icon id)] from a GRPICONDIR, or None if malformed."""
    if len(data) < 6:
        return None
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or len(data) != 6 + 14 * count:
        return None
    entries = []
    for i in range(count):
        width, height, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        entries.append((width or 256, height or 256, bits, size, icon_id))
    return entries


def ico_images(path):
    """{(width, height, bits): image bytes} as stored in an .ico file."""
    with open(path, "rb") as f:
        data = f.read()
    _, _, count = struct.unpack_from("<HHH", data, 0)
    images = {}
    for i in range(count):
        width, height, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images[(width or 256, height or 256, bits)] = data[offset:offset + size]
    return images


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


# --------------------------------------------------------------------------
# Checks
# --------------------------------------------------------------------------

def check_header(report, pe):
    report.equal("machine is i386", pe.FILE_HEADER.Machine, 0x14C)
    report.equal("optional header is PE32", pe.OPTIONAL_HEADER.Magic, 0x10B)
    report.equal("subsystem is Windows GUI", pe.OPTIONAL_HEADER.Subsystem, 2)


def check_dll_characteristics(report, pe):
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    for name, bit in DLL_CHARACTERISTICS.items():
        report.check("DllCharacteristics has %s" % name, flags & bit, "0x%04X" % flags)
    # The header is edited after the link (the load configuration's entry): the checksum must follow.
    report.equal("header checksum is the file's", pe.OPTIONAL_HEADER.CheckSum, pe.generate_checksum())


def check_load_config(report, pe):
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[LOAD_CONFIG_DIRECTORY]
    section = pe.get_section_by_rva(entry.VirtualAddress) if entry.VirtualAddress else None
    inside = section is not None and entry.VirtualAddress + entry.Size <= \
        section.VirtualAddress + min(section.Misc_VirtualSize, section.SizeOfRawData)
    if not report.check("load configuration entry lies in a section's data", inside,
                        "RVA 0x%X, %d bytes" % (entry.VirtualAddress, entry.Size)):
        return
    report.equal("load configuration entry size", entry.Size, LOAD_CONFIG_SIZE)
    data = pe.get_data(entry.VirtualAddress, LOAD_CONFIG_SIZE)
    report.equal("load configuration Size field", struct.unpack_from("<I", data, 0)[0], LOAD_CONFIG_SIZE)
    report.equal("DependentLoadFlags", struct.unpack_from("<H", data, DEPENDENT_LOAD_FLAGS_AT)[0],
                 LOAD_LIBRARY_SEARCH_SYSTEM32)
    others = data[4:DEPENDENT_LOAD_FLAGS_AT] + data[DEPENDENT_LOAD_FLAGS_AT + 2:]
    report.check("every other load configuration field is zero (no security cookie, no lock prefixes)",
                 others == bytes(len(others)), others.hex())


def check_no_frame_handlers(report, path):
    # On x86 a frame-based handler is registered through the thread's exception list at fs:[0].
    objdump = shutil.which("i686-w64-mingw32-objdump")
    if not report.check("i686-w64-mingw32-objdump available", objdump is not None, "install binutils-mingw-w64-i686"):
        return
    result = subprocess.run([objdump, "-d", path], capture_output=True, text=True, check=True)
    uses = [line.strip() for line in result.stdout.splitlines() if re.search(r"%fs:0x0\b", line)]
    report.check("no code touches the exception list at fs:[0]", not uses, "; ".join(uses[:3]))


def check_no_exit_handlers(report, path, map_path):
    if not report.check("link map present", os.path.isfile(map_path), "%s not found" % map_path):
        return
    found = exit_handlers.findings(path, map_path)
    report.check("nothing registered to run at exit", not found,
                 "; ".join(found) + ". " + exit_handlers.REASON)


def check_imports(report, pe):
    imports = {}
    for directory in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for dll in getattr(pe, directory, []):
            functions = imports.setdefault(dll.dll.decode("ascii").lower(), set())
            functions.update(f.name.decode("ascii") for f in dll.imports if f.name)
    runtime = sorted(d for d in imports if d.startswith(MINGW_RUNTIME_PREFIXES))
    report.check("no MinGW runtime DLL imported", not runtime, ", ".join(runtime))
    foreign = sorted(set(imports) - SYSTEM_DLLS)
    report.check("imports only from Windows system DLLs", imports and not foreign,
                 ", ".join(foreign) if foreign else "no imports at all")
    imported_early = sorted(set(imports) & RUN_TIME_ONLY_DLLS)
    report.check("no import of %s" % ", ".join(sorted(RUN_TIME_ONLY_DLLS)), not imported_early,
                 ", ".join(imported_early))
    for dll, wanted in REQUIRED_IMPORTS.items():
        missing = sorted(wanted - imports.get(dll, set()))
        report.check("%s imported from %s" % (" and ".join(sorted(wanted)), dll), not missing,
                     "missing " + ", ".join(missing))


def check_languages(report, resources):
    # Windows picks among languages by the user's settings; a resource present twice would show
    # one or the other depending on the machine.
    odd = ["%s/%s: %s" % (kind, name, ["0x%04X" % lang for lang in sorted(languages)])
           for kind, names in resources.items() for name, languages in names.items()
           if list(languages) != [FRENCH_FRANCE]]
    report.check("every resource exists once, in French (France)", resources and not odd,
                 "; ".join(odd) if odd else "no resources")


def check_icons(report, resources):
    groups = resources.get(RT_GROUP_ICON, {})
    if not report.equal("one icon group, %s" % ICON_GROUP, list(groups), [ICON_GROUP]):
        return
    group = only_language(groups[ICON_GROUP])
    entries = parse_icon_group(group) if group is not None else None
    if not report.check("icon group is a well-formed GRPICONDIR", entries is not None):
        return
    report.equal("icon group formats (width, height, bits)",
                 sorted(entry[:3] for entry in entries), ICON_FORMATS)
    icons = resources.get(RT_ICON, {})
    report.equal("every icon image belongs to the group",
                 sorted(icons), sorted(entry[4] for entry in entries))
    source = ico_images(os.path.join(RESOURCES, "orbelinchk.ico"))
    for width, height, bits, size, icon_id in entries:
        name = "icon %dx%d %d-bit" % (width, height, bits)
        image = only_language(icons.get(icon_id, {}))
        if not report.check(name + " present", image is not None, "no RT_ICON %d" % icon_id):
            continue
        if bits == 32:
            # Stored as PNG, which Windows Vista and later decode to a 32-bit image with alpha.
            png = parse_png_header(image)
            found = png and (png["width"], png["height"], png["depth"], png["colour_type"], png["interlace"])
            report.equal(name + " is an RGBA PNG agreeing with its group entry", (len(image), found),
                         (size, (width, height, 8, 6, 0)))
        else:
            info = parse_bitmap_info(image)
            # An icon DIB's height covers the colour image and the AND mask below it.
            found = info and (info["size"], info["width"], info["height"], info["planes"], info["bits"])
            report.equal(name + " header agrees with its group entry", (len(image), found),
                         (size, (40, width, 2 * height, 1, bits)))
        report.check(name + " is the image from orbelinchk.ico",
                     image == source.get((width, height, bits)))


def check_glyphs(report, resources):
    bitmaps = resources.get(RT_BITMAP, {})
    for name, file_name in sorted(GLYPHS.items()):
        dib = only_language(bitmaps.get(name, {}))
        if not report.check("bitmap %s present" % name, dib is not None):
            continue
        info = parse_bitmap_info(dib)
        found = info and (info["width"], abs(info["height"]), info["bits"], info["compression"])
        report.equal("bitmap %s is %dx%d, %d-bit, uncompressed" % (name, GLYPH_SIZE, GLYPH_SIZE, GLYPH_BITS),
                     found, (GLYPH_SIZE, GLYPH_SIZE, GLYPH_BITS, 0))
        with open(os.path.join(RESOURCES, file_name), "rb") as f:
            # A BITMAP resource is the .bmp file without its 14-byte file header.
            report.check("bitmap %s is %s" % (name, file_name), dib == f.read()[14:])


def check_resource_ids(report, resources):
    # The names the C++ side loads must all be in the .exe, or LoadImage fails at run time.
    with open(RESOURCE_IDS_FILE, encoding="utf-8") as f:
        declared = set(re.findall(r'L"([A-Za-z0-9_]+)"', f.read()))
    present = {name for names in resources.values() for name in names if isinstance(name, str)}
    report.equal("names in resource_ids.h", sorted(declared), sorted([ICON_GROUP, *GLYPHS]))
    missing = sorted(declared - present)
    report.check("every name in resource_ids.h is in the .exe", not missing, ", ".join(missing))


def check_manifest(report, pe, resources, version):
    manifests = resources.get(RT_MANIFEST, {})
    if not report.equal("one manifest, id 1", list(manifests), [1]):
        return
    data = only_language(manifests[1])
    with open(MANIFEST_FILE, "rb") as f:
        report.check("embedded manifest is resources/orbelinchk.manifest", data == f.read())
    try:
        root = ET.fromstring(data)
    except ET.ParseError as error:
        report.check("manifest is well-formed XML", False, str(error))
        return
    report.check("manifest is well-formed XML", True)
    v1 = "{%s}" % ASM_V1
    report.equal("manifest root", (root.tag, root.get("manifestVersion")), (v1 + "assembly", "1.0"))

    identity = root.find(v1 + "assemblyIdentity")
    report.equal("manifest names the program", identity is not None and dict(identity.attrib), {
        "type": "win32", "name": PROGRAM_NAME, "version": version,
        "processorArchitecture": MANIFEST_ARCHITECTURE.get(pe.FILE_HEADER.Machine),
    })
    dependencies = [dict(element.attrib) for element in
                    root.findall("%sdependency/%sdependentAssembly/%sassemblyIdentity" % (v1, v1, v1))]
    report.equal("manifest depends on Common Controls 6 only", dependencies, [COMMON_CONTROLS])

    levels = [dict(element.attrib) for ns in TRUST_NAMESPACES for element in root.findall(
        "{0}trustInfo/{0}security/{0}requestedPrivileges/{0}requestedExecutionLevel".format("{%s}" % ns))]
    report.equal("manifest runs as invoker", levels, [{"level": "asInvoker", "uiAccess": "false"}])

    compatibility = "{%s}" % COMPATIBILITY_V1
    systems = [element.get("Id") for element in
               root.findall("%scompatibility/%sapplication/%ssupportedOS" % ((compatibility,) * 3))]
    report.check("manifest supports Vista to 10, each once", sorted(systems) == sorted(SUPPORTED_OS),
                 "got %s" % systems)

    dpi = sorted({local_name(element.tag) for element in root.iter()
                  if local_name(element.tag).lower() in DPI_ELEMENTS})
    report.check("manifest declares no DPI awareness", not dpi, ", ".join(dpi))


def check_manifest_file(report):
    xmllint = shutil.which("xmllint")
    if not report.check("xmllint available", xmllint is not None, "install libxml2-utils"):
        return
    result = subprocess.run([xmllint, "--noout", MANIFEST_FILE], capture_output=True, text=True)
    report.check("xmllint accepts resources/orbelinchk.manifest", result.returncode == 0,
                 result.stderr.strip())


def check_version(report, pe, resources, version):
    if not report.equal("one version block, id 1", list(resources.get(RT_VERSION, {})), [1]):
        return
    fixed = getattr(pe, "VS_FIXEDFILEINFO", [])
    if report.equal("one fixed file info", len(fixed), 1):
        for field, expected in fixed_file_info(version).items():
            report.equal("fixed file info %s = 0x%X" % (field, expected), getattr(fixed[0], field), expected)

    tables, translations = [], []
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            tables += getattr(block, "StringTable", [])
            translations += getattr(block, "Var", [])
    if report.equal("string tables", [t.LangID.decode("ascii").upper() for t in tables], [STRING_TABLE]):
        strings = {key.decode("utf-8"): value.decode("utf-8") for key, value in tables[0].entries.items()}
        expected = version_strings(version)
        report.equal("string keys", sorted(strings), sorted(expected))
        for key, value in expected.items():
            report.equal("string %s" % key, strings.get(key), value)
        report.check("ProgramID ends with orbelinchk", strings.get("ProgramID", "").endswith("orbelinchk"))
        unencodable = [key for key, value in strings.items() if not encodable(value, "cp1252")]
        report.check("strings fit the declared code page 1252", not unencodable, ", ".join(unencodable))

    # pefile keeps only the last language/code-page pair of a Var, hence the length check.
    found = [(var.entry, var.ValueLength) for var in translations if hasattr(var, "entry")]
    report.equal("translation", found, [({b"Translation": "0x%04x 0x%04x" % (FRENCH_FRANCE, WESTERN_CODE_PAGE)}, 4)])


def encodable(text, codec):
    try:
        text.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"project\(\s*orbelinchk\s+VERSION\s+(\d+\.\d+\.\d+\.\d+)", f.read())
    if not match:
        sys.exit("check_exe: no four-part project(orbelinchk VERSION ...) in CMakeLists.txt")
    return match.group(1)


def run_checks(report, path, version, map_path):
    if not report.check("executable exists", os.path.isfile(path),
                        "%s not found: build it first (make build)" % path):
        return
    pe = pefile.PE(path)
    resources = resource_table(pe)
    groups = (
        (check_header, pe),
        (check_dll_characteristics, pe),
        (check_load_config, pe),
        (check_no_frame_handlers, path),
        (check_no_exit_handlers, path, map_path),
        (check_imports, pe),
        (check_languages, resources),
        (check_icons, resources),
        (check_glyphs, resources),
        (check_resource_ids, resources),
        (check_manifest, pe, resources, version),
        (check_manifest_file,),
        (check_version, pe, resources, version),
    )
    for function, *arguments in groups:
        try:
            function(report, *arguments)
        except Exception as error:  # A malformed structure fails its group, not the whole run.
            report.check(function.__name__, False, "%s: %s" % (type(error).__name__, error))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n", 1)[0])
    parser.add_argument("exe")
    parser.add_argument("--version", help="expected X.Y.Z.W (default: the project's)")
    parser.add_argument("--map", help="the link's map (default: orbelinchk.map in the build folder above EXE's)")
    args = parser.parse_args()
    report = Report()
    map_path = args.map or os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.exe))), "orbelinchk.map")
    run_checks(report, args.exe, args.version or project_version(), map_path)
    print("%d passed, %d failed" % (report.passed, report.failed))
    return 1 if report.failed else 0


if __name__ == "__main__":
    sys.exit(main())
