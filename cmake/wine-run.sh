#!/bin/sh
# Runs a Windows program under 64-bit Wine: wine-run.sh PROGRAM.exe [ARGUMENTS...]
# The Wine prefix lives next to the program (the build tree) unless WINEPREFIX is set;
# it is created on first use, once, even when several programs start together.
set -e
wine=${TESSERA_WINE:-/usr/lib/wine/wine64}
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$program_dir/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINELOADER="$wine"
export WINESERVER="${WINESERVER:-$(dirname "$wine")/wineserver}"
# Wine reads the arguments and file names it is given in the locale's character set; a
# UTF-8 locale passes them on as written (in the C locale it would drop bytes above 0x7F).
export LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  flock "$WINEPREFIX/.create.lock" sh -c \
    '[ -f "$WINEPREFIX/system.reg" ] || "$WINELOADER" wineboot -i >/dev/null 2>&1; "$WINESERVER" -w'
fi
exec "$wine" "$@"
