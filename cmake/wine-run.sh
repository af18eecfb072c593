#!/bin/sh
# Runs a Windows program under Wine, in a Wine prefix of the build's own and
# without Wine's own messages: the emulator of the windows preset. The first
# run boots the prefix, which Wine would report on standard error.
# usage: wine-run.sh <prefix folder> <program.exe> [arguments...]
#        wine-run.sh <prefix folder> --boot | --persist | --stop
#          boot the prefix only; start the Wine server that every run uses,
#          as the first run does; end that server
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
# This Wine has no preloader to keep the addresses that Windows fixes free
# before anything else is mapped: with the system's address randomisation,
# about one start in two thousand finds one taken and ends before the program
# runs, with 1 and no output ("failed to map the shared user data" when
# WINEDEBUG lets it speak). Without randomisation every start is laid out alike.
wine="setarch -R /usr/lib/wine/wine64"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # The server writes the registry when it ends: wait for that.
    flock -o "$WINEPREFIX/.boot" sh -c '[ -f "$WINEPREFIX/system.reg" ] ||
        { '"$wine"' wineboot --init && '"$server"' -w; } >/dev/null 2>&1'
fi

# Makes sure that a server runs for the prefix, one that stays until it is
# ended (--stop). Without one, every program would start a server of its own,
# which ends as soon as the program does; and a server that ends on its own,
# some time after its last program, may end as a program starts: a program
# that connects then fails at once, with no output. A new server gets Wine's
# services here, apart from any caller's output: started by a program, they
# would hold its output open, and whoever reads that would wait for them for
# ever. A server that runs already (left by an interrupted run, or started by
# hand with wineserver -p) is kept; with "services", wineboot runs for it all
# the same, so that the services run whether it had them or not.
ensure_server() {
    flock -o "$WINEPREFIX/.server" sh -c '"$1" -p 2>/dev/null || [ "$2" = services ] || exit 0
        exec '"$wine"' wineboot </dev/null >/dev/null 2>&1' - "$server" "${1:-}"
}

case "${1:-}" in
--boot) exit 0 ;;
--persist) ensure_server services; exit 0 ;;
--stop)
    "$server" -k 2>/dev/null || true
    exec "$server" -w ;;
esac
ensure_server
exec $wine "$@"
