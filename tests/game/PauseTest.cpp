#include "../PixelCompare.h"
#include "game/GameHost.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a full redraw would show right now.
gfx::Surface fullPicture(GameHost& host) {
    gfx::Surface s(host.window.width(), host.window.height());
    host.game.getRenderer().renderFullInto(host.game, s);
    return s;
}

gfx::Surface copyOf(const gfx::Surface& screen) {
    gfx::Surface s(screen.width(), screen.height());
    s.copyRect(screen, {0, 0, screen.width(), screen.height()});
    return s;
}

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
        game.agentList.clear(); // the figures hold still, so only the label changes the picture
        game.onKey(U'n');
        host.run(20);
        const gfx::Surface before = copyOf(host.window.screen());
        game.onKey(U'p');
        EXPECT_TRUE(game.pauseBox.isOn());
        EXPECT_EQ(game.pauseBox.text(), "PAUSED");
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);
        const gfx::RectF label = game.pauseBox.getBounds(true);
        EXPECT_GT(changedWithin(before, host.window.screen(), label, game.scale(), w.left, w.top), 200);
        const gfx::Surface paused = copyOf(host.window.screen());

        // Single steps and keys while paused keep the label.
        game.onKey(U's');
        game.onKey(U'd');
        host.run(5);
        EXPECT_TRUE(game.pauseBox.isOn());
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);

        game.onKey(U'p');
        EXPECT_FALSE(game.pauseBox.isOn());
        EXPECT_EQ(largestDifference(host.window.screen(), fullPicture(host)), 0);
        EXPECT_GT(changedWithin(paused, host.window.screen(), label, game.scale(), w.left, w.top), 200);
    }
}

} // namespace
