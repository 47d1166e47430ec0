#!/usr/bin/env bash
# A round in the real window: a click on "Slow" starts it (the sock counter and the clock show
# along the bottom), the tune plays into SDL's file audio driver and 'a' silences it; the window
# shows exactly the picture the game painted; the game
# starts and plays a round without any audio device at all; and a hang-up, SIGTERM or SIGINT
# ends it cleanly.
#
# Usage: round_window.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"

start_game() {
    "$hearthly" >"$work/game.log" 2>&1 &
    gamePid=$!
    show_game
    wait_for "the game's first picture" 20 game_painted
}

# The window shows the garden rather than a blank surface.
game_painted() {
    import -window "$game" "$work/first.png" &&
        convert "$work/first.png" -format '%[fx:standard_deviation]' info: |
        awk '{ exit !($1 > 0.02) }'
}

# Root mean square of the 16-bit samples the audio driver wrote after byte offset $1.
loudness_after() {
    tail -c "+$(($1 + 1))" "$work/sound.raw" | od -An -v -td2 |
        awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } } END { print (n ? sqrt(s / n) : 0), n }'
}
sound_bytes() { stat -c %s "$work/sound.raw" 2>/dev/null || echo 0; }
# What the driver writes over the next half second: "RMS samples". A slow machine may take a
# while to start or stop the tune, so the checks below sample again until a deadline.
listen() {
    local mark
    mark=$(sound_bytes)
    sleep 0.5
    loudness_after "$mark"
}
tune_heard() {
    read -r playing samples <<<"$(listen)"
    ((samples > 0)) && awk -v r="$playing" 'BEGIN { exit !(r > 100) }'
}
tune_silent() {
    read -r quiet samples <<<"$(listen)"
    awk -v r="$quiet" 'BEGIN { exit !(r == 0) }'
}

start_x 1280x1024
start_wm

# --- A round with the tune going to a file ---------------------------------------------------
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw"
start_game
before=$(bottom_strip)
# "Slow" stands at (190, 350) of the 800 x 584 world, which fills the window.
xdotool mousemove --window "$game" 205 362 click 1
wait_for "the counter and the clock along the bottom" 10 strip_busier "$before"
cp "$work/shot.png" "$work/round.png"
playing=0
# wait_for runs its check in a subshell; the loop keeps the figures for the summary line.
until tune_heard; do
    ((SECONDS < 60)) || fail "the round stayed silent (last RMS $playing, $samples samples)"
done

xdotool key --clearmodifiers a
started=$SECONDS
until tune_silent; do
    ((SECONDS - started < 30)) || fail "'a' left the tune playing (RMS $quiet)"
done
quit_game

# --- The window shows exactly what the game painted ------------------------------------------------
# Frames go to the X server from memory the game paints into, and only the changed rectangles are
# named: after a round, a resize (new memory) and a quake, paused, the window's pixels are the
# game's own picture, which it writes as it ends.
paused() { xprop -id "$game" WM_NAME | grep -q paused; }
# Two looks at the window a moment apart: whether they differ (the figures move) or agree.
two_looks() {
    import -window "$game" "$work/shown.png" && sleep 0.1 && import -window "$game" "$work/again.png" &&
        compare -metric AE "$work/shown.png" "$work/again.png" null: 2>&1
}
moving() { [[ $(two_looks) != 0 ]]; }
still() { [[ $(two_looks) == 0 ]]; }
HEARTHLY_EXIT_DUMP="$work/painted" start_game
before=$(bottom_strip)
xdotool mousemove --window "$game" 205 362 click 1
wait_for "the round to start" 10 strip_busier "$before"
xdotool mousemove 0 0 windowsize "$game" 1000 730
wait_for "the window to become 1000x730" 10 sh -c "xwininfo -id $game | grep -q 'Width: 1000'"
wait_for "the round to go on at the new size" 10 moving
xdotool key --clearmodifiers e
wait_for "the round to go on through the quake" 10 moving
xdotool key --clearmodifiers p
wait_for "the paused title" 10 paused
wait_for "the paused picture to stand still" 10 still
quit_game
differing=$(compare -metric AE "$work/painted.png" "$work/shown.png" null: 2>&1 || true)
[[ $differing == 0 ]] || fail "the window shows other pixels than the game painted in $differing places"

# --- No audio device at all: one line, and the game plays on ------------------------------------
export SDL_AUDIODRIVER=no-such-driver
start_game
before=$(bottom_strip)
xdotool mousemove --window "$game" 205 362 click 1
wait_for "a round without audio" 10 strip_busier "$before"
xdotool key --clearmodifiers a
lines=$(grep -c . "$work/game.log" || true)
((lines == 1)) || fail "without an audio device the game said $lines lines instead of one"
# Quitting with status 0 shows that neither the round nor 'a' upset the silent game.
quit_game

# --- Asked to end by a signal: a clean quit, nothing left behind ---------------------------------
# Closing the terminal that started the game hangs it up; SIGTERM and SIGINT ask it to stop.
# Each ends the game like 'q', with status 0, also while the window is minimised and the game
# sleeps. The tune plays from memory, so its temporary directory stays empty.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw"
mkdir -p "$work/tmp"
export TMP="$work/tmp" TMPDIR="$work/tmp"
for signal in HUP TERM INT; do
    start_game
    before=$(bottom_strip)
    xdotool mousemove --window "$game" 205 362 click 1
    wait_for "the round before SIG$signal" 10 strip_busier "$before"
    if [[ $signal == TERM ]]; then
        xdotool windowminimize --sync "$game"
        wait_for "the window to be minimised" 10 sh -c "xprop -id $game WM_STATE | grep -q Iconic"
    fi
    kill -s "$signal" "$gamePid"
    wait_for "hearthly to end after SIG$signal" 10 game_ended
    status=0
    wait "$gamePid" || status=$?
    gamePid=
    ((status == 0)) || fail "SIG$signal ended hearthly with status $status"
    left=$(find "$work/tmp" -mindepth 1 | head -n 3)
    [[ -z $left ]] || fail "SIG$signal left files behind: $left"
done
unset TMP TMPDIR

echo "round_window: all checks passed (round RMS $playing, after 'a' RMS $quiet)"
