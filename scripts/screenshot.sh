#!/usr/bin/env bash
# Takes screenshots of the window after two checks (one success, one "service not running"), with the
# classic look, with Wine's Light visual style, and in a dark colour scheme like High Contrast Black
# (classic, with the scheme's system colours):  screenshot.sh PROGRAM.exe OUTPUT_DIR
# The program runs in a session of its own, with the tests' stand-in winscard.dll, built beside its
# build folder (in ../system32), in the prefix's system directory.
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "$1")
output=$(realpath -m "$2")
state=$PWD/build/screenshot-session
mkdir -p "$output"
scripts/wine-session.sh start "$state" --system-dll "$(dirname "$program")/../system32/winscard.dll"
trap 'scripts/wine-session.sh stop "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"

stage=$state/program
mkdir -p "$stage"
cp "$program" "$stage/orbelinchk.exe"

client_origin() {  # prints "x y" of the client area's top-left on the screen
    local window=$1 x y w h
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    local border=$(((w - 596) / 2))
    echo $((x + border)) $((y + h - 427 - border))
}

# The dark scheme goes where Windows keeps it and where a Wine session keeps its working copy, which a
# program starting reads first. It is the last look taken: the session is thrown away after it.
dark_scheme() {
    local key name
    for key in 'HKCU\Control Panel\Colors' 'HKCU\Software\Wine\Temporary System Parameters\Control Panel\Colors'; do
        for name in 'Window 0 0 0' 'WindowText 255 255 255' 'Hilight 26 235 255' 'HilightText 0 0 0' \
            'ButtonFace 0 0 0' 'ButtonText 255 255 255' 'ButtonShadow 128 128 128' 'ButtonHilight 255 255 255' \
            'GrayText 63 242 63' 'HotTrackingColor 255 255 0'; do
            "$WINELOADER" reg add "$key" /v "${name%% *}" /d "${name#* }" /f </dev/null >/dev/null 2>&1
        done
    done
}

for look in classic light dark; do
    active=$([ $look = light ] && echo 1 || echo 0)
    [ $look = dark ] && dark_scheme
    "$WINELOADER" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        /v ThemeActive /d $active /f </dev/null >/dev/null 2>&1
    FAKE_WINSCARD_RESULTS=0,8010001D scripts/wine-run.sh "$state" "$stage/orbelinchk.exe" >/dev/null &
    runner=$!
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Orbelin - Contr" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
    sleep 0.5
    read -r cx cy < <(client_origin "$window")
    for _ in 1 2; do
        xdotool mousemove $((cx + 298)) $((cy + 159)) click 1
        sleep 0.4
    done
    xdotool mousemove $((cx + 295)) $((cy + 406))  # rest over " Quitter" to show its hot look
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output/$look.png"
    xdotool click 1  # " Quitter"
    wait "$runner"
    echo "screenshot: $output/$look.png (the program exited with $?)"
done
