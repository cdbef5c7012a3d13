#!/usr/bin/env bash
# tessera uri query / to-path / from-path / guess: output and exit status.
set -uo pipefail
tool=${2:-}
if [ -z "$tool" ]; then echo "skipped: no tessera tool built"; exit 0; fi
failures=0

# expect STATUS OUTPUT ARGS...: runs 'tessera uri ARGS...' and compares stdout and status.
expect() {
  local status=$1 output=$2; shift 2
  local got rc
  got=$("$tool" uri "$@" 2>/dev/null); rc=$?
  if [ "$rc" != "$status" ] || [ "$got" != "$output" ]; then
    echo "FAIL: tessera uri $*: status $rc (want $status), output '$got' (want '$output')"
    failures=$((failures + 1))
  fi
}

expect 0 $'a=1\nb=2\nc d=A\nx=1=2' query 'http://h/p?b=2&a=1&x=1=2&c+d=%41'
expect 1 '' query 'h2://x'
expect 0 'D:\dir\a b.txt' to-path --win 'file:///D|/dir/a%20b.txt'
expect 0 'Disk:a' to-path --mac 'file://localhost/Disk/a'
expect 1 '' to-path --unix 'file://server/x'
expect 2 '' to-path --dos 'file:///x'
expect 0 'file://server/share/100%25' from-path --win '\\server\share\100%'
expect 1 '' from-path --win ''
expect 0 $'http://myhost/page\nfile:///D|/x\n../a' guess 'myhost/page' 'D:\x' '../a'
expect 1 'ftp://plainword' guess --scheme ftp plainword 'h2://x'
expect 2 '' guess --scheme

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "uri path commands: OK"
