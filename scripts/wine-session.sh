#!/usr/bin/env bash
# Starts or stops a private Wine session for the tests: its own Xvfb display, its own prefix and a
# persistent wineserver, described for later commands in STATE_DIR/env.
#   wine-session.sh start STATE_DIR [--display :N]    wine-session.sh stop STATE_DIR
# With --display, the session uses that X display instead of starting its own.
# Wine's background processes inherit and keep open whatever they are started with, so every one of
# them gets /dev/null and log files, never a pipe of the caller's.
set -euo pipefail

action=${1:?start or stop}
state=${2:?state directory}
given_display=""
[ "${3:-}" = --display ] && given_display=${4:?display}
here=$(cd "$(dirname "$0")" && pwd)

start_display() {
    rm -f "$state/display"
    if [ -n "$given_display" ]; then
        echo "${given_display#:}" >"$state/display"
        return
    fi
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        sleep 0.1
    done
    [ -s "$state/display" ] || { echo "wine-session: Xvfb did not start (see $state/xvfb.log)" >&2; exit 1; }
}

write_env() {
    local arch loader winearch
    arch=$("$here/wine-arch.sh")
    if [ "$arch" = i686 ]; then loader=/usr/bin/wine winearch=win32; else loader=/usr/lib/wine/wine64 winearch=win64; fi
    cat >"$state/env" <<ENV
export DISPLAY=:$(tr -d '\n' <"$state/display")
export WINEPREFIX="$state/prefix"
export WINEARCH=$winearch
export WINELOADER=$loader
export WINEDEBUG=-all
export WINE_ARCH=$arch
ENV
}

init_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$WINEPREFIX"
    # No Mono or Gecko: nothing here needs them, and their installers would wait for a click.
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINELOADER" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
    # This Wine build does not find its own fonts (Tahoma, Marlett for the caption buttons) in its data
    # folder; from the prefix's Fonts folder it does. (Its Tahoma Bold has bold bitmaps for small
    # sizes only: large bold Tahoma, such as the heading's, looks regular under Wine.)
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >>"$state/wineboot.log" 2>&1
    "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >>"$state/wineboot.log" 2>&1
}

case "$action" in
    start)
        mkdir -p "$state"
        [ -f "$state/env" ] && "$0" stop "$state"
        start_display
        write_env
        # shellcheck disable=SC1091
        . "$state/env"
        mkdir -p "$WINEPREFIX"
        wineserver -p </dev/null >"$state/wineserver.log" 2>&1
        init_prefix
        ;;
    stop)
        [ -f "$state/env" ] || exit 0
        # shellcheck disable=SC1091
        . "$state/env"
        wineserver -k </dev/null >/dev/null 2>&1 || true
        if [ -f "$state/xvfb.pid" ]; then
            kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
            rm -f "$state/xvfb.pid"
        fi
        rm -f "$state/env"
        ;;
    *)
        echo "usage: $0 start|stop STATE_DIR" >&2
        exit 2
        ;;
esac
