#!/usr/bin/env bash
# `make bench` and `make sweep`: figures, not tests. One "name value unit" line per figure on stdout
# (a budget beside its figure, "#" lines say what was measured); progress goes to stderr.
#   bench.sh [all|size|wine|sweep]...    all by default; `make bench` builds dist/orbelinchk.exe first
#   BENCH_PAIRS=N    start-up pairs (10)     BENCH_CHECKS=N    checks in the pane benchmark (2000)
# Everything is built in its own folders (build/bench-*); the Wine session is build/bench-wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
pairs=${BENCH_PAIRS:-10}
checks=${BENCH_CHECKS:-2000}
budget=$((64 * 1024))
status=0

progress() { echo "bench: $*" >&2; }

configure() {
    local dir=$1
    shift
    mkdir -p build
    cmake -S . -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log" >&2; exit 1; }
}

build() {
    local dir=$1
    shift
    cmake --build "$dir" -j2 --target "$@" >"$dir.build.log" 2>&1 || { cat "$dir.build.log" >&2; exit 1; }
}

# The shipped file and its sections; then, from a link map of the same sources built in a folder of
# its own, what each object and runtime library brings in.
size_figures() {
    local exe=dist/orbelinchk.exe map_dir=build/bench-map-i686
    [ -f "$exe" ] || { echo "bench: $exe is missing (make build)" >&2; exit 1; }
    echo "# size of $exe (i686, shipped)"
    /usr/bin/python3 bench/pe_sizes.py "$exe" --budget "$budget" || status=1

    progress "linking a copy of orbelinchk.exe with a link map in $map_dir"
    configure "$map_dir" --toolchain "$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF \
        "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-Map=$root/$map_dir/orbelinchk.map"
    build "$map_dir" orbelinchk
    echo "# what the linked code and data come from (link map; contents before section padding)"
    if cmp -s "$exe" "$map_dir/bin/orbelinchk.exe"; then
        echo "map_build_identical_to_dist 1 yes"
    else
        echo "map_build_identical_to_dist 0 no (the sources changed since make build, or the build is not reproducible)"
    fi
    /usr/bin/python3 bench/map_sizes.py "$map_dir/orbelinchk.map"
}

# Start-up, memory and the pane under Wine, for the architecture this machine's Wine runs.
wine_figures() {
    local arch dir state
    arch=$(scripts/wine-arch.sh)
    dir=build/bench-$arch
    state=$root/build/bench-wine
    progress "building the $arch programs in $dir"
    configure "$dir" --toolchain "$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel
    build "$dir" orbelinchk bare_window startup_probe pane_bench fake_winscard
    # Their own folder, away from the test programs and DLLs.
    rm -rf "$dir/startup"
    mkdir -p "$dir/startup"
    cp "$dir"/bin/{orbelinchk,bare_window,startup_probe}.exe "$dir/startup/"

    progress "starting a Wine session in $state"
    # The stand-in winscard.dll, which only the pane benchmark wants, in the prefix's system directory.
    scripts/wine-session.sh start "$state" --system-dll "$dir/system32/winscard.dll"
    trap 'scripts/wine-session.sh stop "$state"' EXIT

    progress "start-up and memory: $pairs pairs, alternated, after one warm-up pair"
    local out
    # With Wine's own winscard.dll, as a user's Wine would have.
    out=$(WINEDLLOVERRIDES=winscard=b scripts/wine-run.sh "$state" "$dir/startup/startup_probe.exe" "$pairs" \
        orbelinchk.exe bare_window.exe) || { echo "$out" >&2; exit 1; }
    echo "$out" | grep '^run ' >&2 || true
    local wine_version
    # shellcheck disable=SC1091
    wine_version=$(. "$state/env" && "$WINELOADER" --version)
    echo "# start-up (process start to visible main window) and peak working set: $arch build under" \
        "$wine_version, median of $pairs, orbelinchk against bare_window"
    echo "# peak working set: PeakWorkingSetSize from GetProcessMemoryInfo, which under Wine tracks the Linux process's VmHWM"
    echo "$out" | grep -v '^run '

    progress "pane: $checks checks"
    out=$(scripts/wine-run.sh "$state" "$dir/bin/pane_bench.exe" "$checks") || { echo "$out" >&2; exit 1; }
    echo "# one check as the pane grows: $checks checks answered 8010001D by the stand-in winscard.dll"
    echo "$out"

    scripts/wine-session.sh stop "$state"
    trap - EXIT
}

sweep_figures() {
    progress "the exhaustive sweep (a few minutes on two cores)"
    mkdir -p build
    cmake --preset native-release >build/configure-native-release.log 2>&1 ||
        { cat build/configure-native-release.log >&2; exit 1; }
    cmake --build --preset native-release --target report_sweep >build/bench-native.build.log 2>&1 ||
        { cat build/bench-native.build.log >&2; exit 1; }
    echo "# every 32-bit result code through Report and DetailText, against the sweep's own formatter"
    build/bench-native/bench/report_sweep || status=1
}

[ $# -eq 0 ] && set -- all
for part in "$@"; do
    case "$part" in
        all) size_figures; wine_figures; sweep_figures ;;
        size) size_figures ;;
        wine) wine_figures ;;
        sweep) sweep_figures ;;
        *) echo "usage: $0 [all|size|wine|sweep]..." >&2; exit 2 ;;
    esac
done
exit $status
