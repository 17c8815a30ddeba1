#!/usr/bin/env bash
# Starts or stops a private Wine session for the tests: its own Xvfb display, its own prefix and a
# persistent wineserver, described for later commands in STATE_DIR/env.
#   wine-session.sh start STATE_DIR [--display :N] [--system-dll FILE.dll]...
#   wine-session.sh stop STATE_DIR
# With --display, the session uses that X display instead of starting its own. Each --system-dll is
# copied into the prefix's system directory, where Windows looks for the programs' static imports
# (their load configuration keeps them out of the programs' own folder); STATE_DIR/system-dlls.txt
# lists where they went.
# Wine's background processes inherit and keep open whatever they are started with, so every one of
# them gets /dev/null and log files, never a pipe of the caller's.
set -euo pipefail

action=${1:?start or stop}
state=${2:?state directory}
given_display=""
system_dlls=()
if [ "$action" = start ]; then
    shift 2
    while [ $# -gt 0 ]; do
        case "$1" in
            --display) given_display=${2:?display} ;;
            --system-dll) system_dlls+=("${2:?DLL file}") ;;
            *) echo "wine-session: unknown option $1" >&2; exit 2 ;;
        esac
        shift 2
    done
fi
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

# A 32-bit DLL in a 64-bit prefix belongs in syswow64, as on 64-bit Windows.
system_dir_for() {
    local dll=$1 pe machine
    pe=$(od -An -tu4 -j60 -N4 "$dll" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$dll" | tr -d ' ')
    if [ "$WINEARCH" = win64 ] && [ "$machine" = 014c ]; then
        echo "$WINEPREFIX/drive_c/windows/syswow64"
    else
        echo "$WINEPREFIX/drive_c/windows/system32"
    fi
}

install_system_dlls() {
    local dll target
    : >"$state/system-dlls.txt"
    for dll in ${system_dlls[@]+"${system_dlls[@]}"}; do
        [ -f "$dll" ] || { echo "wine-session: $dll not found" >&2; exit 1; }
        target=$(system_dir_for "$dll")/$(basename "$dll")
        cp "$dll" "$target"
        echo "$target" >>"$state/system-dlls.txt"
    done
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
        install_system_dlls
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
