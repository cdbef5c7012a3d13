#!/usr/bin/env bash
# The shared library exports the API and nothing internal: every dynamic symbol that it
# defines belongs to the Varn namespace, is a varn_pthread_* function, or is a symbol the
# C++ runtime emits for exported classes (typeinfo, vtables).
set -euo pipefail
lib=$1
case "$lib" in
  *.so*) ;;
  *) echo "skipped: not an ELF shared library: $lib"; exit 0 ;;
esac
# (Standard-library template instances stay local through the linker version script.)
bad=$(nm -D --defined-only -C "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }' \
  | grep -v -E '^(Varn::|varn_pthread_|typeinfo (name )?for Varn::|vtable for Varn::|VTT for Varn::)' \
  | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' \
  | grep -v -E '^(__odr_asan|__asan|__ubsan|__tsan|__sancov)' || true)
if [ -n "$bad" ]; then
  echo "symbols exported that are not part of the API:"
  echo "$bad"
  exit 1
fi
echo "exported symbols: OK"
