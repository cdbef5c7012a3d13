#!/usr/bin/env bash
# tessera uri resolve | relative | relation | common-parent | ipv6: results, one-line
# errors with status 1 for rejected input, status 2 for usage errors.
set -uo pipefail
tool=${2:-}
if [ -z "$tool" ] || [ ! -x "$tool" ]; then echo "skipped: no tessera tool"; exit 0; fi
failures=0
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
expect() {  # expect STATUS OUTPUT ARGS...: stdout (or, on failure, the stderr line count)
  local status=$1 want=$2; shift 2
  local out err got
  out=$("$tool" uri "$@" 2>"$errors"); got=$?
  err=$(wc -l <"$errors")
  if [ "$got" != "$status" ] || { [ "$status" = 0 ] && [ "$out" != "$want" ]; } ||
     { [ "$status" != 0 ] && [ "$err" != 1 ]; }; then
    echo "FAILED: tessera uri $* -> status $got, output '$out', $err error lines"; failures=$((failures + 1))
  fi
}
expect 0 $'http://a/b/c/g\nhttp://a/b/c/?y\nhttp://g' resolve 'http://a/b/c/d;p?q' g '?y' //g
expect 0 '../b/c.html' relative http://h/a/b/c.html http://h/a/d/e.html
expect 0 'b' relative --ignore-case http://h/A/b http://h/a/
expect 0 'child' relation http://h/a/b http://h/a
expect 0 'same' relation http://h:80/ http://h
expect 0 'http://h/a/' common-parent http://h/a/b/c http://h/a/d
expect 0 '0000:0000:0000:0000:0000:ffff:0102:0304' ipv6 '[::ffff:1.2.3.4]'
expect 1 '' resolve x y
expect 1 '' resolve http://h/ 'g:h'
expect 1 '' relative http://h/a ftp://h/
expect 1 '' relation 'c:/x' http://h/
expect 1 '' common-parent a/b http://h/
expect 1 '' ipv6 1::2::3
expect 2 '' ipv6 --bogus
expect 2 '' relation --bogus a b
[ "$failures" = 0 ] && echo "uri relation subcommands: OK"
exit $((failures != 0))
