// Hearthly: the program's entry point. Builds the navigation graph, the game and the window
// in the order the scene relies on, then runs the window's loop until the player quits.

#include "audio/AudioOutput.h"
#include "core/Translate.h"
#include "game/BestTimes.h"
#include "game/Game.h"
#include "game/GameStateJson.h"
#include "game/PlayerSettings.h"
#include "gfx/Surface.h"
#include "platform/CommandLine.h"
#include "platform/QuitSignals.h"
#include "platform/SdlAudioDevice.h"
#include "platform/SdlClock.h"
#include "platform/SdlSession.h"
#include "platform/SdlWindow.h"
#include "platform/WindowLoop.h"
#include "record/BestRounds.h"
#include "record/RecordingPlayer.h"
#include "record/SessionRecorder.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unistd.h>

extern const std::uint8_t embeddedIconData[];
extern const std::size_t embeddedIconDataSize;

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 584;

// For the tests that compare a played session with its replay: HEARTHLY_EXIT_DUMP=PREFIX makes
// the game write its state (PREFIX.json) and its picture (PREFIX.png) as it ends.
void dumpAtExit(game::Game& game, long long timerCalls) {
    const char* prefix = std::getenv("HEARTHLY_EXIT_DUMP");
    if (prefix == nullptr || *prefix == '\0')
        return;
    std::ofstream(std::string(prefix) + ".json")
        << game::GameStateJson::dump(game, timerCalls).dump(2) << '\n';
    if (game.renderer().backBuffer().valid())
        game.renderer().backBuffer().savePng(std::string(prefix) + ".png");
}

void say(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

// The player's language: messages follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG. Numbers stay
// as the files and recordings write them, whatever the language.
void chooseLanguage() {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    // In the plain C locale gettext passes LANGUAGE over; C.UTF-8 is English too, and lets a
    // player who set only LANGUAGE have it, even where no other locale is installed.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (messages == nullptr || std::string(messages) == "C" || std::string(messages) == "POSIX")
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    // Run from the build tree, the catalogues lie beside the program; installed, in the system's
    // folder for them. HEARTHLY_LOCALEDIR names another.
    std::string folder = HEARTHLY_LOCALEDIR;
    std::error_code ec;
    const std::filesystem::path beside =
        std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "locale";
    if (const char* chosen = std::getenv("HEARTHLY_LOCALEDIR"); chosen != nullptr && *chosen != '\0')
        folder = chosen;
    else if (!ec && std::filesystem::is_directory(beside, ec))
        folder = beside.string();
    bindtextdomain("hearthly", folder.c_str());
    bind_textdomain_codeset("hearthly", "UTF-8");
}

// hearthly --scores: the best times at each speed, fastest first.
int printScores() {
    const std::filesystem::path path = game::ScoreFile::defaultPath();
    if (path.empty()) {
        say(core::tr("hearthly: no home folder (HOME is not set), so no best times are kept"));
        return 1;
    }
    game::ScoreFile file(path, say);
    const game::BestTimes& times = file.load();
    std::printf("%s\n", core::tr("Best times, fastest first:"));
    static const char* const kSpeeds[] = {"Slow", "Mild", "Fast"};
    for (int speed = 1; speed <= game::BestTimes::kSpeeds; ++speed) {
        std::printf("%s\n", core::tr(kSpeeds[speed - 1]));
        if (times.at(speed).empty())
            std::printf("  %s\n", core::tr("none yet"));
        int place = 0;
        for (const game::BestTime& time : times.at(speed))
            std::printf("  %2d. %s  %s  %s\n", ++place, game::BestTimes::formatSeconds(time.seconds).c_str(),
                        core::trNumber("%d lives left", time.lives).c_str(), time.date.c_str());
    }
    std::printf("%s %s\n", core::tr("Kept in"), path.c_str());
    return 0;
}

// The command lines that print something and end: their exit status, or nothing for a game.
std::optional<int> answerWithoutPlaying(const platform::CommandLine& commandLine) {
    switch (commandLine.action()) {
    case platform::CommandLine::Action::Help:
        std::fputs(platform::CommandLine::helpText().c_str(), stdout);
        return 0;
    case platform::CommandLine::Action::Version:
        std::fputs(platform::CommandLine::versionText(HEARTHLY_VERSION).c_str(), stdout);
        return 0;
    case platform::CommandLine::Action::Error:
        std::fprintf(stderr, "%s\n", commandLine.error().c_str());
        return platform::CommandLine::kExitUsage;
    case platform::CommandLine::Action::Scores:
        return printScores();
    case platform::CommandLine::Action::Play:
        break;
    }
    return std::nullopt;
}

// The session the window records or plays back. Its files, named on the command line, are dealt
// with before any window: a recording that cannot be written, or one to play that is damaged,
// is refused at once.
struct SessionFiles {
    std::unique_ptr<record::SessionRecorder> recorder;
    // The session to show: a recording named, or the best round kept at a speed.
    std::string playFile;
    record::RecordingHeader played;
};

// A recording played back in the window, on the recording's clock. It points into the game, so
// it goes before the game does.
struct Playback {
    core::VirtualClock clock;
    std::unique_ptr<record::WindowPlayback> player;
};

bool openSessionFiles(const platform::CommandLine& commandLine, SessionFiles& files, std::string& error) {
    if (!commandLine.recordFile().empty()) {
        files.recorder = record::SessionRecorder::create(commandLine.recordFile(), error);
        if (!files.recorder)
            return false;
    }
    files.playFile = commandLine.playFile();
    if (commandLine.playBest() != 0)
        files.playFile =
            record::BestRounds::bestFile(game::ScoreFile::defaultPath().parent_path(), commandLine.playBest())
                .string();
    return files.playFile.empty() || record::RecordingPlayer::check(files.playFile, files.played, error);
}

// The player's settings and best times, where they are kept.
struct KeptFiles {
    std::optional<game::SettingsFile> settingsFile;
    std::optional<game::ScoreFile> scoreFile;
    std::optional<record::BestRounds> bestRounds;
    game::PlayerSettings settings;
};

void loadKeptFiles(KeptFiles& kept, game::Game& game) {
    if (const auto path = game::SettingsFile::defaultPath(); !path.empty()) {
        kept.settingsFile.emplace(path);
        std::string message;
        kept.settings = kept.settingsFile->load(message);
        if (!message.empty())
            say(message);
    }
    if (const auto path = game::ScoreFile::defaultPath(); !path.empty()) {
        kept.scoreFile.emplace(path, say);
        kept.scoreFile->load();
        kept.bestRounds.emplace(*kept.scoreFile, path.parent_path(), say);
        game.keepScores(&*kept.bestRounds);
    }
    game.world().settings().speedLevel = kept.settings.speed;
    if (!kept.settings.music)
        game.rules().music().startWithMusicOff();
}

// Writes the settings as they are now, after the player changed one.
void keepSettingsNow(KeptFiles& kept, game::Game& game, platform::SdlWindow& window) {
    if (kept.bestRounds)
        kept.bestRounds->keepPending();
    if (!kept.settingsFile)
        return;
    game::PlayerSettings now = kept.settings;
    now.music = game.rules().music().wanted();
    now.fullscreen = window.fullscreen();
    now.speed = game.world().settings().speedLevel;
    // The window's own size, not one the window manager chose for a while.
    if (const gfx::RectI client = window.clientRect();
        !window.maximised() && !window.minimised() && client.width > 0 && client.height > 0) {
        now.width = client.width;
        now.height = client.height;
    }
    kept.settings = now;
    std::string message;
    kept.settingsFile->keep(now, message);
    if (!message.empty())
        say(message);
}

// Puts the game in the window: recorded, it sees the clock and the window through the recorder;
// played back, it runs on the recording's clock; kept, the session is written down as it goes,
// so that a best round can be watched. False, with the error, if the session cannot start.
bool attachSession(SessionFiles& files, KeptFiles& kept, Playback& playback, std::uint32_t seed,
                   game::Game& game, platform::SdlWindow& window, platform::SdlClock& clock,
                   platform::WindowLoop& loop, std::string& error) {
    const std::string version = std::string("hearthly ") + HEARTHLY_VERSION;
    const auto now = [&clock] { return clock.microseconds(); };
    record::RecordingHeader header{seed, game::Game::kWorldWidth, game::Game::kWorldHeight,
                                   window.clientRect().width, window.clientRect().height};
    if (files.recorder) {
        if (!files.recorder->begin(header, version, window, now, error))
            return false;
        game.attachWindow(files.recorder->window(), files.recorder->clock());
        loop.record(*files.recorder);
    } else if (!files.playFile.empty()) {
        game.world().settings().speedLevel = files.played.speed;
        auto file = record::RecordingPlayer::open(files.playFile, error);
        if (file)
            playback.player = std::make_unique<record::WindowPlayback>(std::move(file), game, playback.clock);
        if (!playback.player || !playback.player->start(error))
            return false;
        game.attachWindow(window, playback.clock);
        loop.play(*playback.player);
    } else {
        header.speed = game.world().settings().speedLevel;
        record::SessionRecorder* session =
            kept.bestRounds ? kept.bestRounds->begin(header, version, window, now) : nullptr;
        if (session) {
            game.attachWindow(session->window(), session->clock());
            loop.record(*session);
        } else {
            game.attachWindow(window, clock);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    chooseLanguage();
    const auto commandLine = platform::CommandLine::parse(std::span<const char* const>(
        const_cast<const char* const*>(argv) + 1, static_cast<std::size_t>(argc - 1)));
    if (const auto answered = answerWithoutPlaying(commandLine))
        return *answered;

    // Before SDL starts any thread: a hang-up, SIGTERM or SIGINT then ends the game like 'q'.
    platform::QuitSignals::blockInThisAndLaterThreads();
    std::string error;
    SessionFiles files;
    if (!openSessionFiles(commandLine, files, error)) {
        std::fprintf(stderr, "hearthly: %s\n", error.c_str());
        return platform::CommandLine::kExitUsage;
    }
    const auto sdl = platform::SdlSession::open(error);
    if (!sdl) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const platform::QuitSignals quitSignals;

    const std::uint32_t seed = files.playFile.empty() ? platform::SdlSession::tickCount() : files.played.seed;

    // Sound is welcome but not needed: without a device the game says so once and plays on in
    // silence, until a sound server answers. The device outlives the game, whose music plays
    // through it.
    error.clear();
    const auto audioDevice = platform::SdlAudioDevice::open(error);
    if (!error.empty())
        std::fprintf(stderr, "%s\n", error.c_str());
    const audio::ScopedAudioOutput audioOutput(audioDevice.get());

    auto game = std::make_unique<game::Game>(seed);

    // The player's settings and best times. A session recorded or played back starts as the
    // first run does and keeps nothing, so that anyone replays it exactly.
    const bool keepFiles =
        !commandLine.noSettings() && commandLine.recordFile().empty() && files.playFile.empty();
    KeptFiles kept;
    if (keepFiles)
        loadKeptFiles(kept, *game);

    const auto window = platform::SdlWindow::create("Hearthly", kClientWidth, kClientHeight, error);
    if (!window) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // The size the player left it at, as far as this screen has room for it.
    if (kept.settings.width != kClientWidth || kept.settings.height != kClientHeight)
        window->resizeClient(kept.settings.width, kept.settings.height);

    // The house at night, as the desktop's menu shows it.
    window->setIcon(gfx::Surface::fromPng(embeddedIconData, embeddedIconDataSize));

    platform::SdlClock clock;
    platform::WindowLoop loop(*window, *game, clock);
    Playback playback;
    if (!attachSession(files, kept, playback, seed, *game, *window, clock, loop, error)) {
        std::fprintf(stderr, "hearthly: %s\n", error.c_str());
        return platform::CommandLine::kExitUsage;
    }
    window->show();
    if (kept.settings.fullscreen)
        loop.enterFullscreen();
    if (kept.settingsFile || kept.bestRounds)
        loop.keepSettings([&] { keepSettingsNow(kept, *game, *window); });

    int status = loop.run();
    dumpAtExit(*game, files.recorder    ? files.recorder->ticks()
                      : playback.player ? playback.player->ticks()
                                        : game->simulatedFrames());
    if (files.recorder && !files.recorder->finish())
        status = status == 0 ? 1 : status;
    if (kept.bestRounds)
        kept.bestRounds->finish();
    game->releaseBackBuffer();
    return status;
}
