#!/bin/sh
# GNU ld runs this when the executable's link fails on an undefined symbol: for the symbols that the
# entry point (app/entry.cpp) leaves out on purpose, it says why, beside ld's own message.
#   explain_undefined.sh undefined-symbol NAME | missing-lib NAME
[ "$1" = undefined-symbol ] || exit 0
case "$2" in
    *atexit | *onexit | *dllonexit)
        echo "orbelinchk: '$2' is referred to, most likely by a static object with a destructor (GCC" \
            "registers its destructor through atexit). app/entry.cpp ends the process with ExitProcess and" \
            "never runs exit handlers, so that destructor would never run: give the object a trivial" \
            "destructor, or make it a member of the window (destroyed with it)." >&2 ;;
    *pei386_runtime_relocator)
        echo "orbelinchk: data exported by a DLL is referred to without dllimport; the executable has no" \
            "start-up code to patch such references at run time (see app/entry.cpp): declare it dllimport." >&2 ;;
esac
exit 0
