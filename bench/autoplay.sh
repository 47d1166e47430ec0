#!/usr/bin/env bash
# How well the Husband's walking serves a player: hearthly-replay --autoplay plays a round for
# each seed at each speed, two runs at a time, and a table gives per speed the rounds won, the
# median and best socks collected and the rounds in which the agent check failed.
#
# Usage: bench/autoplay.sh <hearthly-replay> [seeds] [frames]
#   seeds: rounds per speed, seeds 1 to N (default 20); frames: timer calls a round may take
#   (default: the tool's own limit of ten minutes of game time).
# Every round is played twice from the same seed: once for the figures, and once under
# --check-agents. The check changes nothing in the game, but it ends a run at the first fault,
# which would cut the figures short.
set -euo pipefail

replay=$(realpath "$1")
seeds=${2:-20}
frames=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One round: its output and the wall time it took, in files named after it.
play() {
    local speed=$1 seed=$2 kind=$3 start end
    local -a extra=()
    [[ $kind == check ]] && extra+=(--check-agents)
    [[ -n $FRAMES ]] && extra+=(--frames "$FRAMES")
    start=$(date +%s.%N)
    "$REPLAY" --autoplay --speed "$speed" --seed "$seed" --no-paint "${extra[@]}" \
        >"$WORK/$speed-$seed-$kind.out" 2>&1 || true
    end=$(date +%s.%N)
    echo "$start $end" >"$WORK/$speed-$seed-$kind.time"
}
export -f play
export REPLAY=$replay WORK=$work FRAMES=$frames

began=$(date +%s.%N)
for speed in slow mild fast; do
    for seed in $(seq 1 "$seeds"); do
        echo "$speed $seed plain"
        echo "$speed $seed check"
    done
done | xargs -P 2 -L 1 bash -c 'play "$@"' _
ended=$(date +%s.%N)

printf '%-6s %6s %4s %5s %6s %5s %9s %10s %15s\n' speed rounds won lost median best socks/min \
    walks-past "check failures"
for speed in slow mild fast; do
    for seed in $(seq 1 "$seeds"); do
        grep -h '^autoplay:' "$work/$speed-$seed-plain.out" || echo "autoplay: seed $seed, no line"
    done >"$work/$speed.lines"
    failed=$(cat "$work/$speed"-*-check.out | grep -c '^agent check failed' || true)
    # Per speed: rounds won and lost, the median and best socks (a round without its line, the
    # tool crashed, counts as none), socks collected per minute of play over all rounds, and
    # the share of clicks whose walk ended with its sock still lying there.
    awk -v speed="$speed" -v failed="$failed" '
        {
            n++
            won += / won, /
            lost += / lost, /
            socks[n] = match($0, /[0-9]+ of 40 socks/) ? substr($0, RSTART, RLENGTH) + 0 : 0
            if (match($0, /[0-9.]+ s of game time/)) seconds += substr($0, RSTART, RLENGTH) + 0
            if (match($0, /[0-9]+ clicks/)) clicks += substr($0, RSTART, RLENGTH) + 0
            if (match($0, /[0-9]+ walks past/)) past += substr($0, RSTART, RLENGTH) + 0
            total += socks[n]
        }
        END {
            for (i = 2; i <= n; i++)
                for (j = i; j > 1 && socks[j - 1] > socks[j]; j--) {
                    t = socks[j]; socks[j] = socks[j - 1]; socks[j - 1] = t
                }
            median = n % 2 ? socks[(n + 1) / 2] : (socks[n / 2] + socks[n / 2 + 1]) / 2
            printf "%-6s %6d %4d %5d %6.1f %5d %9.1f %9.0f%% %15s\n", speed, n, won, lost, median, socks[n],
                (seconds > 0 ? 60 * total / seconds : 0), (clicks > 0 ? 100 * past / clicks : 0), failed " of " n
        }' "$work/$speed.lines"
done

echo
echo "check failures by figure and kind, all speeds (idle bodies moved: with the platform):"
prefix='^agent check failed at timer call [0-9]+: '
cat "$work"/*-check.out | grep -h '^agent check failed' |
    sed -E "s/${prefix}agent [0-9]+ \(([A-Za-z]+)[0-9]*\) (stood idle) at \([^)]*\) on ([A-Za-z_0-9]+).*/\1 \2 on \3/; t
            s/${prefix}agent [0-9]+ \(([A-Za-z]+)[0-9]*\) ([a-z]+ [a-z]+).*/\1 \2/; t
            s/${prefix}(.{0,60}).*/\1/" |
    sort | uniq -c | sort -rn || true
echo
echo "first check failure of each round that had one:"
for speed in slow mild fast; do
    for seed in $(seq 1 "$seeds"); do
        line=$(grep -h '^agent check failed' "$work/$speed-$seed-check.out" || true)
        [[ -n $line ]] && echo "  $speed seed $seed: $line"
    done
done

cat "$work"/*.time | awk -v began="$began" -v ended="$ended" '
    { t = $2 - $1; sum += t; if (t > worst) worst = t; n++ }
    END { printf "\n%d runs in %.0f s of wall time, 2 at a time: %.1f s a run on average, %.1f s the longest\n",
          n, ended - began, sum / n, worst }'
