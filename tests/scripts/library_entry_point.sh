#!/usr/bin/env bash
# tessera.dll is entered through the library's own DllMain, which switches off thread
# notifications: the DLL imports DisableThreadLibraryCalls, which nothing else in it
# (the MinGW-w64 runtime included) calls. Whether the loader grants the request is
# checked under Wine by tests/platform/library_entry_win32_test.cpp.
set -euo pipefail
lib=$1
case "$lib" in
  *.dll) ;;
  *) echo "skipped: not a DLL: $lib"; exit 0 ;;
esac
imports=$(objdump -p "$lib" | awk '$1 ~ /^[0-9a-f]+$/ && NF == 3 { print $3 }')
if ! grep -qx DisableThreadLibraryCalls <<<"$imports"; then
  echo "$lib does not import DisableThreadLibraryCalls: its DllMain is not the library's"
  exit 1
fi
echo "library entry point: OK"
