#!/usr/bin/env bash
# The scene below the game reaches the game only through the world it is handed: no folder
# under game/ includes a game/ header, and nothing anywhere reaches for a process-wide game or
# graph. (The build itself stops gfx, core and audio from including game headers, and the game
# from including SDL; this keeps the rule inside the one game library.)
#
# Usage: layers.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

root=$(cd "$3/../.." && pwd)
cd "$root"
status=0

below=(scene level agents characters rules widgets)
if found=$(grep -rnE '#include "game/' "${below[@]}"); then
    echo "layers: the scene includes the game:" >&2
    echo "$found" >&2
    status=1
fi
if found=$(grep -rnE '\b(theGame|theNavGraph|setTheGame|setTheNavGraph|currentGame)\(' \
    --include='*.cpp' --include='*.h' app core gfx audio platform record tools "${below[@]}" game tests bench fuzz); then
    echo "layers: a process-wide game or graph is back:" >&2
    echo "$found" >&2
    status=1
fi
((status == 0)) && echo "layers: the scene reaches the game only through its world"
exit "$status"
