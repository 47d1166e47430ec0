#include "platform/SdlAudioDevice.h"
#include "../audio/AudioTestSupport.h"
#include "audio/MusicPlayer.h"
#include "audio/Tune.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

using platform::SdlAudioDevice;

namespace {

// The samples SDL's file driver has written so far.
std::vector<std::int16_t> written(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::int16_t> samples(bytes.size() / 2);
    // A stream just opened may not have written anything yet.
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int peak(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    int p = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        p = std::max(p, std::abs(static_cast<int>(s[i])));
    return p;
}

// Whether the tune can be heard in what the driver has written so far.
bool audible(const std::filesystem::path& file) {
    const std::vector<std::int16_t> sofar = written(file);
    return peak(sofar, 0, sofar.size()) > audiotest::kAudible;
}

// SDL's file driver as the sound card, writing to a file in a scratch folder; the driver and
// its file as they were come back at the end.
struct DiskCard {
    explicit DiskCard(const char* name = "card.raw") : file(dir.path / name) {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    }

    const audiotest::SavedVariable driver{"SDL_AUDIODRIVER"}, driverFile{"SDL_DISKAUDIOFILE"};
    audiotest::ScratchDir dir;
    std::filesystem::path file;
};

// Waits for a condition the device's threads bring about, with room for a loaded machine.
template <typename Condition> bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(SdlAudioDevice, TheTunePlaysOnTheCardAndTheCardRestsWhenItStops) {
    const DiskCard disk;
    const std::filesystem::path& file = disk.file;
    std::string error;
    const auto card = SdlAudioDevice::open(error);
    ASSERT_TRUE(card) << error;
    EXPECT_FALSE(card->active());
    const audio::ScopedAudioOutput output(card.get());
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), audio::theAudioOutput());
    ASSERT_TRUE(player && player->play());
    EXPECT_TRUE(card->active());
    EXPECT_TRUE(eventually([&] { return audible(file); })) << "the tune reaches the card";
    player->stop();
    EXPECT_FALSE(card->active());
    // A buffer made just before the stop may still be on its way to the file: what follows a
    // tenth of a second of stream after the stop is looked at, over another tenth.
    constexpr std::size_t kTenth = 44100 / 10 * 2;
    const std::size_t atStop = written(file).size();
    ASSERT_TRUE(eventually([&] { return written(file).size() >= atStop + kTenth; }));
    const std::size_t settled = written(file).size();
    ASSERT_TRUE(eventually([&] { return written(file).size() >= settled + kTenth; }));
    // While it rests, the card is handed silence only.
    const std::vector<std::int16_t> after = written(file);
    EXPECT_EQ(peak(after, settled, after.size()), 0);
}

TEST(SdlAudioDevice, AnIdleStreamIsReleasedAndOpenedAgainWhenTheMusicStarts) {
    const DiskCard disk;
    const std::filesystem::path& file = disk.file;
    SdlAudioDevice::Timing quick;
    quick.releaseAfter = std::chrono::milliseconds(200);
    quick.watchEvery = std::chrono::milliseconds(50);
    std::string error;
    const auto card = SdlAudioDevice::open(error, quick);
    ASSERT_TRUE(card) << error;
    EXPECT_EQ(card->driver(), "disk");
    const audio::ScopedAudioOutput output(card.get());
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), audio::theAudioOutput());
    ASSERT_TRUE(player);
    // Nothing plays in the menu: the stream opened to learn the card's rate goes.
    EXPECT_TRUE(eventually([&] { return !card->streamOpen(); }));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(player->play());
        EXPECT_TRUE(eventually([&] { return card->streamOpen(); }));
        // SDL's file driver starts its file afresh with each stream.
        EXPECT_TRUE(eventually([&] { return audible(file); })) << "round " << round;
        player->pause();
        EXPECT_TRUE(eventually([&] { return !card->streamOpen(); })) << "round " << round;
        // Paused for a while, the tune goes on where it stopped.
        player->resume();
        EXPECT_TRUE(eventually([&] { return card->streamOpen(); }));
        player->stop();
    }
}

TEST(SdlAudioDevice, WithoutADeviceItNamesTheDriversTriedInOneLine) {
    const audiotest::SavedVariable driver("SDL_AUDIODRIVER"), server("PULSE_SERVER");
    struct Case {
        const char* drivers;
        std::vector<std::string> named;
    };
    const Case cases[] = {
        {"no-such-driver", {"no-such-driver: "}},
        {"no-such-driver,,another-one", {"no-such-driver: ", "; another-one: "}},
    };
    for (const Case& c : cases) {
        ::setenv("SDL_AUDIODRIVER", c.drivers, 1);
        std::string error;
        EXPECT_FALSE(SdlAudioDevice::open(error));
        EXPECT_NE(error.find("silence"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        for (const std::string& name : c.named)
            EXPECT_NE(error.find(name), std::string::npos) << c.drivers << ": " << error;
    }
    // SDL's own choice with the sound server gone: the server is named, not only the driver
    // tried after it (on a machine with a sound card that one may well play).
    ::unsetenv("SDL_AUDIODRIVER");
    ::setenv("PULSE_SERVER", "unix:/nonexistent/hearthly-no-server", 1);
    std::string error;
    const auto card = SdlAudioDevice::open(error);
    if (error.empty())
        EXPECT_TRUE(card && card->driver() != "pulseaudio");
    else
        EXPECT_NE(error.find("(pulseaudio: "), std::string::npos) << error;
}

TEST(SdlAudioDevice, WithNoSoundSystemAtStartTheMusicStartsWhenOneAnswers) {
    // SDL's file driver cannot open a file in a folder that is not there yet: it stands for a
    // sound server that is started after the game.
    const DiskCard disk("later/card.raw");
    const std::filesystem::path& file = disk.file;
    SdlAudioDevice::Timing quick;
    quick.retryEvery = std::chrono::milliseconds(50);
    ::testing::internal::CaptureStderr();
    std::string error;
    const auto card = SdlAudioDevice::open(error, quick);
    ASSERT_TRUE(card);
    EXPECT_NE(error.find("(disk: "), std::string::npos) << error;
    EXPECT_NE(error.find("the music starts when"), std::string::npos) << error;
    EXPECT_FALSE(card->streamOpen());
    EXPECT_EQ(card->driver(), "");
    const audio::ScopedAudioOutput output(card.get());
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), audio::theAudioOutput());
    ASSERT_TRUE(player && player->play());
    EXPECT_TRUE(card->active());
    // Tried again and again in vain, quietly.
    std::this_thread::sleep_for(quick.retryEvery * 4);
    EXPECT_FALSE(card->streamOpen());
    std::filesystem::create_directory(file.parent_path());
    EXPECT_TRUE(eventually([&] { return audible(file); })) << "the tune reaches the card once it is there";
    EXPECT_EQ(card->driver(), "disk");
    player->stop();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("lost"), std::string::npos) << said;
    EXPECT_NE(said.find("found a sound device (disk)"), std::string::npos) << said;
    // One line of the game's own (SDL's file driver adds its own warnings).
    std::size_t lines = 0;
    for (std::size_t at = said.find("hearthly: "); at != std::string::npos;
         at = said.find("hearthly: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << said;
}

} // namespace
