#!/usr/bin/env bash
# Installs, with apt, what a target needs and the machine lacks:
#   setup.sh build   building dist/orbelinchk.exe (make build, make release)
#   setup.sh run     that, and running it under Wine on a virtual display (make run)
#   setup.sh test    everything: the native and Windows-side tests, the benchmarks (make test, make bench)
# Quiet and quick when everything is already there; safe to run again.
set -euo pipefail

level=${1:-test}
# The shipped executable: the 32-bit cross-compiler (with its binutils and windres), CMake and Ninja;
# python3 for the step after the link that points the header at the load configuration.
build_packages=(cmake make ninja-build g++-mingw-w64-i686-posix mingw-w64-tools python3)
# Wine's X11 extras are listed for both loaders: Wine runs whichever of the 32-bit and 64-bit loaders
# this machine can execute (see wine-arch.sh), and the 64-bit one needs the 64-bit build of the program.
x11_extras=(libxrender1 libxcursor1 libxrandr2 libxinerama1 libxi6 libxfixes3 libxcomposite1)
run_packages=(
    g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64 fonts-wine
    "${x11_extras[@]}" "${x11_extras[@]/%/:i386}"
    xvfb xauth x11-utils xdotool imagemagick python3-pil
)
test_packages=(
    pkg-config file g++ googletest
    pcscd libpcsclite-dev
    python3-pefile libxml2-utils
    osslsigncode openssl ca-certificates
)
case "$level" in
    build) packages=("${build_packages[@]}") ;;
    run) packages=("${build_packages[@]}" "${run_packages[@]}") ;;
    test) packages=("${build_packages[@]}" "${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "setup: unknown level '$level' (build, run or test)" >&2; exit 2 ;;
esac

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
