#!/usr/bin/env bash
# The tool's failures of input and output: a read error is reported with the file named
# and exit status 1, never taken for the end of the input; so is a write error of every
# command (a full disk), the close of standard output included; a reader that goes away
# ends the tool quietly; an operand in a message is cut to a readable length.
set -uo pipefail
tool=${2:-}
if [ -z "$tool" ]; then echo "skipped: no tool built"; exit 0; fi
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
case "$tool" in *.exe) run=(wine "$tool") ;; *) run=("$tool") ;; esac
# Under Wine (a .exe, or the script that starts one) there is no SIGPIPE to end the tool.
case "$tool" in *.exe|*.sh) windows=yes ;; *) windows=no ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# call STDIN-FILE STDOUT-FILE ARGS...: runs the tool; sets rc and err (without CRs).
call() {
  local input=$1 output=$2; shift 2
  rc=0
  "${run[@]}" "$@" <"$input" >"$output" 2>"$work/err" || rc=$?
  err=$(tr -d '\r' <"$work/err")
}

# expect_message STATUS ERE: the last call's status, and one line on stderr matching ERE.
expect_message() {
  local what=$1 status=$2 pattern=$3
  if [ "$rc" != "$status" ] || [ "$(wc -l <"$work/err")" != 1 ] || ! grep -qE "$pattern" <<<"$err"; then
    fail "$what: status $rc (want $status), stderr '$err'"
  fi
}

# Read errors: a directory as FILE and as standard input. Rows: stdin|args|message (ERE).
printf 'x\n' >"$work/line"
while IFS='|' read -r input args message; do
  read -ra words <<<"$args"
  call "$input" "$work/out" "${words[@]}"
  expect_message "tessera $args <$input" 1 "^tessera: $message"
  [ ! -s "$work/out" ] || fail "tessera $args <$input: wrote '$(head -c 80 "$work/out")'"
done <<TABLE
$work/line|transcode --from utf-8 --to utf-8 $work|transcode: cannot read '$work': .
$work/line|transcode --from utf-8 --to utf-8 $work/missing|transcode: cannot read '$work/missing': .
$work|transcode --from utf-8 --to utf-8|transcode: cannot read standard input: .
$work|uri escape|uri escape: cannot read standard input: .
$work|uri resolve http://h/|uri resolve: cannot read standard input: .
$work|uri relation|uri relation: cannot read standard input: .
$work|time parse|time parse: cannot read standard input: .
TABLE

# A full disk: every command that writes fails with status 1 and says so. Rows: the
# command named in the message|args.
while IFS='|' read -r command args; do
  read -ra words <<<"$args"
  call "$work/line" /dev/full "${words[@]}"
  expect_message "tessera $args >/dev/full" 1 "^tessera: ${command:+$command: }cannot write standard output: ."
done <<'TABLE'
|--help
|--version
help|help --man
help|help --markdown
encodings|encodings
transcode|transcode --from utf-8 --to utf-8
uri show|uri show http://h/
uri escape|uri escape
uri unescape|uri unescape %41
uri resolve|uri resolve http://h/ a
uri relative|uri relative http://h/a/b http://h/a/
uri relation|uri relation http://h/a http://h/
uri common-parent|uri common-parent http://h/a/b http://h/a/c
uri ipv6|uri ipv6 ::1
uri query|uri query http://h/?a=1
uri to-path|uri to-path file:///x
uri from-path|uri from-path /x
uri guess|uri guess h/x
time now|time now
time parse|time parse 2000-01-01T00:00:00Z
time from-ticks|time from-ticks 0
time from-time_t|time from-time_t 0
TABLE

# A reader that goes away: the tool ends quietly, killed by SIGPIPE, or, where that
# signal is ignored (and on Windows), with status 1; it does not read on to the end.
yes 'a b' | head -c 4000000 >"$work/big"
for ignore in no yes; do
  for args in "uri escape" "transcode --from utf-8 --to UTF-16LE"; do
    read -ra words <<<"$args"
    (
      if [ "$ignore" = yes ]; then trap '' PIPE; fi
      "${run[@]}" "${words[@]}" <"$work/big" 2>"$work/err" | head -c1 >/dev/null
      echo "${PIPESTATUS[0]}" >"$work/status"
    )
    status=$(cat "$work/status")
    case "$ignore,$status,$windows" in
      no,141,no|yes,1,no|*,1,yes|*,141,yes) ;;
      *) fail "tessera $args | head -c1 (SIGPIPE ignored: $ignore): status $status" ;;
    esac
    [ ! -s "$work/err" ] || fail "tessera $args | head -c1 (SIGPIPE ignored: $ignore): '$(cat "$work/err")'"
  done
done

# Long operands are cut in messages, not inside a UTF-8 sequence, with their length.
long=c:$(head -c 20000 /dev/zero | tr '\0' 'a')
accents=c:$(for _ in $(seq 100); do printf '\303\251'; done)
printf '%s\n' "$long" >"$work/long"
while IFS='|' read -r input args message; do
  read -ra words <<<"$args"
  call "$input" "$work/out" "${words[@]}"
  expect_message "tessera $(head -c 60 <<<"$args")" "${message%%|*}" "${message#*|}"
  [ "$(wc -c <"$work/err")" -lt 160 ] || fail "tessera $(head -c 60 <<<"$args"): a message of $(wc -c <"$work/err") bytes"
  iconv -f UTF-8 -t UTF-8 "$work/err" >/dev/null 2>&1 || fail "tessera $(head -c 60 <<<"$args"): a message cut inside a character"
done <<TABLE
$work/line|uri show $long|1|^tessera: uri show: not a valid URI: 'c:a{58}\.\.\.' \(20002 bytes\)$
$work/long|uri show|1|^tessera: uri show: not a valid URI: 'c:a{58}\.\.\.' \(20002 bytes\)$
$work/line|uri show $accents|1|^tessera: uri show: not a valid URI: 'c:(é){29}\.\.\.' \(202 bytes\)$
$work/line|uri escape --${long#c:}|2|^tessera: uri escape: unknown option '--a{58}\.\.\.' \(20002 bytes\)
$work/line|$long|2|^tessera: unknown command 'c:a{58}\.\.\.' \(20002 bytes\)
TABLE

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "tool errors: OK"
