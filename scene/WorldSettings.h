#pragma once

namespace game {

// The settings the scene reads, changed by the game's keys and buttons.
struct WorldSettings {
    int speedLevel = 1;
    bool paused = false;
    // The goal arrows follow their walkers even when not asked to ('g').
    bool goalTracking = false;
    // A quake was asked for ('e'); the ground starts one and clears it.
    bool groundEventRequest = false;
    bool cheatUsed = false;
    // What the status box shows: 1 is the platform under the Husband.
    int hudMode = 0;
};

} // namespace game
