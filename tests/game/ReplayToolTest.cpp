#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

// Runs the replay tool and returns its exit status.
int replay(const std::string& arguments) {
    const std::string command = std::string(HEARTHLY_REPLAY) + " " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ReplayTool : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("hearthly-replay-test-" + std::to_string(::getpid()));
    ReplayTool() { fs::create_directories(dir); }
    ~ReplayTool() override { fs::remove_all(dir); }

    fs::path writeScript(const std::string& text) {
        const fs::path file = dir / "script.replay";
        std::ofstream(file) << text;
        return file;
    }
    nlohmann::json readJson(const fs::path& file) { return nlohmann::json::parse(std::ifstream(file)); }
};

TEST_F(ReplayTool, BadArgumentsAndUnreadableScriptsExitWithTwo) {
    EXPECT_EQ(replay("--frames"), 2);
    EXPECT_EQ(replay("--frames ten"), 2);
    EXPECT_EQ(replay("--size 800by584"), 2);
    EXPECT_EQ(replay("--size 0x584"), 2);
    EXPECT_EQ(replay("--bogus 1"), 2);
    EXPECT_EQ(replay("--script " + (dir / "missing.replay").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("3 dance\n").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("x key q\n").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("3 key qq\n").string()), 2);
}

TEST_F(ReplayTool, StateReportsSettingsWidgetsAndTheDrawList) {
    const fs::path state = dir / "state.json";
    const fs::path script = writeScript("# speed up twice, status box on\n"
                                        "2 key d\n3 key d   # Fast\n4 key f\n"
                                        "5 move 200 360\n");
    ASSERT_EQ(replay("--frames 10 --seed 5 --script " + script.string() + " --state " + state.string()), 0);
    const nlohmann::json j = readJson(state);
    EXPECT_EQ(j["tick"], 10);
    EXPECT_EQ(j["frames"], 9); // the first call only starts the clock
    EXPECT_EQ(j["speedLevel"], 3);
    EXPECT_EQ(j["cheatUsed"], true);
    EXPECT_EQ(j["messageBox"]["on"], true);
    ASSERT_EQ(j["buttons"].size(), 3u);
    EXPECT_EQ(j["buttons"][0]["text"], "Slow");
    EXPECT_EQ(j["buttons"][0]["highlighted"], true);
    EXPECT_EQ(j["buttons"][1]["highlighted"], false);
    bool sawButton = false;
    for (const auto& object : j["drawList"]) {
        ASSERT_EQ(object["bounds"].size(), 4u);
        sawButton = sawButton || object["type"] == "Button";
    }
    EXPECT_TRUE(sawButton);
}

TEST_F(ReplayTool, QuitEndsTheRunEarly) {
    const fs::path state = dir / "quit.json";
    const fs::path script = writeScript("4 key q\n8 key d\n");
    ASSERT_EQ(replay("--frames 20 --script " + script.string() + " --state " + state.string()), 0);
    const nlohmann::json j = readJson(state);
    EXPECT_EQ(j["tick"], 3);
    EXPECT_EQ(j["speedLevel"], 1);
}

TEST_F(ReplayTool, ResizeAndScreenshotFollowTheWindow) {
    const fs::path shot = dir / "shot.png";
    const fs::path state = dir / "resized.json";
    const fs::path script = writeScript("2 resize 1000 584\n3 screenshot " + shot.string() + "\n4 state " +
                                        state.string() + "\n");
    ASSERT_EQ(replay("--frames 5 --script " + script.string()), 0);
    EXPECT_TRUE(fs::exists(shot));
    const nlohmann::json j = readJson(state);
    EXPECT_EQ(j["client"], nlohmann::json::array({1000, 730}));
    EXPECT_DOUBLE_EQ(j["scale"].get<double>(), 1.25);
}

} // namespace
