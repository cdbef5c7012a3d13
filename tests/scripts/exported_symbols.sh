#!/usr/bin/env bash
# The shared library exports the API and nothing internal: every symbol that it exports
# belongs to the Varn namespace, is a varn_pthread_* function, or is a symbol the C++
# runtime emits for exported classes (typeinfo, vtables). Every C function that
# tessera/varn_pthread.h declares is exported under its plain, undecorated name.
# Reads ELF shared objects (libtessera.so) and PE DLLs (tessera.dll, 32- and 64-bit).
set -euo pipefail
lib=$1
header="$(dirname "$0")/../../include/tessera/varn_pthread.h"

# The names of the exported symbols, as the linker sees them (mangled).
case "$lib" in
  *.so*)
    exported=$(nm -D --defined-only "$lib" | awk '{ print $3 }' \
      | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' \
      | grep -v -E '^(__odr_asan|__asan|__ubsan|__tsan|__sancov)' || true) ;;
  *.dll)
    exported=$(objdump -p "$lib" | awk '
      /^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
      NF == 0 { in_table = 0 }
      in_table { print $NF }') ;;
  *) echo "skipped: neither an ELF shared object nor a DLL: $lib"; exit 0 ;;
esac
if [ -z "$exported" ]; then
  echo "no exported symbols found in $lib"
  exit 1
fi

status=0
# (Standard-library template instances stay local: a linker version script on ELF, and
# only what is marked for export on PE.)
bad=$(c++filt <<<"$exported" \
  | grep -v -E '^(Varn::|typeinfo (name )?for Varn::|vtable for Varn::|VTT for Varn::)' \
  | grep -v -E '^varn_pthread_[a-z_]+$' || true)
if [ -n "$bad" ]; then
  echo "symbols exported that are not part of the API:"
  echo "$bad"
  status=1
fi

if [ -f "$header" ]; then
  declared=$(grep -o -E '\bvarn_pthread_[a-z_]+[[:space:]]*\(' "$header" | tr -d '( \t' | sort -u)
  missing=$(comm -23 <(echo "$declared") <(sort -u <<<"$exported"))
  if [ -n "$missing" ]; then
    echo "functions of tessera/varn_pthread.h not exported under their plain names:"
    echo "$missing"
    status=1
  fi
fi

[ "$status" -eq 0 ] && echo "exported symbols: OK ($(wc -l <<<"$exported") names)"
exit "$status"
