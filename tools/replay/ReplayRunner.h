#pragma once

#include "ReplayOptions.h"
#include "ReplayScript.h"
#include "audio/OfflineOutput.h"
#include "game/GameHost.h"

#include <optional>

// Runs the real game headless: timer calls on a virtual clock, scripted input, screenshots,
// state dumps, and optionally a check that every incremental paint equals a full redraw.
class ReplayRunner {
public:
    ReplayRunner(const ReplayOptions& options, ReplayScript script);

    // The exit status: 0 done (or quit), 1 the incremental check failed.
    int run();

private:
    // False when the event quits the game.
    bool apply(const ReplayEvent& event);
    void timerCall();
    // Compares the window with a full redraw when something was painted since the last check.
    void checkAfterPaint();
    void writeScreenshot(const std::string& file);
    void writeState(const std::string& file);
    int finish();

    ReplayOptions options;
    ReplayScript script;
    // What a player would hear, rendered in step with the virtual clock (with --audio). It
    // outlives the game, whose music plays into it.
    audio::OfflineOutput audioOut;
    audio::ScopedAudioOutput audioBinding;
    GameHost host;
    long long timerCalls = 0;

    // Incremental check.
    long long checkedPresents = 0;
    long long comparedPaints = 0;
    long long skippedPaints = 0;
    int largestDifference = 0;
    long long differingPixels = 0;
    std::optional<long long> firstFailingCall;
};
