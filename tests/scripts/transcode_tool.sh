#!/usr/bin/env bash
# The tessera transcode and encodings commands: conversions, file and standard input,
# and failures that write nothing to standard output.
set -euo pipefail
tool=${2:-}
if [ -z "$tool" ]; then echo "skipped: no tool built"; exit 0; fi
case "$tool" in *.exe) run=(wine "$tool") ;; *) run=("$tool") ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect STATUS EXPECTED-STDOUT-HEX ARGS... (standard input from $work/in)
expect() {
  local status=$1 hex=$2; shift 2
  local got=0
  "${run[@]}" "$@" <"$work/in" >"$work/out" 2>"$work/err" || got=$?
  local out; out=$(od -An -tx1 -v "$work/out" | tr -d ' \n')
  [ "$got" = "$status" ] || fail "$* -> status $got, expected $status ($(cat "$work/err"))"
  [ "$out" = "$hex" ] || fail "$* -> output $out, expected $hex"
  if [ "$status" != 0 ]; then
    [ "$(wc -l <"$work/err")" = 1 ] || fail "$* -> expected one line on stderr, got: $(cat "$work/err")"
  fi
}

printf 'caf\xc3\xa9' >"$work/in"
expect 0 636166e9 transcode --from utf-8 --to iso-8859-1           # the name resolves to 1252
expect 0 636166e9 transcode --from=utf-8 --to=l1
expect 0 630061006600e900 transcode --from utf-8 --to UTF-16LE
expect 0 00630061006600e9 transcode --from utf-8 --to UTF-16BE
printf '\xe4\xb8\xad' >"$work/in"                                  # U+4E2D
expect 0 3f transcode --from utf-8 --to US-ASCII
printf 'caf\xc3\xa9' >"$work/in"
expect 0 636166c3a9 transcode --from utf-8 --to utf-8
printf '\x42\x30\x44\x30' >"$work/kana"                          # あい in UTF-16LE
expect 0 2b4d45497752412d transcode --from UTF-16LE --to utf-7 "$work/kana"
cp "$work/kana" "$work/in"
expect 0 82a082a2 transcode --from UTF-16LE --to shift_jis -

# Usage errors and unknown encodings: status 2, nothing on standard output.
expect 2 "" transcode --from UTF-8 --to utf-8
expect 2 "" transcode --from utf-8 --to " utf-8"
expect 2 "" transcode --from utf-8
expect 2 "" transcode --from utf-8 --to
expect 2 "" transcode --from utf-8 --to utf-8 --bogus
expect 2 "" transcode --from utf-8 --to utf-8 a b
expect 2 "" encodings extra
# Input this build cannot convert: status 1, nothing on standard output.
expect 1 "" transcode --from utf-8 --to utf-16
expect 1 "" transcode --from windows-99999 --to utf-8
expect 1 "" transcode --from utf-8 --to utf-8 "$work/missing"

help=$("${run[@]}" transcode --help)
grep -q 'usage: tessera transcode' <<<"$help" || fail "transcode --help"
list=$("${run[@]}" encodings)
[ "$(printf '%s\n' "$list" | wc -l)" = 374 ] || fail "encodings: expected 374 names"
grep -qx '  1252  yes  Windows-1252' <<<"$list" || fail "encodings: Windows-1252"
grep -qx '  1252  yes  us-ascii' <<<"$list" || fail "encodings: us-ascii resolves to 1252"
grep -qx ' 20127  yes  US-ASCII' <<<"$list" || fail "encodings: US-ASCII"
grep -qx '  1200  no   utf-16' <<<"$list" || fail "encodings: utf-16 is not converted"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "transcode tool: OK"
