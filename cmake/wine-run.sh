#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGUMENTS...]
# The loader is the 64-bit Wine unless TESSERA_WINE names another (wine32-run.sh does).
# The Wine prefix lives next to the program (the build tree) unless WINEPREFIX is set;
# it is created on first use, once, even when several programs start together.
# TESSERA_WINE_LOCALE is the locale Wine runs in (C.UTF-8 by default), and so the ANSI
# code page that programs see: ja_JP.UTF-8 gives 932, ru_RU.UTF-8 gives 1251.
#
#   wine-run.sh --start-server DIR   creates the prefix of the programs in DIR and starts
#                                    its wineserver for good, so that each program then
#                                    starts in well under a second instead of several
#   wine-run.sh --stop-server DIR    stops that wineserver again
#   wine-run.sh --host COMMAND...    runs a command of this machine (a test script that
#                                    starts programs through this wrapper), where a
#                                    wrapper in front of this one finds that Wine can run
set -e
wine=${TESSERA_WINE:-/usr/lib/wine/wine64}
case "$1" in
  --start-server | --stop-server) mode=$1 program_dir=$(cd "$2" && pwd) ;;
  --host) shift && exec "$@" ;;
  *) mode=run program_dir=$(cd "$(dirname "$1")" && pwd) ;;
esac
export WINEPREFIX="${WINEPREFIX:-$program_dir/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINELOADER="$wine"
export WINESERVER="${WINESERVER:-$(dirname "$wine")/wineserver}"
# Wine reads the arguments and file names it is given in the locale's character set; a
# UTF-8 locale passes them on as written (in the C locale it would drop bytes above 0x7F).
# Wine takes the code page from the variable alone: the locale need not be installed.
export LC_ALL="${TESSERA_WINE_LOCALE:-C.UTF-8}"
if [ "$mode" = --stop-server ]; then
  "$WINESERVER" -k 2>/dev/null || true
  exit 0
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  flock "$WINEPREFIX/.create.lock" sh -c \
    '[ -f "$WINEPREFIX/system.reg" ] || "$WINELOADER" wineboot -i >/dev/null 2>&1; "$WINESERVER" -w'
fi
if [ "$mode" = --start-server ]; then
  # The server and the Wine services (started by wineboot) stay for the whole run: started
  # here with no output attached, they hold none of the caller's pipes open.
  exec </dev/null >/dev/null 2>&1
  "$WINESERVER" -p
  exec "$wine" wineboot
fi
exec "$wine" "$@"
