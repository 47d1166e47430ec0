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
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int peak(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    int p = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        p = std::max(p, std::abs(static_cast<int>(s[i])));
    return p;
}

TEST(SdlAudioDevice, TheTunePlaysOnTheCardAndTheCardRestsWhenItStops) {
    const audiotest::SavedVariable driver("SDL_AUDIODRIVER"), driverFile("SDL_DISKAUDIOFILE");
    audiotest::ScratchDir dir;
    const auto file = dir.path / "card.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    std::string error;
    const auto card = SdlAudioDevice::open(error);
    ASSERT_TRUE(card) << error;
    EXPECT_FALSE(card->active());
    const audio::ScopedAudioOutput output(card.get());
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), audio::theAudioOutput());
    ASSERT_TRUE(player && player->play());
    EXPECT_TRUE(card->active());
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    player->stop();
    EXPECT_FALSE(card->active());
    // A buffer made just before the stop may still be on its way to the file.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<std::int16_t> played = written(file);
    EXPECT_GT(peak(played, 0, played.size()), audiotest::kAudible);
    // While it rests, the card is handed silence only.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<std::int16_t> after = written(file);
    EXPECT_EQ(peak(after, played.size(), after.size()), 0);
}

TEST(SdlAudioDevice, WithoutADeviceItSaysSoInOneLine) {
    const audiotest::SavedVariable driver("SDL_AUDIODRIVER");
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::string error;
    EXPECT_FALSE(SdlAudioDevice::open(error));
    EXPECT_NE(error.find("silence"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

} // namespace
