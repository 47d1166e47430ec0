#pragma once

#include "game/BestTimes.h"
#include "record/SessionRecorder.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace record {

// The round that set a speed's best time, kept to watch (hearthly --play-best SPEED): the
// session is written down as it is played, into a file of this game's own beside the best
// times, and once a win takes first place the session so far is copied to best-SPEED.rec.
// The copy plays from the session's start to a little after the win.
class BestRounds : public game::ScoreKeeper {
public:
    using Say = std::function<void(const std::string&)>;

    // scores keeps the times; folder is where the best times file lies. Session files left by
    // games that are gone (killed, crashed) are removed.
    BestRounds(game::ScoreKeeper& scores, std::filesystem::path folder, Say say);
    ~BestRounds() override;
    BestRounds(const BestRounds&) = delete;
    BestRounds& operator=(const BestRounds&) = delete;

    // The recording of a speed's best round, 1 Slow to 3 Fast.
    static std::filesystem::path bestFile(const std::filesystem::path& folder, int speed);

    // Starts writing the session down; the game then runs on the recorder's clock and window.
    // Nothing when it cannot be written (said once): the game plays on, keeping times only.
    SessionRecorder* begin(const RecordingHeader& header, const std::string& recordedBy,
                           game::WindowPort& window, SessionRecorder::TimeSource time);

    int roundWon(int speed, double seconds, int lives) override;
    std::optional<double> bestTime(int speed) const override { return scores_.bestTime(speed); }

    // After the frame of a best win was written down: copies the session to its best file.
    void keepPending();
    // Keeps a pending best round, ends the session and removes its file.
    void finish();

private:
    game::ScoreKeeper& scores_;
    std::filesystem::path folder_;
    std::filesystem::path session_;
    Say say_;
    std::unique_ptr<SessionRecorder> recorder_;
    // The speed whose best round waits to be copied, 0 for none.
    int pending_ = 0;
};

} // namespace record
