#!/usr/bin/env bash
# What every tessera command shares: --help, -h and 'tessera help' alike; one-line
# messages and exit statuses; items from standard input; the manual in docs/ written from
# the same command table, and its examples run.
set -uo pipefail
tool=${2:-}
if [ -z "$tool" ]; then echo "skipped: no tool built"; exit 0; fi
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
case "$tool" in *.exe) run=(wine "$tool") ;; *) run=("$tool") ;; esac
docs=$(cd "$(dirname "$0")/../../docs" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# call STDIN ARGS...: runs the tool; sets rc, out and err (without CRs) and errlines.
call() {
  local input=$1; shift
  rc=0
  printf '%s' "$input" | "${run[@]}" "$@" >"$work/out" 2>"$work/err" || rc=$?
  out=$(tr -d '\r' <"$work/out"); err=$(tr -d '\r' <"$work/err")
  errlines=$(wc -l <"$work/err")
}

# --help, -h and 'tessera help WORDS' print the same usage on standard output.
commands=("" transcode encodings help uri time
  "uri show" "uri escape" "uri unescape" "uri resolve" "uri relative" "uri relation"
  "uri common-parent" "uri ipv6" "uri query" "uri to-path" "uri from-path" "uri guess"
  "time now" "time parse" "time from-ticks" "time from-time_t")
for command in "${commands[@]}"; do
  read -ra words <<<"$command"
  call '' "${words[@]}" --help
  if [ "$rc" != 0 ] || [ "$errlines" != 0 ] || ! grep -qE "^usage: tessera${command:+ $command}( |\$)" <<<"$out"; then
    fail "tessera $command --help: status $rc, $(head -1 <<<"$out") $err"
  fi
  help=$out
  call '' "${words[@]}" -h
  [ "$out" = "$help" ] || fail "tessera $command -h differs from --help"
  call '' help "${words[@]}"
  [ "$out" = "$help" ] || fail "tessera help $command differs from --help"
done
call '' --version
[ "$rc" = 0 ] && grep -qE '^tessera [0-9]+\.[0-9]+\.[0-9]+$' <<<"$out" || fail "--version: $out"

# Usage errors: status 2, nothing on standard output, one line on standard error.
usage_errors=("" frobnicate --bogus uri "uri frobnicate" "uri escape --bogus" "uri escape --query=x"
  "uri guess --scheme" "uri relation a" "time now extra" "time parse --bogus" "encodings extra"
  "transcode --from utf-8" "transcode --from utf-8 --to utf-8 a b" "help frobnicate" "help uri frobnicate"
  "help --man uri" "help --man --markdown")
for args in "${usage_errors[@]}"; do
  read -ra words <<<"$args"
  call '' "${words[@]}"
  if [ "$rc" != 2 ] || [ -n "$out" ] || [ "$errlines" != 1 ] || [[ "$err" != "tessera: "* ]]; then
    fail "tessera $args: status $rc (want 2), stdout '$out', stderr '$err'"
  fi
done

# Messages name the command and suggest close names.
while IFS='|' read -r args message; do
  read -ra words <<<"$args"
  call '' "${words[@]}"
  [ "$err" = "$message" ] || fail "tessera $args: message '$err', want '$message'"
done <<'TABLE'
transcode --from UTF-8 --to utf-8|tessera: transcode: unknown encoding 'UTF-8' (did you mean 'utf-8'?)
transcode --from utf-8 --to ISO-8859-1|tessera: transcode: unknown encoding 'ISO-8859-1' (did you mean 'iso-8859-1'?)
transcode --from utf-8 --to no-such-thing|tessera: transcode: unknown encoding 'no-such-thing' (see 'tessera encodings')
uri reslove a|tessera: uri: unknown subcommand 'reslove' (did you mean 'resolve'?)
tiem now|tessera: unknown command 'tiem' (did you mean 'time'?)
uri escape --qeury x|tessera: uri escape: unknown option '--qeury' (did you mean '--query'?)
time from-ticks 12x|tessera: time from-ticks: '12x' is not a 64-bit integer
uri show c:/x|tessera: uri show: not a valid URI: 'c:/x'
TABLE

# Items from standard input: none given, or '-'. Rows: status|args|stdin|stdout (\n as such).
while IFS='|' read -r status args input output; do
  read -ra words <<<"$args"
  call "$(printf '%b' "$input")" "${words[@]}"
  want=$(printf '%b' "$output")
  [ "$rc" = "$status" ] && [ "$out" = "$want" ] || fail "tessera $args <<< '$input': status $rc, output '$out'"
  if [ "$status" = 1 ] && [ "$errlines" != 1 ]; then fail "tessera $args: $errlines error lines"; fi
done <<'TABLE'
0|uri escape|a b\r\nc?d\n\nlast|a%20b\nc%3Fd\n\nlast
0|uri escape x - y|1\n2\n|x\n1\n2\ny
0|uri unescape --query|a+b%2Bc\n|a b+c
0|uri guess|myhost/page\n|http://myhost/page
1|uri to-path --unix|file:///tmp/a%20b\nc:/dir\nfile:///x\n|/tmp/a b\n/x
0|uri from-path --unix|/a b\n|file:///a%20b
0|uri resolve http://a/b/c/d|g\n../h\n|http://a/b/c/g\nhttp://a/b/h
1|uri resolve http://a/b/c/d - x|g\nc:/y\n|http://a/b/c/g\nhttp://a/b/c/x
1|uri relation|http://h/a/b\thttp://h/a\nno-tab\nhttp://h/\thttp://h/x\n|child\nparent
0|uri relative --ignore-case|http://h/A/b\thttp://h/a/\n|b
0|uri common-parent|http://h/a/b/c\thttp://h/a/d\n|http://h/a/
1|uri ipv6|::1\n1::2::3\n|0000:0000:0000:0000:0000:0000:0000:0001
0|uri query|http://h/?b=2&a=1\nhttp://h/?c=3\n|a=1\nb=2\n\nc=3
1|time from-time_t|0\nx\n|ticks         116444736000000000\nW3C           1970-01-01T00:00:00Z\nISO basic     19700101T00:00:00\nISO extended  1970-01-01T00:00:00\ntime_t        0
TABLE
call '' time from-ticks -5
[ "$rc" = 0 ] && grep -qx 'ticks *-5' <<<"$out" || fail "a negative number is an operand: $out $err"

# The manual is what the tool writes now.
call '' help --man
[ "$out" = "$(cat "$docs/tessera.1")" ] || fail "docs/tessera.1 is out of date: build the 'tool-docs' target"
call '' help --markdown
[ "$out" = "$(cat "$docs/tool.md")" ] || fail "docs/tool.md is out of date: build the 'tool-docs' target"

# Its examples run without a message.
export TESSERA_TOOL_RUN="${run[*]}"
sed -n '/^```sh$/,/^```$/p' "$docs/tool.md" | grep -v '^```' | while IFS= read -r example; do
  if ! (cd "$work" && bash -c 'set -o pipefail; tessera() { $TESSERA_TOOL_RUN "$@"; }; '"$example" >/dev/null 2>"$work/example-err") ||
     [ -s "$work/example-err" ]; then
    echo "FAIL: example '$example': $(cat "$work/example-err")"
    touch "$work/example-failed"
  fi
done
[ ! -e "$work/example-failed" ] || failures=$((failures + 1))

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "tool conventions: OK"
