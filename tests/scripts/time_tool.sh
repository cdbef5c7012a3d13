#!/usr/bin/env bash
# The 'tessera time' subcommands: output of a worked value, and the exit statuses.
set -euo pipefail
tool=${2:-}
[ -n "$tool" ] || { echo "skipped: no tool built"; exit 0; }
fail() { echo "FAILED: $*"; exit 1; }
status() { set +e; "$tool" "$@" >/dev/null 2>&1; echo $?; set -e; }

out=$("$tool" time parse 2000-01-01T12:00:00+05:30)
grep -qx 'ticks *125911818000000000' <<<"$out" || fail "ticks: $out"
grep -qx 'W3C *2000-01-01T06:30:00Z' <<<"$out" || fail "W3C: $out"
grep -qx 'ISO basic *20000101T06:30:00' <<<"$out" || fail "ISO basic: $out"
grep -qx 'time_t *946708200' <<<"$out" || fail "time_t: $out"
# Output is taken whole before it is searched: 'grep -q' would stop reading at the match,
# and under pipefail the tool's next write into the closed pipe would fail the line.
out=$("$tool" time parse 20000101T1230)
grep -qx 'W3C *2000-01-01T12:30:00Z' <<<"$out" || fail "basic ISO text: $out"
out=$("$tool" time from-time_t 0)
grep -qx 'ticks *116444736000000000' <<<"$out" || fail "from-time_t: $out"
out=$("$tool" time from-ticks 0)
grep -qx 'W3C *1601-01-01T00:00:00Z' <<<"$out" || fail "from-ticks: $out"

[ "$(status time parse 2000)" = 1 ] || fail "short text must be rejected with 1"
[ "$(status time parse 2000-01-01T12:00:00Z nonsense)" = 1 ] || fail "one bad text gives 1"
[ "$(status time from-ticks 12x)" = 1 ] || fail "bad number gives 1"
[ "$(status time from-ticks 1 2 3)" = 0 ] || fail "several numbers give 0"
[ "$(status time frobnicate)" = 2 ] || fail "unknown subcommand gives 2"
[ "$(status time now extra)" = 2 ] || fail "now with operands gives 2"
[ "$(status time --help)" = 0 ] || fail "--help gives 0"
echo "tessera time: OK"
