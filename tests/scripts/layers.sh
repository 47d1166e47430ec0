#!/usr/bin/env bash
# What the build cannot say about the layers. Each folder is a library that sees only the folders
# below it (CMakeLists.txt), so an include that runs back up fails to compile; what is left here
# is what no compiler sees: a process-wide game or graph, the headers every game file includes
# staying clear of the scene's parts, game/Scene.h kept to the game, SDL by its full path, and a
# header that no file of its own folder includes (the build compiles it only in the libraries
# above, where anything is in sight).
#
# Usage: layers.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

root=$(cd "$3/../.." && pwd)
cd "$root"
status=0

# The folders of the libraries, each with those it may include (itself and the ones it links,
# directly or not): the order in which CMakeLists.txt links them, from the bottom up, with the
# music (which links none of them) joining at the rules.
declare -A sees=([audio]="audio")
seen=
for folder in core gfx scene agents characters widgets level rules game record platform; do
    [[ $folder == rules ]] && seen="$seen audio"
    seen="$folder${seen:+ $seen}"
    sees[$folder]=$seen
done
below=(scene level agents characters rules widgets)

for folder in "${!sees[@]}"; do
    for header in "$folder"/*.h; do
        grep -rqF "#include \"$header\"" "$folder" && continue
        allowed=$(tr ' ' '|' <<<"${sees[$folder]}")
        if found=$(grep -nE '#include "[a-z]+/' "$header" | grep -vE "#include \"($allowed)/"); then
            echo "layers: $header (compiled only above its folder) includes a folder above it:" >&2
            echo "$found" >&2
            status=1
        fi
    done
done
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
    record/RecordingPlayer.h); then
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
((status == 0)) && echo "layers: each folder reaches only the folders below it, and the game stays with the game"
exit "$status"
