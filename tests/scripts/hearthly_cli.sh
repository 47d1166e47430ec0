#!/usr/bin/env bash
# The hearthly program's answers on the command line, and without a display.
#
# Usage: hearthly_cli.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

hearthly=$1
# shellcheck source=lib/scratch.sh
source "$(dirname "$0")/lib/scratch.sh"

# run <expected status> <args...>: runs hearthly with no display, keeping what it printed.
run() {
    local expected=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$hearthly" "$@" \
        >"$work/out" 2>"$work/err" </dev/null || status=$?
    ((status == expected)) || fail "'hearthly $*' ended with status $status, not $expected: $(cat "$work/err")"
}

lines() { grep -c '' "$1" || true; }

run 0 --help
grep -q '^Usage: hearthly' "$work/out" || fail "--help printed no usage line"
[[ ! -s $work/err ]] || fail "--help wrote to stderr"

run 0 --version
grep -Eq '^hearthly [0-9]+\.[0-9]+\.[0-9]+$' "$work/out" || fail "--version printed '$(cat "$work/out")'"
(($(lines "$work/out") == 1)) || fail "--version printed more than one line"

run 2 --bogus
(($(lines "$work/err") == 1)) || fail "an unknown argument gave $(lines "$work/err") lines on stderr"
grep -q -- "--bogus" "$work/err" || fail "the message does not name the argument: $(cat "$work/err")"
[[ ! -s $work/out ]] || fail "an unknown argument wrote to stdout"

run 2 --help extra

# Files named on the command line are dealt with before any window: a recording that cannot
# be written or one to play that is damaged is refused in one line naming the problem.
run 2 --record "$work/no-such-folder/session.rec"
(($(lines "$work/err") == 1)) && grep -q "cannot record to $work/no-such-folder/session.rec" "$work/err" ||
    fail "an unwritable recording gave: $(cat "$work/err")"
run 2 --record
grep -q -- "--record needs a file name" "$work/err" || fail "--record without a file gave: $(cat "$work/err")"
printf 'hearthly-recording 1\nseed 1\nworld 800 584\nclient 800 584\nt 10000\nt -3\n' >"$work/damaged.rec"
run 2 --play "$work/damaged.rec"
(($(lines "$work/err") == 1)) && grep -q "damaged.rec line 6: t needs microseconds" "$work/err" ||
    fail "a damaged recording gave: $(cat "$work/err")"
run 2 --play "$work/missing.rec"
grep -q "cannot read recording" "$work/err" || fail "a missing recording gave: $(cat "$work/err")"

# No display at all: one clear line, status 1, and no window system tried in its place.
run 1
(($(lines "$work/err") == 1)) || fail "without a display stderr had $(lines "$work/err") lines: $(cat "$work/err")"
grep -q "display" "$work/err" || fail "the message does not mention the display: $(cat "$work/err")"

# Nor is a recording left behind by a game that never started.
run 1 --record "$work/never.rec"
[[ ! -e $work/never.rec ]] || fail "a game without a display left a recording behind"

# A display that does not answer: the same.
status=0
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:4095 timeout 20 "$hearthly" >"$work/out" 2>"$work/err" </dev/null ||
    status=$?
((status == 1)) || fail "with a dead display hearthly ended with status $status"
(($(lines "$work/err") == 1)) || fail "with a dead display stderr had $(lines "$work/err") lines: $(cat "$work/err")"

echo "hearthly_cli: all checks passed"
