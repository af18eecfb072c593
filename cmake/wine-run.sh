#!/bin/sh
# Runs a Windows program under Wine, in a Wine prefix of the build's own and
# without Wine's own messages: the emulator of the windows preset. The first
# run boots the prefix, which Wine would report on standard error.
# usage: wine-run.sh <prefix folder> <program.exe> [arguments...]
#        wine-run.sh <prefix folder> --boot | --persist | --stop
#          boot the prefix only; start a Wine server that stays for all
#          later runs; end that server
set -e
case $1 in
/*) WINEPREFIX=$1 ;;
*) WINEPREFIX=$(pwd)/$1 ;; # Wine takes an absolute path only
esac
WINEDEBUG=-all
# The programs need neither Wine's .NET nor its HTML engine: no prefix of
# ours is to offer to download them.
WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
shift
server=/usr/lib/wine/wineserver
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # The server writes the registry when it ends: wait for that.
    flock "$WINEPREFIX/.boot" sh -c '[ -f "$WINEPREFIX/system.reg" ] ||
        { /usr/lib/wine/wine64 wineboot --init && '"$server"' -w; } >/dev/null 2>&1'
fi
case "${1:-}" in
--boot) exit 0 ;;
--persist)
    # The server and Wine's own services stay after this: none may hold a pipe
    # of the caller, or whoever reads it would wait for them.
    exec </dev/null >/dev/null 2>&1
    # A server already running for the prefix (left by an interrupted run, or
    # started by a program of an earlier step) serves this run too, with the
    # services it started: ending it, or starting them again beside them,
    # now and then makes a program of the run end at once.
    "$server" -p || exit 0
    exec /usr/lib/wine/wine64 wineboot ;;
--stop)
    "$server" -k 2>/dev/null || true
    exec "$server" -w ;;
esac
# Without a server, every program would start one of its own, which ends as
# soon as the program does: a program that connects while it ends fails at
# once, with no output. A server that stays half a minute after the last
# program (or the run's own, which stays) is there for every program.
"$server" -p30 2>/dev/null || true
exec /usr/lib/wine/wine64 "$@"
