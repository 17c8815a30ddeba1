#!/usr/bin/env bash
# Runs a Windows program in the Wine session of STATE_DIR (see wine-session.sh) and passes on its
# output and exit code. The program's output goes through a file: Wine's background processes would
# hold a pipe open and the caller would wait forever. A winscard.dll in the prefix's system directory
# (the tests' recording double, see wine-session.sh --system-dll) wins over Wine's own, unless the
# caller's WINEDLLOVERRIDES says otherwise for winscard (winscard=b: Wine's own). Without one there,
# the directory holds Wine's placeholder and Wine's own answers.
#   wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
set -uo pipefail

state=${1:?state directory}
shift
[ -f "$state/env" ] || { echo "wine-run: no Wine session in $state (wine-session.sh start)" >&2; exit 1; }
# shellcheck disable=SC1091
. "$state/env"
if [[ ";${WINEDLLOVERRIDES:-}" != *[\;,]winscard[,=]* ]]; then
    export WINEDLLOVERRIDES="winscard=n,b${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
fi

output=$(mktemp "$state/output.XXXXXX")
"$WINELOADER" "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
rm -f "$output"
exit $status
