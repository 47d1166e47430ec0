# Shared by the scripts that run the real game in a window on a private X server. Sourced with
# the script's own arguments (<hearthly> <hearthly-replay> <test data dir>), it sets hearthly,
# data, a scratch folder in work, and the process ids xvfbPid, wmPid and gamePid (empty until
# started).

hearthly=$1
data=$3
work=$(mktemp -d)
xvfbPid=
wmPid=
gamePid=

cleanup() {
    local pid
    # The game turns SIGTERM into a quit request, which a modal box would hold up.
    [[ -n $gamePid ]] && kill -KILL "$gamePid" 2>/dev/null
    for pid in $wmPid $xvfbPid; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $gamePid $wmPid $xvfbPid; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# In a sanitizer build, leaks are checked at exit; the data folder lists the one let pass.
export LSAN_OPTIONS="suppressions=$data/leaks.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $work/game.log ]]; then
        echo "--- hearthly's output ---" >&2
        cat "$work/game.log" >&2
    fi
    exit 1
}

# wait_for <what> <seconds> <command...>: runs the command until it succeeds.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    # By the clock: a check that is slow itself must not stretch the deadline.
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.05
    done
}

# Spread of the picture's brightness in the strip along the bottom where the sock counter, the
# lives and the clock stand: flat ground without them, text and figures with them.
bottom_strip() {
    import -window "$game" "$work/shot.png" &&
        convert "$work/shot.png" -crop 240x30+4+550 +repage -format '%[fx:standard_deviation]' info:
}
strip_busier() { awk -v now="$(bottom_strip)" -v before="$1" 'BEGIN { exit !(now > before + 0.02) }'; }

# The game's own window: titled Hearthly (or "Hearthly (paused)") and made by the process
# started here.
game_window() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F ' "Hearthly' | awk '{ print $1 }'); do
        if xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -q "= $gamePid\$"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

game_running() { kill -0 "$gamePid" 2>/dev/null; }
game_ended() { ! game_running; }

# An X server of the given size (WxH) with DISPLAY pointing at it.
start_x() {
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfbPid=$!
    wait_for "the X server" 10 test -s "$work/display"
    export DISPLAY=":$(head -n 1 "$work/display")"
}

# Openbox on it; arguments go to openbox (a configuration of the test's own).
start_wm() {
    openbox --sm-disable "$@" >"$work/openbox.log" 2>&1 &
    wmPid=$!
    wait_for "the window manager" 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

# Waits for the game's window to show and activates it; sets game. The limits in seconds for
# the window to appear and to be shown may be given (a sanitizer build builds its scene slowly).
show_game() {
    wait_for "the Hearthly window" "${1:-20}" game_window
    game=$(game_window)
    wait_for "the window to be shown" "${2:-10}" sh -c "xwininfo -id $game | grep -q IsViewable"
    xdotool windowactivate --sync "$game"
}

# 'q' ends the game, which must exit with status 0 within the deadline (10 s unless given).
quit_game() {
    xdotool key --clearmodifiers q
    wait_for "hearthly to end" "${1:-10}" game_ended
    local status=0
    wait "$gamePid" || status=$?
    gamePid=
    ((status == 0)) || fail "hearthly ended with status $status"
}
