#!/usr/bin/env bash
# Prints the Windows architecture whose programs this machine's Wine can run: i686 when the
# 32-bit Wine loader executes here, x86_64 otherwise (some sandboxed kernels refuse 32-bit
# Linux binaries, and with them Wine's 32-bit loader; the 64-bit loader still runs x86-64 PEs).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
