#include "game/KeyCommands.h"

#include "agents/NavGraph.h"
#include "level/NodeHighlight.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"
#include "widgets/TextBox.h"

namespace game {

Game::KeyAction KeyCommands::apply(Game& game, char32_t key) {
    constexpr char32_t kEscape = 27;
    // Over the help only the keys that take it away, and quitting, do anything.
    if (game.helpShown()) {
        if (key == kEscape || key == Game::kHelpKey)
            game.showHelp(false);
        return key == U'q' ? Game::KeyAction::Quit : Game::KeyAction::None;
    }
    if (applyOverlayKey(game, key) || applyRoundKey(game, key))
        return Game::KeyAction::None;
    WorldSettings& settings = game.world().settings();
    switch (key) {
    case Game::kHelpKey:
        game.showHelp(true);
        break;
    case kEscape:
    case U'q':
        return Game::KeyAction::Quit;
    case U'h':
        return Game::KeyAction::ShowAbout;
    case U'a':
        game.rules().music().toggle();
        break;
    case U'p':
        settings.paused = !settings.paused;
        // Shown in the picture too: a full-screen player never sees the title.
        game.pauseBox().setOn(settings.paused);
        game.tick(true);
        if (settings.paused)
            game.rules().music().pause();
        else
            game.rules().music().resume();
        break;
    default:
        break;
    }
    return Game::KeyAction::None;
}

bool KeyCommands::applyOverlayKey(Game& game, char32_t key) {
    switch (key) {
    case U'b':
        game.showRedrawnObjects = !game.showRedrawnObjects;
        game.showDirtyRects = false;
        return true;
    case U'c':
        game.showDirtyRects = !game.showDirtyRects;
        game.showRedrawnObjects = false;
        return true;
    case U'f':
        cycleStatusBox(game);
        return true;
    case U'j':
        stepSelectedNode(game, -1);
        return true;
    case U'k':
        stepSelectedNode(game, +1);
        return true;
    case U'l':
        game.navOverlay = (game.navOverlay + 1) % 3;
        game.world().settings().cheatUsed = true;
        return true;
    case U'r':
        game.paintForcesFullRedraw = !game.paintForcesFullRedraw;
        return true;
    case U'z':
        game.hoverNodes = !game.hoverNodes;
        // Back to walkways, the cross goes at once: left standing, it would still say where
        // a click sends him.
        if (!game.hoverNodes)
            game.nodeHighlight().setNode(nullptr);
        return true;
    default:
        return false;
    }
}

bool KeyCommands::applyRoundKey(Game& game, char32_t key) {
    WorldSettings& settings = game.world().settings();
    switch (key) {
    case U'd':
        settings.speedLevel = settings.speedLevel >= 3 ? 1 : settings.speedLevel + 1;
        game.rules().speedChanged();
        settings.cheatUsed = true;
        return true;
    case U'e':
        settings.groundEventRequest = true;
        settings.cheatUsed = true;
        return true;
    case U'g':
        settings.goalTracking = !settings.goalTracking;
        settings.cheatUsed = true;
        return true;
    case U's':
        game.tick(true);
        settings.cheatUsed = true;
        return true;
    case U'+':
    case U'=':
        game.rules().collectRandomSock();
        settings.cheatUsed = true;
        return true;
    case U'-':
    case U'_':
        game.rules().returnRandomSock();
        return true;
    case U'm':
        game.rules().endGame();
        return true;
    case U'n':
        game.rules().startNewGame();
        return true;
    default:
        return false;
    }
}

void KeyCommands::cycleStatusBox(Game& game) {
    int& hudMode = game.world().settings().hudMode;
    hudMode = (hudMode + 1) % 4;
    game.messageBox().setOn(hudMode != 0);
    game.messageBox().setText("");
}

void KeyCommands::stepSelectedNode(Game& game, int delta) {
    const int count = game.world().navGraph().nodeCount();
    if (count <= 0) {
        game.selectedNode = 0;
        return;
    }
    game.selectedNode = ((game.selectedNode + delta) % count + count) % count;
}

} // namespace game
