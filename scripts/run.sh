#!/usr/bin/env bash
# `make run`: starts the program under Wine, on the current display if there is one, otherwise on a
# virtual display, where it leaves a screenshot in dist/screenshot.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=$(scripts/wine-arch.sh)
if [ "$arch" = i686 ]; then
    program=dist/orbelinchk.exe
else
    # This machine's Wine cannot run 32-bit programs: run the 64-bit build of the same sources.
    echo "run: this machine's Wine runs only 64-bit programs; starting the 64-bit build of orbelinchk"
    cmake --preset windows-x86_64 >build/configure-windows-x86_64.log 2>&1 ||
        { cat build/configure-windows-x86_64.log; exit 1; }
    cmake --build --preset windows-x86_64 --target orbelinchk
    mkdir -p build/run
    # Its own folder: the build folder holds the tests' stand-in winscard.dll.
    cp build/windows-x86_64/bin/orbelinchk.exe build/run/orbelinchk.exe
    program=build/run/orbelinchk.exe
fi

state=$PWD/build/run-session
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    scripts/wine-session.sh start "$state" --display "$DISPLAY"
    trap 'scripts/wine-session.sh stop "$state"' EXIT
    scripts/wine-run.sh "$state" "$program"
    exit 0
fi

echo "run: no display; starting the program on a virtual one"
scripts/wine-session.sh start "$state"
trap 'scripts/wine-session.sh stop "$state"' EXIT
. "$state/env"
scripts/wine-run.sh "$state" "$program" &
runner=$!
window=""
for _ in $(seq 150); do
    window=$(xdotool search --name "Orbelin - Contr" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "run: the window did not appear" >&2
    exit 1
fi
sleep 1
import -window root dist/screenshot.png
scripts/wine-session.sh stop "$state"  # ends the program with the session
wait "$runner" || true
echo "run: screenshot of the window in dist/screenshot.png"
