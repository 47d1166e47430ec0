#include "audio/MusicPlayer.h"
#include "AudioTestSupport.h"
#include "audio/Tune.h"

using audio::MusicPlayer;
using audio::OfflineOutput;
using namespace audiotest;

namespace {

struct Music : ::testing::Test {
    ScratchDir dir;
    OfflineOutput out;
    std::unique_ptr<MusicPlayer> prepare() { return MusicPlayer::prepare(audio::embeddedTune(), &out); }
};

TEST_F(Music, PlaysFromTheStartStopsAtOnceAndRestsTheOutputWhileSilent) {
    auto player = prepare();
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isOpened());
    EXPECT_EQ(player->alias(), "game");
    EXPECT_FALSE(out.active());
    EXPECT_EQ(renderSeconds(out, 0.5), 0);

    ASSERT_TRUE(player->play());
    EXPECT_TRUE(out.active());
    EXPECT_GT(renderSeconds(out, 3), kAudible);

    player->stop();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(out.active());
    EXPECT_EQ(renderSeconds(out, 0.5), 0);
    // Stopping or pausing a stopped player neither starts nor breaks anything.
    player->stop();
    player->pause();
    player->resume();
    player->poll();
    EXPECT_FALSE(out.active());
}

TEST_F(Music, PauseResumesWhereItStoppedAndThePollStartsTheTuneAgainAtItsEnd) {
    auto player = prepare();
    ASSERT_TRUE(player->play());
    renderSeconds(out, 40);
    player->pause();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_FALSE(out.active());
    EXPECT_EQ(renderSeconds(out, 3), 0);
    player->resume();
    // From here the rules poll every 5 s; listen to the second before each poll and to the half
    // second after it. The tune of about a minute, resumed at 40 s, ends some 20 s later; played
    // again from its start it would run on for a minute.
    int restartedAt = 0;
    for (int poll = 1; poll <= 8 && restartedAt == 0; ++poll) {
        out.advanceMicroseconds(4'000'000);
        const int lastSecond = renderSeconds(out, 1);
        if (poll == 1) {
            EXPECT_GT(lastSecond, kAudible);
        }
        player->poll();
        if (lastSecond < kAudible / 10 && renderSeconds(out, 0.5) > kAudible)
            restartedAt = poll;
    }
    EXPECT_TRUE(player->isPlaying());
    EXPECT_GE(restartedAt, 4);
    EXPECT_LE(restartedAt, 5);
}

struct Failure {
    const char* name;
    bool withOutput;
    bool withFont;
    std::string tune; // empty: the game's own
    bool complains;
};

TEST_F(Music, WithoutOutputFontOrReadableTuneItStaysSilentAndSaysSoOnce) {
    using namespace std::string_literals;
    const Failure cases[] = {
        {"no audio device", false, true, "", false}, // the program has said that already
        {"no sound font", true, false, "", true},
        {"not a MIDI file", true, true, "RIFF, not MIDI at all"s, true},
        {"truncated MIDI file", true, true, "MThd\0\0\0\6\0\1\0\2\1\0MTrk\0\0\1\0"s, true},
    };
    for (const Failure& c : cases) {
        SCOPED_TRACE(c.name);
        const auto own = audio::embeddedTune();
        const std::string bytes = c.tune.empty() ? std::string(own.begin(), own.end()) : c.tune;
        MusicPlayer player(
            "game", std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
            c.withOutput ? &out : nullptr,
            c.withFont ? audio::Sequencer::kDefaultSoundFont : (dir.path / "none.sf2").string());
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(player.play());
        EXPECT_FALSE(player.play()); // 'a' again: the open is retried, the complaint is not repeated
        player.pause();
        player.resume();
        player.poll();
        player.stop();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(player.isOpened());
        EXPECT_FALSE(player.isPlaying());
        EXPECT_FALSE(out.active());
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.complains ? 1 : 0) << said;
    }
}

} // namespace
