#pragma once

#include "AutoPlayer.h"
#include "ReplayOptions.h"
#include "agents/Animal.h"
#include "audio/OfflineOutput.h"
#include "game/AgentWatch.h"
#include "game/GameHost.h"
#include "record/ReplayScript.h"

#include <chrono>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Runs the real game headless: timer calls on a virtual clock, scripted input, screenshots,
// state dumps, and optionally checks that every incremental paint equals a full redraw and
// that the agents stay sound.
class ReplayRunner {
public:
    ReplayRunner(const ReplayOptions& options, ReplayScript script);

    // The exit status: 0 done (or quit), 1 a check failed or a screenshot or state could not
    // be written.
    int run();
    // Plays a recording (already checked) instead of the script: the exit status as for run(),
    // or 2 when a line of the file turns out to be damaged.
    int play(std::istream& recording);

private:
    // False when the event quits the game.
    bool apply(const ReplayEvent& event);
    void timerCall();
    // With --paced: waits until micros more of the clock have passed in real time.
    void pace(long long micros);
    // Runs a timer call, adding its wall and CPU time to the timing.
    template <typename Call> void timed(Call&& call) {
        const auto wall = std::chrono::steady_clock::now();
        const std::chrono::nanoseconds cpu = processCpu();
        call();
        tickTime_ += std::chrono::steady_clock::now() - wall;
        tickCpu_ += processCpu() - cpu;
    }
    static std::chrono::nanoseconds processCpu();
    // Watches the agents after frames were simulated, each step seconds long.
    void checkAgents(long long frames, double step);
    // Compares the window with a full redraw when something was painted since the last check.
    void checkAfterPaint();
    void writeScreenshot(const std::string& file);
    void writeState(const std::string& file);
    int finish();

    ReplayOptions options_;
    ReplayScript script_;
    // Declared before the host so that they outlive the game's lists that point at them.
    std::vector<std::unique_ptr<game::Animal>> standIns_;
    // What a player would hear, rendered in step with the virtual clock (with --audio). It
    // outlives the game, whose music plays into it.
    audio::OfflineOutput audioOut_;
    audio::ScopedAudioOutput audioBinding_;
    game::GameHost host_;
    long long timerCalls_ = 0;
    bool writeFailed_ = false;
    // Wall time spent in the timer calls (simulation, and painting unless --no-paint), and
    // the frames they simulated.
    std::chrono::steady_clock::duration tickTime_{};
    long long tickFrames_ = 0;
    // CPU time of the whole process over the same timer calls (painting threads included).
    std::chrono::nanoseconds tickCpu_{};
    // Real time at the first paced timer call, and the clock's time since then.
    std::optional<std::chrono::steady_clock::time_point> pacedFrom_;
    long long pacedMicros_ = 0;

    // Incremental check.
    long long checkedPresents_ = 0;
    long long comparedPaints_ = 0;
    long long skippedPaints_ = 0;
    int largestDifference_ = 0;
    long long differingPixels_ = 0;
    std::optional<long long> firstFailingCall_;

    game::AgentWatch agentWatch_;
    std::string agentFailure_;

    // With --autoplay: the player that makes the clicks.
    std::optional<AutoPlayer> autoPlayer_;
};
