#!/usr/bin/env bash
# wine-exec.sh PREFIX PROGRAM [ARGS...]: runs a Windows program in the project's Wine prefix PREFIX
# (nt or win98) under $CORVANTIS_WINE_ROOT. Its exit code is the program's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
: "${CORVANTIS_WINE_ROOT:?CORVANTIS_WINE_ROOT names the folder of the Wine prefixes}"
export WINEPREFIX="$CORVANTIS_WINE_ROOT/$1"
shift
# The output goes through a file: a process that the program left behind must not keep the
# caller's pipe (and so ctest) waiting.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
wine "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit $status
