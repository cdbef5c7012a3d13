#!/usr/bin/env bash
# Builds the URI example with plain g++ and pkg-config against an installed Tessera.
#   PKG_CONFIG_PATH=<prefix>/lib/pkgconfig examples/pkg-config/build.sh OUTPUT
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-resolve_link}
# shellcheck disable=SC2046
g++ -std=c++17 -o "$out" "$here/resolve_link.cpp" $(pkg-config --cflags --libs tessera) \
  -Wl,-rpath,"$(pkg-config --variable=libdir tessera)"
