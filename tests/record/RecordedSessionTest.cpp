#include "agents/NavGraph.h"
#include "game/GameHost.h"
#include "game/GameStateJson.h"
#include "game/OffscreenWindow.h"
#include "record/RecordingPlayer.h"
#include "record/SessionRecorder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace record {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr std::uint32_t kSeed = 11;

// A game built as the program builds it, attached to the recorder's clock and window, and
// handed input the way the window loop hands it: the recorder hears of each call after it.
struct RecordedSession {
    explicit RecordedSession(const fs::path& file) : window(800, 584) {
        game = std::make_unique<game::Game>(kSeed);
        std::string error;
        recorder = SessionRecorder::create(file.string(), error);
        EXPECT_TRUE(recorder) << error;
        EXPECT_TRUE(recorder->begin(
            {kSeed, 800, 584, 800, 584}, "a test", window, [this] { return now; }, error));
        game->attachWindow(recorder->window(), recorder->clock());
    }
    ~RecordedSession() { game.reset(); }

    void expose() {
        game->paint(true);
        recorder->expose();
    }
    // Timer calls of uneven length, now and then one too early to make a frame.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            jitter = jitter * 1103515245u + 12345u;
            now += i % 17 == 5 ? 4'000 : 9'000 + static_cast<std::int64_t>(jitter >> 16) % 4'000;
            game->tick(false);
            recorder->tick();
        }
    }
    void key(char32_t k) {
        now += 3'210;
        game->onKey(k);
        recorder->key(k);
    }
    void click(int x, int y) {
        const gfx::PointF world = game->toWorld(x, y);
        game->onPointerMove(world);
        recorder->move(world);
        game->onPointerClick(world);
        recorder->click(world);
    }
    // A border drag: the window takes the size, repaints, and the game mends the proportions.
    void drag(int width, int height) {
        const gfx::RectI before = window.clientRect();
        window.setClientSize(width, height);
        expose();
        ticks(30);
        game->fitAspect(before);
        recorder->fit(before);
        expose();
    }

    game::OffscreenWindow window;
    std::unique_ptr<game::Game> game;
    std::unique_ptr<SessionRecorder> recorder;
    std::int64_t now = 5'000'000'000;
    std::uint32_t jitter = 1;
};

int replay(const std::string& arguments, const fs::path& output = "/dev/null") {
    const std::string command =
        std::string(HEARTHLY_REPLAY) + " " + arguments + " > '" + output.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tune's temporary file is named afresh by every process that plays it.
json withoutTuneFile(json state) {
    state["music"].erase("file");
    return state;
}

json withoutWindow(json state) {
    state.erase("client");
    state.erase("scale");
    return state;
}

struct Recording : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("hearthly-recording-test-" + std::to_string(::getpid()));
    Recording() { fs::create_directories(dir); }
    ~Recording() override { fs::remove_all(dir); }
};

} // namespace

// A session with everything the window loop passes on (uneven and dropped timer calls, keys that
// read the clock, clicks, a drag with the proportions mended, minimising, a full-screen switch)
// is replayed headless to the same state and the same picture, and in a window's playback to the
// same state.
TEST_F(Recording, ASessionReplaysExactlyHeadlessAndInAWindow) {
    const fs::path file = dir / "session.rec";
    json played;
    {
        RecordedSession s(file);
        s.expose();
        s.ticks(40);
        s.click(205, 362); // "Slow"
        s.ticks(120);
        s.click(600, 300);
        s.key(U'f'); // the frame rate, from the measured steps
        s.key(U'f');
        s.ticks(60);
        s.drag(1000, 584);
        s.click(700, 150);
        s.ticks(60);
        s.window.minimize();
        s.ticks(5);
        s.window.restore();
        s.expose();
        s.key(U'e');
        s.game->renderer().requestFullRedraw();
        s.recorder->redraw();
        s.ticks(80);
        // Pausing, a single step and resuming read the clock between timer calls; the frame
        // rate shown counts those steps too.
        s.key(U'p');
        s.ticks(20);
        s.key(U's');
        s.key(U'p');
        s.ticks(20);
        played = game::GameStateJson::dump(*s.game, s.recorder->ticks());
        ASSERT_TRUE(s.window.screen().savePng((dir / "played.png").string()) == gfx::Status::Ok);
        ASSERT_TRUE(s.recorder->finish());
    }
    ASSERT_TRUE(played["rules"]["running"].get<bool>());

    ASSERT_EQ(replay("--play " + file.string() + " --state " + (dir / "replayed.json").string() +
                     " --screenshot " + (dir / "replayed.png").string()),
              0);
    played = withoutTuneFile(played);
    const json replayed = withoutTuneFile(json::parse(std::ifstream(dir / "replayed.json")));
    EXPECT_TRUE(replayed == played) << "differences: " << json::diff(played, replayed).dump().substr(0, 400);
    std::ifstream a(dir / "played.png", std::ios::binary), b(dir / "replayed.png", std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b), {}))
        << "the replayed picture differs";

    // The same file in a window's playback, on a clock that runs in steps of its own: the viewer
    // pauses it and presses keys, and none of it changes what happens.
    game::GameHost host(800, 584, kSeed, false);
    std::string error;
    WindowPlayback playback(RecordingPlayer::open(file.string(), error), host.game, host.clock);
    ASSERT_TRUE(playback.start(error)) << error;
    std::int64_t now = 0;
    for (int step = 0; !playback.ended() && step < 100'000; ++step) {
        now += 7'000;
        if (step == 200) {
            playback.viewerKey(U'p', now);
            EXPECT_EQ(playback.timeUntilDue(now), -1);
            for (const char32_t key : {U'n', U'm', U'e', U'l', U'b'})
                playback.viewerKey(key, now);
            playback.viewerKey(U'p', now + 50'000);
        }
        playback.advance(now);
    }
    EXPECT_TRUE(playback.ended());
    EXPECT_TRUE(playback.problem().empty()) << playback.problem();
    json shown = withoutTuneFile(game::GameStateJson::dump(host.game, playback.ticks()));
    // What the viewer switched on ('l' and 'b') is the viewer's; the rest is as played.
    EXPECT_EQ(shown["navOverlay"], 1);
    shown["navOverlay"] = played["navOverlay"];
    shown["showRedrawnObjects"] = played["showRedrawnObjects"];
    EXPECT_TRUE(withoutWindow(shown) == withoutWindow(played))
        << "differences: " << json::diff(withoutWindow(played), withoutWindow(shown)).dump().substr(0, 400);
}

// The recorder is handed a file that cannot be written, or one that fills up: it refuses the
// first at once and lets the game play on unrecorded with the second.
TEST_F(Recording, UnwritableFilesAreRefusedAndAFullDiskEndsOnlyTheRecording) {
    std::string error;
    EXPECT_FALSE(SessionRecorder::create((dir / "no-such-folder" / "x.rec").string(), error));
    EXPECT_NE(error.find("cannot record to"), std::string::npos) << error;
    EXPECT_FALSE(SessionRecorder::create(dir.string(), error));
    EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;

    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fill";
    auto recorder = SessionRecorder::create("/dev/full", error);
    ASSERT_TRUE(recorder) << error;
    game::OffscreenWindow window(800, 584);
    EXPECT_FALSE(recorder->begin(
        {1, 800, 584, 800, 584}, "a test", window, [] { return 0; }, error));
    EXPECT_NE(error.find("No space left"), std::string::npos) << error;
}

// What hearthly-replay --play says and ends with, for recordings sound, cut short and damaged,
// and for options a recording replaces.
TEST_F(Recording, TheReplayToolPlaysSoundRecordingsAndRefusesDamagedOnes) {
    const std::string header = "hearthly-recording 1\nseed 3\nworld 800 584\nclient 400 292\n";
    const std::string body = "expose\n" + [] {
        std::string ticks;
        for (int i = 0; i < 300; ++i)
            ticks += "t 10000\n";
        return ticks;
    }() + "key n\n";
    const struct {
        std::string recording; // written to a file when not empty
        std::string arguments;
        int status;
        std::string printed; // what the output contains
    } cases[] = {
        {header + body + "end\n", "--check-agents --timing --no-paint", 0, "agent check: "},
        {header + body, "", 0, "stops without its end line (the game was killed or crashed)"},
        // Everything at its limits is played without a fault.
        {header + "expose\nt 1000000000000\nclick 1000000 -1000000\nmove -1000000 1000000\nkey U+10FFFF\n"
                  "key U+0000\nfit 1 1\nsize 16384 2\nexpose\nt 0\nminimize\nexpose\nt 10000\nrestore\n"
                  "key s\nsize 2 16384\nkey n\nt 1\nclock 1000000000000\nkey p\nkey p\nt 1\nredraw\nend\n",
         "--check-agents", 0, "agent check: "},
        {header + body + "dance 3\nend\n", "", 2, "session.rec line 307: unknown event 'dance'"},
        {header + body + "t 10", "", 0,
         "session.rec line 307: cut off before the end of the line; played up to"},
        {header + "size 100000 100000\n", "", 2, "session.rec line 5: size needs a width and a height"},
        {header + body + "end\n", "--seed 4", 2, "--seed cannot go with --play"},
        {header + body + "end\n", "--stand-ins 2", 2, "--stand-ins cannot go with --play"},
        {"", "", 2, "cannot read recording"},
    };
    for (const auto& c : cases) {
        const fs::path file = dir / "session.rec";
        fs::remove(file);
        if (!c.recording.empty())
            std::ofstream(file) << c.recording;
        const fs::path output = dir / "output.txt";
        const std::string arguments = "--play " + file.string() + " " + c.arguments;
        EXPECT_EQ(replay(arguments, output), c.status) << arguments;
        std::ostringstream printed;
        printed << std::ifstream(output).rdbuf();
        EXPECT_NE(printed.str().find(c.printed), std::string::npos)
            << arguments << " printed '" << printed.str() << "' without '" << c.printed << "'";
    }
}

} // namespace record
