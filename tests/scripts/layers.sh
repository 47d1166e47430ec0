#!/usr/bin/env bash
# The scene below the game reaches the game only through the world it is handed: no folder
# under game/ includes a game/ header, and nothing anywhere reaches for a process-wide game or
# graph; and SDL stays in platform/. (The build itself stops gfx, core and audio from including
# game headers, and the game from including SDL by its usual name; this keeps the rules inside
# the one game library too.) The headers every game file includes stay clear of the scene's parts.
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
# The game's own header stays light: the scene's parts are reached through its accessors, so a
# storey, a figure or a widget edit rebuilds the files that use it and not all that know the game.
# Only the game's .cpp files and game/Scene.h may include the scene's part headers.
parts='#include "(level|characters|widgets|rules)/'
if found=$(grep -nE "$parts" game/Game.h game/GameHost.h game/KeyCommands.h game/Renderer.h \
    scene/World.h agents/NavGraph.h record/RecordingPlayer.h); then
    echo "layers: a header that holds or reaches the game pulls in the scene's parts:" >&2
    echo "$found" >&2
    status=1
fi
if found=$(grep -rlE '#include "game/Scene.h"' --include='*.cpp' --include='*.h' \
    app core gfx audio platform record tools "${below[@]}" game tests bench fuzz |
    grep -vxE 'game/(Game|Scene)\.cpp'); then
    echo "layers: only the game builds its scene; these include game/Scene.h:" >&2
    echo "$found" >&2
    status=1
fi
# The include paths keep SDL's own folder from the game; its full path must stay out as well.
if found=$(grep -rnE '#include [<"]SDL' core gfx audio "${below[@]}" game); then
    echo "layers: SDL outside platform/:" >&2
    echo "$found" >&2
    status=1
fi
((status == 0)) && echo "layers: the scene reaches the game only through its world"
exit "$status"
