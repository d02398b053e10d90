#!/bin/sh
# Runs a Windows program of the cross-build under wine, in the wine prefix named first:
#   run-under-wine.sh PREFIX PROGRAM [ARGUMENT...]
# The first call sets the prefix up, then starts the wine server and wine's own
# services apart from the program, the server staying 30 seconds past the last program:
# services started by a program would hold its output open, and ctest would wait for
# them, and a server started and stopped around each program costs a second apiece.
set -e
case $1 in
/*) prefix=$1 ;;
*) prefix=$PWD/$1 ;; # wine takes an absolute path only
esac
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all
mkdir -p "$prefix"
# One caller at a time; what it starts must not inherit the lock (descriptor 9).
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot --init 9>&-
        # Setting a prefix up ends with a restart of the server; let that run out.
        wineserver --wait 9>&-
    fi
    # Fails when a server runs already: it has its services.
    if wineserver -p30 9>&-; then
        wine cmd /c exit 9>&-
    fi
) 9>"$prefix.lock" </dev/null >/dev/null 2>&1
exec wine "$@"
