// hearthly-replay --play: a recorded session, timer call by timer call, with the same checks,
// pictures and sound as a scripted run.
#include "ReplayRunner.h"
#include "record/RecordingPlayer.h"
#include "scene/World.h"

#include <algorithm>
#include <iostream>

int ReplayRunner::play(std::istream& recording) {
    using Kind = ReplayEvent::Kind;
    constexpr int kDamaged = 2;
    checkedPresents_ = host_.game.renderer().presentCount();
    record::RecordingReader reader(recording, game::Game::kWorldWidth, game::Game::kWorldHeight);
    std::string error;
    if (!reader.readHeader(error)) {
        std::cerr << "hearthly-replay: " << options_.playFile << " " << error << '\n';
        return kDamaged;
    }
    game::Game& game = host_.game;
    game.world().settings().speedLevel = reader.header().speed;
    bool quit = false;
    while (!quit && agentFailure_.empty()) {
        ReplayEvent event;
        const record::RecordingReader::Next next = reader.next(event, error);
        if (next == record::RecordingReader::Next::Error) {
            std::cerr << "hearthly-replay: " << options_.playFile << " " << error << '\n';
            return kDamaged;
        }
        // Killed or crashed: a last line cut off in the middle is named, and left out.
        if (next == record::RecordingReader::Next::Stop && !error.empty())
            std::cerr << "hearthly-replay: " << options_.playFile << " " << error
                      << " (the game was killed or crashed)\n";
        else if (next == record::RecordingReader::Next::Stop)
            std::cerr << "hearthly-replay: the recording stops without its end line (the game was killed or "
                         "crashed); all of it was played\n";
        if (next != record::RecordingReader::Next::Event)
            break;
        switch (event.kind) {
        case Kind::Size:
            host_.window.setClientSize(event.x, event.y);
            break;
        case Kind::Minimize:
            host_.window.minimize();
            break;
        case Kind::Restore:
            host_.window.restore();
            break;
        case Kind::Clock:
            pace(std::min<std::int64_t>(event.micros, record::WindowPlayback::kLongestWaitUs));
            record::RecordingPlayer::apply(event, game, host_.clock);
            if (!options_.audioFile.empty())
                audioOut_.advanceMicroseconds(event.micros);
            break;
        case Kind::Tick: {
            pace(std::min<std::int64_t>(event.micros, record::WindowPlayback::kLongestWaitUs));
            ++timerCalls_;
            if (!options_.audioFile.empty())
                audioOut_.advanceMicroseconds(event.micros);
            const long long framesBefore = game.simulatedFrames();
            const std::int64_t lastFrame = game.lastFrameCounter;
            timed([&] { record::RecordingPlayer::apply(event, game, host_.clock); });
            const long long frames = game.simulatedFrames() - framesBefore;
            tickFrames_ += frames;
            checkAfterPaint();
            // The step the frame took, as the game measured it from its last frame.
            const double stepUs = lastFrame != 0 ? static_cast<double>(game.lastFrameCounter - lastFrame)
                                                 : static_cast<double>(event.micros);
            checkAgents(frames, std::min(stepUs, game::Game::kMaxStepUs) / 1e6);
            break;
        }
        case Kind::Key: {
            const long long framesBefore = game.simulatedFrames();
            const record::RecordingPlayer::Result result =
                record::RecordingPlayer::apply(event, game, host_.clock);
            checkAfterPaint(); // 'p' and 's' paint at once
            // The About box the player opened is no part of the replay's output: standard
            // output holds only what was asked for (--timing, --check-agents).
            checkAgents(game.simulatedFrames() - framesBefore, game::Game::kMaxStepUs / 1e6);
            quit = result == record::RecordingPlayer::Result::Quit;
            break;
        }
        default:
            record::RecordingPlayer::apply(event, game, host_.clock);
            checkAfterPaint();
            break;
        }
    }
    return finish();
}
