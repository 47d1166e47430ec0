#include "../PixelCompare.h"
#include "../audio/AudioTestSupport.h"
#include "audio/AudioOutput.h"
#include "game/GameHost.h"

#include "rules/GameRoundup.h"
#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace game {

namespace {

// What a full redraw would show right now.
gfx::Surface fullPicture(GameHost& host) {
    gfx::Surface s(host.window.width(), host.window.height());
    host.game.renderer().renderFullInto(host.game.sceneView(), s);
    return s;
}

gfx::Surface copyOf(const gfx::Surface& screen) {
    gfx::Surface s(screen.width(), screen.height());
    s.copyRect(screen, {0, 0, screen.width(), screen.height()});
    return s;
}

// A game that plays its music into an offline output, painting off: only the sound matters.
struct SoundGame {
    audio::OfflineOutput out;
    const audio::ScopedAudioOutput binding{&out};
    GameHost host;
    Game& game = host.game;
    SoundGame() { game.paintEachFrame = false; }

    // Plays some seconds of frames and sound in step, as in the window; the loudest sample.
    int play(double seconds) {
        const std::int64_t from = out.frameCount();
        for (int i = 0; i < static_cast<int>(seconds * 100); ++i) {
            host.timerCall();
            out.advanceMicroseconds(GameHost::kTimerPeriodUs);
        }
        return audiotest::peakFrom(out, from);
    }
};

// Pixels that differ between two pictures inside a world rectangle.
long long changedWithin(const gfx::Surface& a, const gfx::Surface& b, const gfx::RectF& world, double scale,
                        int left, int top) {
    long long n = 0;
    for (int y = static_cast<int>(world.y * scale); y < world.bottom() * scale; ++y)
        for (int x = static_cast<int>(world.x * scale); x < world.right() * scale; ++x)
            n += a.pixel(left + x, top + y) != b.pixel(left + x, top + y);
    return n;
}

// A full-screen player sees no title bar: the picture itself says the game is paused, and
// stops saying so when it goes on; every paint on the way equals a full redraw.
TEST(Pause, ThePictureShowsThePauseUntilTheGameGoesOn) {
    const struct {
        int width, height, left, top; // the world's top-left corner in the window
    } windows[] = {{800, 584, 0, 0}, {1400, 700, 221, 0}};
    for (const auto& w : windows) {
        SCOPED_TRACE(std::to_string(w.width) + "x" + std::to_string(w.height));
        GameHost host(w.width, w.height);
        Game& game = host.game;
        game.world().objects().clear(
            ObjectRegistry::List::Agent); // the figures hold still, so only the label changes the picture
        game.onKey(U'n');
        host.run(20);
        const gfx::Surface before = copyOf(host.window.screen());
        game.onKey(U'p');
        EXPECT_TRUE(game.pauseBox().isOn());
        EXPECT_EQ(game.pauseBox().text(), "PAUSED");
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);
        const gfx::RectF label = game.pauseBox().bounds(true);
        EXPECT_GT(changedWithin(before, host.window.screen(), label, game.scale(), w.left, w.top), 200);
        const gfx::Surface paused = copyOf(host.window.screen());

        // Single steps, keys and the pointer while paused keep the label, and show what they
        // changed at once.
        game.onKey(U's');
        game.onKey(U'd');
        game.onKey(U'm'); // the round ends and the speed buttons come back
        const gfx::RectF mild = game.mildButton().bounds(false);
        game.onMouseMove(w.left + static_cast<int>((mild.x + 5) * game.scale()),
                         w.top + static_cast<int>((mild.y + 5) * game.scale()));
        ASSERT_TRUE(game.mildButton().isHighlighted());
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);
        game.onMouseMove(w.left + 650, 100);
        EXPECT_FALSE(game.mildButton().isHighlighted());
        host.run(5);
        EXPECT_TRUE(game.pauseBox().isOn());
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);

        game.onKey(U'p');
        EXPECT_FALSE(game.pauseBox().isOn());
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);
        EXPECT_GT(changedWithin(paused, host.window.screen(), label, game.scale(), w.left, w.top), 200);
    }
}

// Paused means silent, whatever is done meanwhile, and the tune goes on with the game: from
// where it stood, or from its start when a new round began during the pause. The temporary
// directory does not matter: the tune is played from memory.
TEST(Pause, TheMusicIsSilentWhilePausedAndGoesOnWithTheGame) {
    const audiotest::SavedVariable tmp("TMP"), tmpdir("TMPDIR");
    ::setenv("TMP", "/proc", 1); // nothing can be written there, not even as root
    ::setenv("TMPDIR", "/proc", 1);
    // The tune runs at some 680 ticks a second.
    constexpr long kTicksPerSecond = 680;
    const struct {
        const char* name;
        bool wonFirst; // the speed buttons are back only once a round is over
        std::function<void(GameHost&)> whilePaused;
        bool fromStart;
    } cases[] = {
        {"single steps past the tune's 5 s poll", false,
         [](GameHost& host) {
             for (int i = 0; i < 70; ++i)
                 host.game.onKey(U's');
         },
         false},
        {"a new round with 'n'", false, [](GameHost& host) { host.game.onKey(U'n'); }, true},
        {"a new round with a speed button after a won round", true,
         [](GameHost& host) {
             const gfx::RectF b = host.game.mildButton().bounds(false);
             host.game.onClick(static_cast<int>(b.x + 3), static_cast<int>(b.y + 3));
         },
         true},
        {"the music switched off and on with 'a'", false,
         [](GameHost& host) {
             host.game.onKey(U'a');
             host.game.onKey(U'a');
         },
         true},
        {"the speed changed with 'd'", false, [](GameHost& host) { host.game.onKey(U'd'); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SoundGame sound;
        GameHost& host = sound.host;
        Game& game = sound.game;
        const auto play = [&](double seconds) { return sound.play(seconds); };
        const auto position = [&] {
            const std::string at = game.rules().music().player()->position();
            return at.empty() ? -1L : std::stol(at);
        };
        host.run(5);
        game.onKey(U'n');
        ASSERT_GT(play(3), audiotest::kAudible);
        if (c.wonFirst) {
            // Won: the tune plays on, and the speed buttons are there to start the next round.
            for (int i = 0; i < 40; ++i)
                game.onKey(U'+');
            host.timerCall();
            ASSERT_EQ(game.rules().display().resultBox.text(), "CONGRATS");
        }
        game.onKey(U'p');
        const long pausedAt = position();
        ASSERT_GT(pausedAt, 2 * kTicksPerSecond);

        c.whilePaused(host);
        EXPECT_EQ(play(3), 0) << "sound while paused";
        EXPECT_TRUE(game.rules().music().player()->isPlaying());

        game.onKey(U'p');
        EXPECT_GT(play(1), audiotest::kAudible);
        const long expected = (c.fromStart ? 0 : pausedAt) + kTicksPerSecond;
        EXPECT_NEAR(position(), expected, kTicksPerSecond / 4);
    }
}

// Won, the tune plays to its end once more and is not started again; then the sound output
// rests, as it does in the menu, and 'a' switches the music off and on again as ever.
TEST(RoundMusic, AfterAWonRoundTheTunePlaysOutAndTheOutputRests) {
    SoundGame sound;
    GameHost& host = sound.host;
    Game& game = sound.game;
    audio::OfflineOutput& out = sound.out;
    const auto play = [&](double seconds) { return sound.play(seconds); };
    host.run(5);
    game.onKey(U'n');
    ASSERT_GT(play(3), audiotest::kAudible);
    for (int i = 0; i < 40; ++i)
        game.onKey(U'+');
    host.timerCall();
    ASSERT_EQ(game.rules().display().resultBox.text(), "CONGRATS");
    EXPECT_GT(play(1), audiotest::kAudible) << "the tune stopped at the win";

    // The tune is about a minute long; well after it the output must have come to rest.
    bool rested = false;
    for (int second = 0; second < 120 && !rested; ++second) {
        play(1);
        rested = !out.active();
    }
    EXPECT_TRUE(rested) << "the output still runs long after the tune ended";
    EXPECT_EQ(play(10), 0) << "the tune started again with no round running";
    EXPECT_FALSE(out.active());

    game.onKey(U'a'); // stops what counts as playing
    EXPECT_EQ(play(1), 0);
    game.onKey(U'a');
    EXPECT_GT(play(1), audiotest::kAudible);
    EXPECT_TRUE(out.active());
}

} // namespace

} // namespace game
