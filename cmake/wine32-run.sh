#!/bin/sh
# Runs a 32-bit Windows program under the 32-bit Wine that `scripts/install-deps windows`
# unpacks into /opt/tessera-wine32 (TESSERA_WINE32_DIR elsewhere), with that Wine's own
# wineserver: wine32-run.sh PROGRAM.exe [ARGUMENTS...]
# Where the kernel runs no 32-bit programs at all, it says so and exits with 77, the code
# that CTest counts as "skipped".
set -e
root=${TESSERA_WINE32_DIR:-/opt/tessera-wine32}
if ! /lib32/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "skipped: this kernel runs no 32-bit programs (IA-32 emulation is off): no Windows program can run here" >&2
  exit 77
fi
if [ ! -f "$root/.complete" ]; then
  echo "wine32-run.sh: no 32-bit Wine in $root; run scripts/install-deps windows" >&2
  exit 1
fi
export TESSERA_WINE="$root/usr/lib/wine/wine"
export WINESERVER="$root/usr/lib/wine/wineserver32"
exec "$(dirname "$0")/wine-run.sh" "$@"
