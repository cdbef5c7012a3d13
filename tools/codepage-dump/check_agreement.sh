#!/usr/bin/env bash
# Dumps the code-page layer of a native build and of the Windows build (run under Wine)
# and compares them with the agreement table of docs/encodings.md:
#   check_agreement.sh NATIVE_BUILD WINDOWS_BUILD          fail where agreement fell
#   check_agreement.sh NATIVE_BUILD WINDOWS_BUILD --write  rewrite the table
# Both builds must hold codepage-dump; the dumps are left in WINDOWS_BUILD.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
native=$1 windows=$2 mode=${3:---check}
doc="$here/../../docs/encodings.md"
"$native/codepage-dump" "$windows/codepages-native.txt"
"$here/../../cmake/wine-run.sh" "$windows/codepage-dump.exe" "$windows/codepages-windows.txt"
python3 "$here/compare_dumps.py" "$windows/codepages-windows.txt" "$windows/codepages-native.txt" \
  "$mode" "$doc" >/dev/null
echo "code pages: agreement with Windows: $mode $doc: OK"
