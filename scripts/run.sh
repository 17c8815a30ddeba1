#!/usr/bin/env bash
# `make run`: starts the program under Wine with Wine's own winscard.dll. On a reachable display it
# opens there and this waits until it is closed. Without one, it runs on a virtual display: one check
# (a click on " Lancer le contrôle"), a screenshot in dist/screenshot.png, then " Quitter", and the
# program must have exited with 0.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "run: $*" >&2
    exit 1
}

# What the set-up installs; missing here means it could not (not root, no sudo) or was not run.
need() {
    local command=$1 package=$2
    command -v "$command" >/dev/null 2>&1 ||
        fail "'$command' is missing; install the package $package (make run installs it when run as root or with sudo)"
}

# Without this, a newcomer's first check under Wine looks like a broken program.
explain_wine_report() {
    cat <<'TEXT'
run: under Wine, a click on " Lancer le contrôle" reports "Erreur durant la connexion au service",
run:   then "Retour : Une case activée de cohérence interne a échoué" (code 0x80100001,
run:   SCARD_F_INTERNAL_ERROR). That is Wine's own winscard.dll, a stub that gives this answer to
run:   every program that asks for a smart-card context: the program reports it faithfully.
run: On Windows the same click asks the Smart Card service (SCardSvr) for a context in the user's
run:   scope: "Connecté au service" when it answers; otherwise its own code, in French (for example
run:   "... n est pas en cours d exécution" when the service is stopped).
TEXT
}

arch=$(scripts/wine-arch.sh)
if [ "$arch" = i686 ]; then
    need wine wine
    program=dist/orbelinchk.exe
    [ -f "$program" ] || fail "$program is missing; build it with: make build"
else
    [ -x /usr/lib/wine/wine64 ] || fail "/usr/lib/wine/wine64 is missing; install the package wine64"
    # This machine's Wine cannot run 32-bit programs: run the 64-bit build of the same sources.
    echo "run: this machine's Wine runs only 64-bit programs; starting the 64-bit build of orbelinchk"
    mkdir -p build
    cmake --preset windows-x86_64 -DBUILD_TESTING=OFF >build/configure-windows-x86_64.log 2>&1 ||
        { cat build/configure-windows-x86_64.log; fail "could not configure the 64-bit build"; }
    cmake --build --preset windows-x86_64 --target orbelinchk
    program=build/windows-x86_64/bin/orbelinchk.exe
fi
need wineserver wine

# A new prefix each time: one left from an earlier run may predate the session's set-up.
state=$PWD/build/run-session
scripts/wine-session.sh stop "$state"
if [ -d "$state/prefix" ]; then
    WINEPREFIX=$state/prefix wineserver -w  # its server writes the registry there as it exits
    rm -rf "$state/prefix"
fi

[ -n "${DISPLAY:-}" ] && need xdpyinfo x11-utils
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "run: orbelinchk is opening on display $DISPLAY; close its window to finish"
    explain_wine_report
    scripts/wine-session.sh start "$state" --display "$DISPLAY"
    trap 'scripts/wine-session.sh stop "$state"' EXIT
    status=0
    scripts/wine-run.sh "$state" "$program" || status=$?
    [ "$status" -eq 0 ] || fail "orbelinchk exited with $status"
    echo "run: orbelinchk was closed"
    exit 0
fi

[ -n "${DISPLAY:-}" ] && echo "run: display $DISPLAY cannot be reached"
need Xvfb xvfb
need xdotool xdotool
need import imagemagick
if ! /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
    fail "Debian's Python with PIL (/usr/bin/python3, python3-pil) is missing; install the package python3-pil"
fi

echo "run: no display; starting the program on a virtual one"
explain_wine_report
runner=""
stop_all() {
    [ -n "$runner" ] && kill -0 "$runner" 2>/dev/null && kill -- "-$runner" 2>/dev/null
    scripts/wine-session.sh stop "$state"
}
trap stop_all EXIT
scripts/wine-session.sh start "$state"
# shellcheck disable=SC1091
. "$state/env"

# Bounded wait for a condition: poll TENTHS COMMAND...
poll() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The program in a process group of its own, so that it can be stopped as a whole if need be.
setsid scripts/wine-run.sh "$state" "$program" >"$state/program.log" 2>&1 &
runner=$!
window=""
find_window() { window=$(xdotool search --name "^Orbelin - Contr" 2>/dev/null | head -n 1) && [ -n "$window" ]; }
poll 300 find_window || fail "the window did not appear (see $state/program.log)"

# With Wine drawing the frame, the X window is the whole frame: the client sits at the bottom,
# inside equal borders.
locate() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    border=$(((WIDTH - 596) / 2))
    cx=$((X + border)) cy=$((Y + HEIGHT - 427 - border))
}
shot=$state/screen.png

# How many pixels of the given colours (RRGGBB) a box of the screen holds:  count X Y W H COLOUR...
count() {
    import -window root "$shot" 2>/dev/null || return 1
    /usr/bin/python3 - "$shot" "$@" <<'PY'
import sys
from PIL import Image
left, top, width, height = map(int, sys.argv[2:6])
colours = {tuple(bytes.fromhex(c)) for c in sys.argv[6:]}
box = Image.open(sys.argv[1]).convert("RGB").crop((left, top, left + width, top + height))
print(sum(1 for p in box.getdata() if p in colours))
PY
}
# A report is bold red or green text in the pane; the check button's corner is white unless hot.
report_shown() { [ "$(count $((cx + 24)) $((cy + 192)) 553 185 ff0000 008000)" -gt 20 ]; }
button_plain() { [ "$(count $((cx + 213)) $((cy + 145)) 1 1 ffffff)" -eq 1 ]; }

# A window just mapped may still be moved to its centred place and painted: the black heading where
# the client is thought to be says both are done, so that the click lands on the button.
window_drawn() { locate && [ "$(count $((cx + 72)) $((cy + 14)) 457 29 000000)" -gt 200 ]; }
poll 300 window_drawn || fail "the window was not drawn where it was expected"
xdotool mousemove $((cx + 298)) $((cy + 159)) click 1
poll 300 report_shown || fail "no report appeared after a click on \" Lancer le contrôle\""
xdotool mousemove $((cx + 100)) $((cy + 110))  # off the buttons, so that neither looks hot
poll 50 button_plain || fail "the check button kept its hot look"
mkdir -p dist
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage dist/screenshot.png

xdotool mousemove $((cx + 295)) $((cy + 406)) click 1
program_ended() { ! kill -0 "$runner" 2>/dev/null; }
poll 300 program_ended || fail "orbelinchk did not end after a click on \" Quitter\""
status=0
wait "$runner" || status=$?
runner=""
[ "$status" -eq 0 ] || fail "orbelinchk exited with $status after \" Quitter\""
echo "run: one check done; orbelinchk exited with 0 after \" Quitter\""
echo "run: screenshot of the window in $PWD/dist/screenshot.png"
