// The best round kept to watch: a game whose session is written down as it goes keeps a copy
// of it when a win takes first place, and leaves no session file behind.

#include "record/BestRounds.h"
#include "game/BestTimes.h"
#include "game/Game.h"
#include "game/OffscreenWindow.h"
#include "record/RecordingPlayer.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace record {

namespace {

namespace fs = std::filesystem;

TEST(BestRounds, AFirstPlaceKeepsTheSessionToWatchAndNothingElseIsLeft) {
    std::string name = (fs::temp_directory_path() / "hearthly-best-XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    const fs::path folder = name;
    // A session file of a game long gone is cleared away; the player's own files are not.
    std::ofstream(folder / "session-999999999.rec") << "hearthly-recording 1\n";
    std::ofstream(folder / "notes.rec") << "mine";

    std::vector<std::string> said;
    game::ScoreFile scores(folder / "scores.json", [&](const std::string& line) { said.push_back(line); });
    {
        BestRounds best(scores, folder, [&](const std::string& line) { said.push_back(line); });
        EXPECT_FALSE(fs::exists(folder / "session-999999999.rec"));
        EXPECT_TRUE(fs::exists(folder / "notes.rec"));

        game::Game game{5};
        game::OffscreenWindow window(800, 584);
        std::int64_t now = 1;
        RecordingHeader header{5, 800, 584, 800, 584};
        header.speed = 2;
        game.world().settings().speedLevel = 2;
        SessionRecorder* recorder = best.begin(header, "a test", window, [&] { return now; });
        ASSERT_NE(recorder, nullptr);
        game.keepScores(&best);
        game.attachWindow(recorder->window(), recorder->clock());
        const auto ticks = [&](int n) {
            for (int i = 0; i < n; ++i) {
                now += 10'000;
                game.tick(false);
                recorder->tick();
            }
        };
        const auto winARound = [&](int frames) {
            game.onKey(U'n');
            recorder->key(U'n');
            ticks(frames);
            for (int i = 0; i < game::GameRoundup::kSockCount; ++i)
                game.rules().collectRandomSock();
            ticks(3);
            best.keepPending();
        };
        winARound(30);
        const fs::path kept = BestRounds::bestFile(folder, 2);
        ASSERT_TRUE(fs::exists(kept));
        RecordingHeader read;
        std::string error;
        ASSERT_TRUE(RecordingPlayer::check(kept.string(), read, error)) << error;
        EXPECT_EQ(read.speed, 2);
        EXPECT_EQ(read.seed, 5u);
        const auto firstSize = fs::file_size(kept);

        // A slower win takes second place: the best round stays the one that set the time.
        winARound(60);
        EXPECT_EQ(scores.load().at(2).size(), 2u);
        EXPECT_EQ(fs::file_size(kept), firstSize);
        best.finish();
    }
    EXPECT_TRUE(said.empty()) << said.front();
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().rfind("session-", 0), std::string::npos) << entry.path();
    fs::remove_all(folder);
}

} // namespace

} // namespace record
