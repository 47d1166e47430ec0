#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace game {

namespace {

namespace fs = std::filesystem;

// Runs the replay tool and returns its exit status; what it printed goes to output if given.
int replay(const std::string& arguments, const fs::path& output = "/dev/null") {
    const std::string command =
        std::string(HEARTHLY_REPLAY) + " " + arguments + " > '" + output.string() + "' 2>&1";
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
    EXPECT_EQ(replay("--renderer gpu"), 2);
    EXPECT_EQ(replay("--script " + (dir / "missing.replay").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("3 dance\n").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("x key q\n").string()), 2);
    EXPECT_EQ(replay("--script " + writeScript("3 key qq\n").string()), 2);
    EXPECT_EQ(replay("--autoplay --speed warp"), 2);
    EXPECT_EQ(replay("--speed fast"), 2);
    EXPECT_EQ(replay("--autoplay --script " + writeScript("3 key n\n").string()), 2);
}

// What a newcomer tries first, and the measuring and checking options: each run, what it must
// end with, and what it must print.
TEST_F(ReplayTool, RunsEndAsTheyShouldAndSaySo) {
    const std::string nowhere = (dir / "no-such-folder").string();
    const struct {
        std::string arguments;
        std::string script; // written to a file and passed with --script when not empty
        int status;
        std::string printed; // what the output starts with, or with a leading '*', contains
    } cases[] = {
        {"--version", "", 0, "hearthly-replay "},
        {"--frames 2 --screenshot " + nowhere + "/end.png", "", 1, "*cannot write " + nowhere + "/end.png"},
        {"--frames 2 --state " + nowhere + "/end.json", "", 1, "*cannot write " + nowhere + "/end.json"},
        {"--frames 2", "1 screenshot " + nowhere + "/one.png\n", 1, "*cannot write " + nowhere + "/one.png"},
        {"--frames 2", "2 state " + nowhere + "/two.json\n", 1, "*cannot write " + nowhere + "/two.json"},
        {"--script " + dir.string(), "", 2, "*cannot read script"},
        {"--frames 3", "0 key d\n3 key d\n4 key d\n9 key d\n", 0, "*2 script events after the last frame"},
        {"--frames 9", "2 key q\n4 key d\n", 0, "*1 script event after the game quit"},
        {"--stand-ins 101", "", 2, "*bad value '101' for --stand-ins"},
        {"--frames 20 --no-paint --timing", "", 0, "timing: 19 frames simulated in "},
        {"--frames 20 --timing --paced", "", 0, "*us a frame, paced)"},
        {"--frames 20 --check-agents --stand-ins 2", "", 0, "agent check: "},
        {"--frames 40 --renderer cairo --check-incremental", "10 key n\n", 0,
         "incremental check: 39 paints compared, 0 skipped with a debug overlay on screen, largest channel "
         "difference 0, differing pixels 0"},
    };
    for (const auto& c : cases) {
        const std::string arguments =
            c.arguments + (c.script.empty() ? "" : " --script " + writeScript(c.script).string());
        const fs::path output = dir / "output.txt";
        EXPECT_EQ(replay(arguments, output), c.status) << arguments;
        std::ostringstream out;
        out << std::ifstream(output).rdbuf();
        const std::string printed = out.str();
        const bool found = c.printed[0] == '*' ? printed.find(c.printed.substr(1)) != std::string::npos
                                               : printed.rfind(c.printed, 0) == 0;
        EXPECT_TRUE(found) << arguments << ": " << printed;
    }
    // The version is one line, as the game's is.
    EXPECT_EQ(replay("--version", dir / "version.txt"), 0);
    std::ifstream version(dir / "version.txt");
    std::string line, more;
    EXPECT_TRUE(std::getline(version, line) && !std::getline(version, more));
}

// Half a minute of a round played by the autoplay: it starts the round at the speed asked
// for, collects socks by clicking, and plays the same round again for the same seed, also in a
// larger window with bars beside the world, where its clicks land on other pixels.
TEST_F(ReplayTool, AutoplayPlaysTheSameRoundForASeed) {
    const char* sizes[] = {"800x584", "800x584", "1400x700"};
    std::string lines[std::size(sizes)];
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const fs::path output = dir / "autoplay.txt";
        ASSERT_EQ(replay(std::string("--autoplay --speed fast --seed 4 --frames 3000 --no-paint --size ") +
                             sizes[i],
                         output),
                  0);
        std::getline(std::ifstream(output), lines[i]);
    }
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(lines[0], lines[2]) << "in the larger window";
    int socks = 0;
    int lives = -1;
    char livesWord[8] = {};
    int clicks = 0;
    int walksPast = 0;
    ASSERT_EQ(
        std::sscanf(lines[0].c_str(),
                    "autoplay: seed 4, speed fast, %d of 40 socks, time out, 30.0 s of game time, %d %7s "
                    "left, %d clicks, %d walks past the sock",
                    &socks, &lives, livesWord, &clicks, &walksPast),
        5)
        << lines[0];
    EXPECT_TRUE(lives >= 0 && lives <= 2) << lines[0];
    EXPECT_GE(socks, 1) << lines[0];
    EXPECT_GE(clicks, 2) << "the button and at least one sock: " << lines[0];
}

TEST_F(ReplayTool, EventsAfterTheLastFrameLeaveTheStateAlone) {
    const fs::path state = dir / "state.json";
    const fs::path script = writeScript("3 key d\n4 key d\n");
    ASSERT_EQ(replay("--frames 3 --script " + script.string() + " --state " + state.string()), 0);
    EXPECT_EQ(readJson(state)["speedLevel"], 2);
}

// Paced, the timer calls come 10 ms apart in real time, and nothing of that real time reaches
// the game: the same state as a run flat out.
TEST_F(ReplayTool, PacedRunsTakeTheClocksTimeAndEndAlike) {
    std::string states[2];
    for (const bool paced : {true, false}) {
        const fs::path state = dir / (paced ? "paced.json" : "flat.json");
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(replay("--frames 30 --seed 3 --state " + state.string() + (paced ? " --paced" : "")), 0);
        if (paced) {
            EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
        }
        states[paced ? 0 : 1] = readJson(state).dump();
    }
    EXPECT_EQ(states[0], states[1]);
}

// In the middle of a quake, a run that skipped painting shows the same picture at the end.
TEST_F(ReplayTool, NoPaintStillTakesAFullScreenshot) {
    // After a quake: while the house quakes its pieces stand where their pictures, painted at
    // the quake's first painted frame, put them, within half a pixel of a picture made now.
    const fs::path script = writeScript("2 key e\n");
    std::string pictures[2];
    for (const bool painted : {true, false}) {
        const fs::path shot = dir / (painted ? "painted.png" : "unpainted.png");
        ASSERT_EQ(replay("--frames 120 --script " + script.string() + " --screenshot " + shot.string() +
                         (painted ? "" : " --no-paint")),
                  0);
        std::ostringstream bytes;
        bytes << std::ifstream(shot, std::ios::binary).rdbuf();
        pictures[painted ? 0 : 1] = bytes.str();
    }
    EXPECT_FALSE(pictures[0].empty());
    EXPECT_TRUE(pictures[0] == pictures[1]) << "the pictures differ";
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

} // namespace game
