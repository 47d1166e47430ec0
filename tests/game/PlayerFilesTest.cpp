// The files the game keeps for its player: settings and best times, real files in a scratch
// folder, damaged, unwritable and written by two games at once.

#include "core/KeptFile.h"
#include "game/BestTimes.h"
#include "game/PlayerSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace game {

namespace {

namespace fs = std::filesystem;

struct PlayerFiles : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "hearthly-player-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string contents(const fs::path& file) {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }
};

TEST_F(PlayerFiles, SettingsAreReadWhenSoundAndSetAsideWhenNot) {
    const struct {
        const char* what;
        const char* text; // nullptr: no file
        PlayerSettings expected;
        bool setAside;
    } cases[] = {
        {"no file: the first run's game", nullptr, {}, false},
        {"all kept",
         R"({"version":1,"music":false,"fullscreen":true,"window":{"width":1000,"height":730},"speed":3})",
         {false, true, 1000, 730, 3},
         false},
        {"some kept, unknown keys passed over", R"({"music":false,"colour":"red"})", {false}, false},
        {"not JSON", "{\"music\": fal", {}, true},
        {"not an object", "[1, 2]", {}, true},
        {"a word for a flag", R"({"music":"off"})", {}, true},
        {"a speed past Fast", R"({"speed":4})", {}, true},
        {"a window of no width", R"({"window":{"width":0,"height":10}})", {}, true},
        {"a window too large", R"({"window":{"width":100000,"height":10}})", {}, true},
        {"a future version", R"({"version":2})", {}, true},
        {"binary", "\x89PNG\r\n\x1a\n\0\0", {}, true},
    };
    for (const auto& c : cases) {
        const fs::path file = dir / "settings.json";
        fs::remove(file);
        fs::remove(dir / "settings.json.bad");
        if (c.text != nullptr)
            std::ofstream(file) << c.text;
        SettingsFile settings(file);
        std::string message;
        EXPECT_EQ(settings.load(message), c.expected) << c.what;
        EXPECT_EQ(fs::exists(dir / "settings.json.bad"), c.setAside) << c.what;
        if (c.setAside) {
            // One line naming the file and where it went; what the player wrote is kept whole.
            EXPECT_NE(message.find(file.string()), std::string::npos) << message;
            EXPECT_NE(message.find("settings.json.bad"), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
            EXPECT_EQ(contents(dir / "settings.json.bad"), c.text) << c.what;
        } else {
            EXPECT_EQ(message, "") << c.what;
        }
    }
}

TEST_F(PlayerFiles, SettingsAreWrittenWhenChangedAndAFolderThatCannotBeWrittenIsSaidOnce) {
    const fs::path file = dir / "deeper" / "hearthly" / "settings.json";
    SettingsFile settings(file);
    std::string message;
    PlayerSettings changed;
    changed.music = false;
    changed.fullscreen = true;
    settings.keep(changed, message);
    EXPECT_EQ(message, "");
    std::string why;
    EXPECT_EQ(PlayerSettings::fromJson(contents(file), why), changed) << why;
    // Nothing but the file itself is left in the folder: the temporary file was renamed.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // A "folder" that is a file cannot be written into, even by root.
    std::ofstream(dir / "plain") << "x";
    SettingsFile nowhere(dir / "plain" / "hearthly" / "settings.json");
    nowhere.keep(changed, message);
    EXPECT_NE(message.find("plain"), std::string::npos) << message;
    message.clear();
    changed.speed = 2;
    nowhere.keep(changed, message);
    EXPECT_EQ(message, "") << "said twice";
}

TEST_F(PlayerFiles, BestTimesKeepTheTenFastestInOrder) {
    BestTimes times;
    const struct {
        double seconds;
        int place;
    } wins[] = {{90, 1},  {80, 1},  {100, 3},  {85, 2},  {85, 3}, {200, 6}, {70, 1},
                {300, 8}, {310, 9}, {320, 10}, {330, 0}, {60, 1}, {400, 0}};
    for (const auto& win : wins)
        EXPECT_EQ(times.add(2, {win.seconds, "2026-01-01T00:00:00Z", 1}), win.place) << win.seconds;
    ASSERT_EQ(times.at(2).size(), BestTimes::kKept);
    EXPECT_TRUE(std::is_sorted(times.at(2).begin(), times.at(2).end(),
                               [](const BestTime& a, const BestTime& b) { return a.seconds < b.seconds; }));
    EXPECT_TRUE(times.at(1).empty());
    std::string why;
    const auto again = BestTimes::fromJson(times.toJson(), why);
    ASSERT_TRUE(again) << why;
    EXPECT_EQ(again->at(2), times.at(2));
    EXPECT_EQ(BestTimes::formatSeconds(83.456), "1:23.46");
}

TEST_F(PlayerFiles, ADamagedScoresFileIsSetAsideAndTheNewTimeKept) {
    const struct {
        const char* what;
        const char* text;
    } cases[] = {
        {"not JSON", "{\"speeds\":"},
        {"a negative time", R"({"version":1,"speeds":{"slow":[{"seconds":-1,"date":"x","lives":1}]}})"},
        {"eleven times", R"({"version":1,"speeds":{"fast":[1,2,3,4,5,6,7,8,9,10,11]}})"},
        {"a time with no lives", R"({"version":1,"speeds":{"mild":[{"seconds":50,"date":"x"}]}})"},
    };
    for (const auto& c : cases) {
        const fs::path file = dir / "scores.json";
        fs::remove(dir / "scores.json.bad");
        std::ofstream(file) << c.text;
        std::vector<std::string> said;
        ScoreFile scores(file, [&](const std::string& line) { said.push_back(line); });
        EXPECT_TRUE(scores.load().at(1).empty()) << c.what;
        ASSERT_EQ(said.size(), 1u) << c.what;
        EXPECT_NE(said[0].find("scores.json.bad"), std::string::npos) << said[0];
        EXPECT_EQ(contents(dir / "scores.json.bad"), c.text) << c.what;
        EXPECT_EQ(scores.roundWon(1, 95.5, 2), 1) << c.what;
        EXPECT_EQ(scores.bestTime(1), 95.5);
        std::string why;
        EXPECT_TRUE(BestTimes::fromJson(contents(file), why)) << why;
    }
}

TEST_F(PlayerFiles, TwoGamesWinningAtOnceLoseNoTime) {
    // Two processes, as two games are, each with its own file object; the lock keeps each
    // game's read, merge and write whole.
    const fs::path file = dir / "scores.json";
    constexpr int kWinsEach = 5;
    std::vector<pid_t> games;
    for (const double first : {100.0, 101.0}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool placed = true;
            ScoreFile scores(file, [&](const std::string&) { placed = false; });
            scores.load();
            for (int i = 0; i < kWinsEach; ++i)
                placed = scores.roundWon(3, first + i * 2, 1) > 0 && placed;
            ::_exit(placed ? 0 : 1);
        }
        games.push_back(pid);
    }
    for (const pid_t pid : games) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a game's time was not placed";
    }
    std::string why;
    const auto times = BestTimes::fromJson(contents(file), why);
    ASSERT_TRUE(times) << why;
    ASSERT_EQ(times->at(3).size(), 2u * kWinsEach);
    for (int i = 0; i < 2 * kWinsEach; ++i)
        EXPECT_EQ(times->at(3)[static_cast<std::size_t>(i)].seconds, 100.0 + i);
}

TEST_F(PlayerFiles, KeptFilesLiveInTheXdgFoldersOrUnderHome) {
    const struct {
        const char* config; // nullptr: unset
        const char* home;
        fs::path expected;
    } cases[] = {
        {"/xdg/config", "/home/player", "/xdg/config/hearthly/settings.json"},
        {nullptr, "/home/player", "/home/player/.config/hearthly/settings.json"},
        // A relative path is no XDG folder.
        {"relative", "/home/player", "/home/player/.config/hearthly/settings.json"},
        {"", nullptr, ""},
    };
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto put = [](const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    };
    const auto oldConfig = keep("XDG_CONFIG_HOME");
    const auto oldHome = keep("HOME");
    for (const auto& c : cases) {
        put("XDG_CONFIG_HOME", c.config ? std::optional<std::string>(c.config) : std::nullopt);
        put("HOME", c.home ? std::optional<std::string>(c.home) : std::nullopt);
        EXPECT_EQ(SettingsFile::defaultPath(), c.expected);
    }
    put("XDG_CONFIG_HOME", oldConfig);
    put("HOME", oldHome);
}

} // namespace

} // namespace game
