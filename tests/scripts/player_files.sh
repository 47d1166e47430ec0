#!/usr/bin/env bash
# The files the game keeps for its player, through the real game in a window on a private X
# server: settings kept across two runs, a damaged settings file set aside, a folder that cannot
# be written, --no-settings, the best times on the terminal with a damaged scores file, and the
# help over the picture.
#
# Usage: player_files.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"

unset HEARTHLY_NO_SETTINGS
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
# A sound card that plays to nowhere: the music plays, and the player can switch it off.
export SDL_AUDIODRIVER=dummy
settings=$XDG_CONFIG_HOME/hearthly/settings.json
scores=$XDG_DATA_HOME/hearthly/scores.json

title_is() { xprop -id "$game" _NET_WM_NAME | grep -qF "= \"$1\""; }
placement() {
    xwininfo -id "$game" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}
placement_is() { [[ $(placement) == "$1" ]]; }
kept() { grep -qF "$1" "$settings"; }
said() { grep -qF "$1" "$work/game.log"; }

start_game() {
    "$hearthly" "$@" >"$work/game.log" 2>&1 &
    gamePid=$!
    show_game 60
}

start_x 1280x720
start_wm
screen=1280x720

# --- Music off and full screen are found as they were left ------------------------------------
start_game
wait_for "the window at the first run's size" 10 placement_is 800x584
xdotool key --clearmodifiers n
# 'a' switches the music off while it plays; pressed before the tune is ready (a slow, sanitized
# build), it switches it on, and the next press off.
music_off() {
    xdotool key --clearmodifiers a
    sleep 1
    kept '"music": false'
}
wait_for "music off in the settings" 20 music_off
xdotool key --clearmodifiers F11
wait_for "full screen" 10 placement_is "$screen"
wait_for "full screen in the settings" 10 kept '"fullscreen": true'
quit_game
kept '"width": 800' || fail "the window's size was not kept: $(cat "$settings")"

start_game
wait_for "the second run to start in full screen" 10 placement_is "$screen"
quit_game
kept '"music": false' || fail "the music came back on: $(cat "$settings")"
kept '"fullscreen": true' || fail "full screen was lost: $(cat "$settings")"

# --no-settings starts clean and writes nothing.
before=$(cat "$settings")
start_game --no-settings
wait_for "a clean window" 10 placement_is 800x584
xdotool key --clearmodifiers F11
wait_for "full screen" 10 placement_is "$screen"
quit_game
[[ $(cat "$settings") == "$before" ]] || fail "--no-settings wrote the settings"

# --- F1 shows the help, pausing; Esc takes it away and the game goes on ------------------------
start_game --no-settings
xdotool key --clearmodifiers F1
wait_for "the help to pause the game" 10 title_is "Hearthly (paused; F1: help)"
xdotool key --clearmodifiers Escape
wait_for "the help to go" 10 title_is "Hearthly (F1: help)"
sleep 0.3
game_running || fail "Esc over the help ended the game"
quit_game

# --- The player's language: LANGUAGE or LANG chooses ---------------------------------------------
for language in de fr; do
    if [[ $language == de ]]; then
        environment=(LANGUAGE=de LANG=C.UTF-8) title="Hearthly (F1: Hilfe)"
    else
        environment=(LANG=fr_FR.UTF-8) title="Hearthly (F1 : aide)"
    fi
    env "${environment[@]}" "$hearthly" --no-settings >"$work/game.log" 2>&1 &
    gamePid=$!
    show_game 60
    wait_for "the title in the player's language (${environment[*]})" 10 title_is "$title"
    quit_game
done
env LANGUAGE=de LANG=C.UTF-8 "$hearthly" --bad-argument 2>"$work/german.err" || true
grep -qF "unbekanntes Argument" "$work/german.err" || fail "a message on the terminal is not German: $(cat "$work/german.err")"

# --- A damaged settings file: the defaults, one line, the file kept aside ---------------------
printf '{"music": fal' >"$settings"
start_game
wait_for "the window at the defaults' size" 10 placement_is 800x584
said "settings.json.bad" || fail "the damaged file was not named"
quit_game
[[ $(cat "$settings.bad") == '{"music": fal' ]] || fail "the damaged file was not kept aside whole"
kept '"version": 1' || fail "no sound settings were written after the damaged ones"

# --- A folder the game cannot write: it plays on and says so once ------------------------------
printf 'a file where the folder should be' >"$work/plain"
XDG_CONFIG_HOME=$work/plain start_game
xdotool key --clearmodifiers F11
wait_for "full screen" 10 placement_is "$screen"
xdotool key --clearmodifiers F11
wait_for "the window again" 10 placement_is 800x584
quit_game
(($(grep -c "without keeping its settings" "$work/game.log") == 1)) ||
    fail "an unwritable folder was not said exactly once"

# --- Best times on the terminal; a damaged scores file is set aside -------------------------
mkdir -p "$(dirname "$scores")"
cat >"$scores" <<'JSON'
{"version": 1, "speeds": {"slow": [{"seconds": 83.456, "date": "2026-12-09T18:50:17Z", "lives": 2}]}}
JSON
"$hearthly" --scores >"$work/scores.txt" 2>"$work/scores.err" || fail "--scores failed"
grep -qF "1:23.46" "$work/scores.txt" || fail "--scores did not print the kept time: $(cat "$work/scores.txt")"
printf 'not json' >"$scores"
"$hearthly" --scores >"$work/scores.txt" 2>"$work/scores.err" || fail "--scores failed on a damaged file"
grep -qF "scores.json.bad" "$work/scores.err" || fail "the damaged scores file was not named"
[[ $(cat "$scores.bad") == 'not json' ]] || fail "the damaged scores file was not kept aside"

# --- The session is written down as it goes, and one a killed game left is cleared away --------
replay=$2
start_game
xdotool key --clearmodifiers n
sleep 1.5
session=$XDG_DATA_HOME/hearthly/session-$gamePid.rec
[[ -s $session ]] || fail "the game does not write its session down"
"$replay" --play "$session" --no-paint >"$work/replay.log" 2>&1 || fail "the session does not replay: $(cat "$work/replay.log")"
kill -KILL "$gamePid"
wait "$gamePid" 2>/dev/null || true
gamePid=
[[ -e $session ]] || fail "a killed game's session file is gone already"
start_game
wait_for "a killed game's session file to be cleared away" 10 test ! -e "$session"
quit_game

# --- No best round kept yet: --play-best says why; no game leaves its session file behind ---------
status=0
"$hearthly" --play-best mild >"$work/best.txt" 2>&1 || status=$?
((status == 2)) || fail "--play-best without a kept round ended with $status"
grep -qF "No such file" "$work/best.txt" || fail "--play-best did not say why: $(cat "$work/best.txt")"
if compgen -G "$XDG_DATA_HOME/hearthly/session-*.rec" >/dev/null; then
    fail "a game left its session file: $(ls "$XDG_DATA_HOME/hearthly")"
fi

echo "player files: settings kept, damage set aside, unwritable folder said once, help shown and gone"
