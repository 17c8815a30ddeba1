#!/usr/bin/env bash
# Builds the shipped 32-bit orbelinchk.exe twice, from two copies of the source tree in folders of
# different lengths, each in its own clean build folder (the windows-i686 preset's, inside the copy),
# with a different time zone, locale and file times, and checks that the two files are the same bytes.
# Prints both SHA-256; on a difference, where in the file the first differing bytes are.
#   check-reproducible.sh [KEEP_DIR]     with KEEP_DIR, the two copies are left there
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -n "${1:-}" ]; then
    work=$1
    mkdir -p "$work"
else
    work=$(mktemp -d /tmp/orbelin-reproducible.XXXXXX)
    trap 'rm -rf "$work"' EXIT
fi
first=$work/a
second=$work/a-folder-with-a-much-longer-name/and-one-more-level

# The working tree as it stands, tracked and new files alike, but nothing built or ignored.
copy_sources() {
    mkdir -p "$1"
    if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$root" && git ls-files -z --cached --others --exclude-standard |
            while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done |
            tar --null -T - -cf -) | tar -xf - -C "$1"
    else
        (cd "$root" && tar --exclude=./build --exclude=./dist -cf - .) | tar -xf - -C "$1"
    fi
}

build_in() {
    local dir=$1 zone=$2 locale=$3
    (
        cd "$dir"
        export TZ=$zone LC_ALL=$locale
        cmake --preset windows-i686 -DBUILD_TESTING=OFF >configure.log 2>&1 || { cat configure.log >&2; exit 1; }
        cmake --build --preset windows-i686 --target orbelinchk -j 2 >build.log 2>&1 || { cat build.log >&2; exit 1; }
    )
}

copy_sources "$first"
copy_sources "$second"
# Source files a day older in the second copy: nothing may carry a file time into the output.
find "$second" -type f -exec touch -d '-1 day' {} +

echo "reproducible: building in $first"
build_in "$first" UTC C
echo "reproducible: building in $second"
build_in "$second" Pacific/Chatham C.UTF-8

a=$first/build/windows-i686/bin/orbelinchk.exe
b=$second/build/windows-i686/bin/orbelinchk.exe
sha256sum "$a" "$b"
if cmp -s "$a" "$b"; then
    echo "reproducible: the two builds are identical ($(stat -c %s "$a") bytes)"
    exit 0
fi

echo "reproducible: the two builds differ" >&2
/usr/bin/python3 - "$a" "$b" >&2 <<'PY'
import sys
import pefile

a, b = (open(p, "rb").read() for p in sys.argv[1:3])
differing = [i for i in range(min(len(a), len(b))) if a[i] != b[i]]
print("sizes %d and %d, %d differing bytes" % (len(a), len(b), len(differing)))
pe = pefile.PE(sys.argv[1], fast_load=True)

def where(offset):
    for s in pe.sections:
        if s.PointerToRawData <= offset < s.PointerToRawData + s.SizeOfRawData:
            return s.Name.rstrip(b"\0").decode() + "+0x%x" % (offset - s.PointerToRawData)
    return "headers" if offset < pe.OPTIONAL_HEADER.SizeOfHeaders else "outside the sections"

for offset in differing[:10]:
    print("  0x%06x %-24s %02x %02x" % (offset, where(offset), a[offset], b[offset]))
PY
exit 1
