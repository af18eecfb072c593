#!/bin/sh
# Runs a Windows program under Wine, in a Wine prefix of the build's own and
# without Wine's own messages: the emulator of the windows preset. The first
# run boots the prefix, which Wine would report on standard error.
# usage: wine-run.sh <prefix folder> <program.exe> [arguments...]
#        wine-run.sh <prefix folder> --boot | --persist | --stop
#          boot the prefix only; start a Wine server that stays for all
#          later runs; end that server
set -e
WINEPREFIX=$1
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
shift
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # The server writes the registry when it ends: wait for that.
    flock "$WINEPREFIX/.boot" sh -c '[ -f "$WINEPREFIX/system.reg" ] ||
        { /usr/lib/wine/wine64 wineboot --init && /usr/lib/wine/wineserver -w; } >/dev/null 2>&1'
fi
case "${1:-}" in
--boot) exit 0 ;;
--persist)
    # The server and Wine's own services stay after this: none may hold a pipe
    # of the caller, or whoever reads it would wait for them.
    exec </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver -p
    exec /usr/lib/wine/wine64 wineboot ;;
--stop) /usr/lib/wine/wineserver -k 2>/dev/null || true; exit 0 ;;
esac
exec /usr/lib/wine/wine64 "$@"
