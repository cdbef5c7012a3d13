#!/usr/bin/env bash
# tessera.dll is entered through the library's own DllMain, which switches off thread
# notifications: the DLL imports DisableThreadLibraryCalls, which nothing else in it
# (the MinGW-w64 runtime included) calls. The loader grants that only to a DLL without a
# TLS directory, which the 32-bit DLL must therefore not have (the 64-bit one keeps its
# thread runtime's). Whether the loader grants it is checked under Wine by
# tests/platform/library_entry_win32_test.cpp.
set -euo pipefail
lib=$1
case "$lib" in
  *.dll) ;;
  *) echo "skipped: not a DLL: $lib"; exit 0 ;;
esac
headers=$(objdump -p "$lib")
imports=$(awk '$1 ~ /^[0-9a-f]+$/ && NF == 3 { print $3 }' <<<"$headers")
if ! grep -qx DisableThreadLibraryCalls <<<"$imports"; then
  echo "$lib does not import DisableThreadLibraryCalls: its DllMain is not the library's"
  exit 1
fi
tls=$(awk '/Thread Storage Directory/ { print $3 }' <<<"$headers")
if objdump -f "$lib" | grep -q 'file format pei-i386' && [ "$tls" != 00000000 ]; then
  echo "$lib has a TLS directory ($tls bytes): the loader would keep thread notifications on"
  exit 1
fi
echo "library entry point: OK"
