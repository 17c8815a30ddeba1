#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and the machine lacks.
# Quiet and quick when everything is already there; safe to run again.
set -euo pipefail

# Wine's X11 extras are listed for both loaders: the tests run whichever of the 32-bit and
# 64-bit loaders this machine can execute (see wine-arch.sh).
x11_extras=(libxrender1 libxcursor1 libxrandr2 libxinerama1 libxi6 libxfixes3 libxcomposite1)
packages=(
    cmake make ninja-build pkg-config file
    g++ googletest
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine wine32:i386 wine64 fonts-wine
    "${x11_extras[@]}" "${x11_extras[@]/%/:i386}"
    xvfb xauth x11-utils xdotool imagemagick
    pcscd libpcsclite-dev
    python3 python3-pil python3-pefile libxml2-utils
    osslsigncode openssl ca-certificates
)

# A bare name means the machine's own architecture; architecture-independent packages answer only
# to the bare name.
native=$(dpkg --print-architecture)
status_of() {
    local query=$1
    [[ $query == *:* ]] || query="$1:$native"
    dpkg-query -W -f='${db:Status-Status}\n' "$query" 2>/dev/null ||
        dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | head -n 1
}

missing=()
for p in "${packages[@]}"; do
    [ "$(status_of "$p")" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo -n)
else
    echo "setup: missing packages and no way to install them (not root, no sudo): ${missing[*]}" >&2
    exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
