#include "../PixelCompare.h"
#include "Probe.h"
#include "agents/NavGraph.h"
#include "game/GameHost.h"

#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

namespace game {

namespace {

struct Rendering : ::testing::Test {
    GameHost host;
    Game& game = host.game;
    Probe probe;

    Rendering() {
        // Hold the figures still: these checks are about the renderer, not the walkers.
        game.world().objects().clear(ObjectRegistry::List::Agent);
        probe.registerInGame(game.world());
        host.expose();
        host.timerCall(0);
    }
    // What a full redraw would show right now.
    gfx::Surface fullPicture() {
        gfx::Surface s(host.window.width(), host.window.height());
        game.renderer().renderFullInto(game.sceneView(), s);
        return s;
    }
};

TEST_F(Rendering, FirstPaintShowsTheWholeSceneCentredBetweenEvenBars) {
    const struct {
        int width, height;
        int left, top; // the world's top-left corner
    } sizes[] = {
        {1168, 584, 184, 0}, // twice as wide as high: scale 1, bars left and right
        {800, 784, 0, 100},  // taller: bars above and below
        {1600, 1168, 0, 0},  // the game's own aspect: no bars
    };
    for (const auto& size : sizes) {
        GameHost other(size.width, size.height);
        const double scale = other.game.scale();
        const gfx::RectF slow = other.game.slowButton().bounds(false);
        const gfx::Surface& screen = other.window.screen();
        int lit = 0;
        for (int y = static_cast<int>(slow.y * scale); y < slow.bottom() * scale; ++y)
            for (int x = static_cast<int>(slow.x * scale); x < slow.right() * scale; ++x)
                lit += screen.pixel(size.left + x, size.top + y) != 0xff000000;
        EXPECT_GT(lit, 50) << size.width << "x" << size.height;
        // The bars: black, and the same on both sides.
        const int right = size.width - size.left - static_cast<int>(800 * scale + 0.5);
        const int bottom = size.height - size.top - static_cast<int>(584 * scale + 0.5);
        EXPECT_EQ(right, size.left);
        EXPECT_EQ(bottom, size.top);
        for (int y = 0; y < size.height; y += 7)
            for (int x = 0; x < size.left; x += 7) {
                ASSERT_EQ(screen.pixel(x, y), 0xff000000u) << x << "," << y;
                ASSERT_EQ(screen.pixel(size.width - 1 - x, y), 0xff000000u) << x << "," << y;
            }
        for (int y = 0; y < size.top; y += 7)
            for (int x = 0; x < size.width; x += 7) {
                ASSERT_EQ(screen.pixel(x, y), 0xff000000u) << x << "," << y;
                ASSERT_EQ(screen.pixel(x, size.height - 1 - y), 0xff000000u) << x << "," << y;
            }
    }
}

TEST(RenderingCentred, PartialRepaintsMatchAFullRedrawBesideTheBars) {
    GameHost wide(1000, 584);                                       // the world 100 pixels in from the left
    wide.game.world().objects().clear(ObjectRegistry::List::Agent); // the figures hold still
    Probe probe;
    probe.registerInGame(wide.game.world());
    wide.expose();
    probe.moveTo(300, 200);
    wide.timerCall();
    probe.moveTo(310, 230);
    wide.timerCall();
    gfx::Surface full(1000, 584);
    wide.game.renderer().renderFullInto(wide.game.sceneView(), full);
    EXPECT_EQ(largestDifference(wide.window.screen(), full), 0);
    for (const gfx::RectI& r : wide.window.lastPresented())
        EXPECT_GE(r.x, 100 + 300 - 20) << "copied where the probe is, beside the left bar";
}

TEST_F(Rendering, MovingObjectRepaintsOnlyItsOldAndNewPlace) {
    const long long before = host.window.presentCount();
    host.run(5);
    EXPECT_EQ(host.window.presentCount(), before) << "nothing changed: nothing copied";
    probe.moveTo(600, 100);
    host.timerCall();
    const auto& rects = host.window.lastPresented();
    ASSERT_FALSE(rects.empty());
    for (const gfx::RectI& r : rects) {
        // The probes' squares with pen and fringe, and the one-pixel copy margin.
        EXPECT_GE(r.x, 396);
        EXPECT_LE(r.right(), 624);
        EXPECT_GE(r.y, 96);
        EXPECT_LE(r.bottom(), 124);
    }
    EXPECT_EQ(largestDifference(host.window.screen(), fullPicture()), 0);
    EXPECT_EQ(host.window.screen().pixel(410, 110), 0xff000000u); // the old place is cleared
}

TEST_F(Rendering, ErasedRectsAreClearedWithTheNextDrawingFrame) {
    // An object that leaves the scene leaves its last bounds behind.
    const gfx::RectF gone = probe.lastBounds();
    game.world().objects().remove(ObjectRegistry::List::Draw, &probe);
    game.eraseLater(gone);
    host.timerCall(); // nothing else changed: the erased area waits
    EXPECT_EQ(game.renderer().erasedRects().size(), 1u);
    game.slowButton().setHighlighted(true);
    host.timerCall();
    EXPECT_TRUE(game.renderer().erasedRects().empty());
    EXPECT_EQ(host.window.screen().pixel(410, 110), 0xff000000u);
    EXPECT_EQ(largestDifference(host.window.screen(), fullPicture()), 0);
}

TEST_F(Rendering, DirtyRectOverlayIsErasedByTheFollowingFrame) {
    game.onKey(U'c');
    probe.moveTo(500, 100);
    host.timerCall();
    EXPECT_TRUE(game.renderer().debugOverlayOnScreen());
    EXPECT_GT(largestDifference(host.window.screen(), fullPicture()), 8);
    game.onKey(U'c');
    probe.moveTo(520, 100);
    host.timerCall();
    EXPECT_FALSE(game.renderer().debugOverlayOnScreen());
    EXPECT_EQ(largestDifference(host.window.screen(), fullPicture()), 0);
}

TEST_F(Rendering, RedrawStatisticsCountObjectsInTheRepaintedArea) {
    game.world().settings().hudMode = 3;
    probe.moveTo(700, 20); // far from everything else
    host.timerCall();
    const int total = static_cast<int>(game.world().objects().drawList().size());
    const std::string expected =
        std::to_string(static_cast<int>(100.0 / total)) + "% = 1 / " + std::to_string(total);
    EXPECT_EQ(game.messageBox().text(), expected);
}

TEST_F(Rendering, NavigationOverlayDrawsTheTreeOfAConnectedNode) {
    const auto withoutOverlay = [&] {
        const int mode = game.navOverlay;
        game.navOverlay = 0;
        gfx::Surface s = fullPicture();
        game.navOverlay = mode;
        return s;
    };
    int connected = -1;
    int isolated = -1;
    for (int i = 0; i < host.graph.nodeCount(); ++i) {
        if (host.graph.eccentricity(i) > 0 && connected < 0)
            connected = i;
        if (host.graph.eccentricity(i) == 0 && isolated < 0)
            isolated = i;
    }
    ASSERT_GE(connected, 0);
    game.selectedNode = connected;
    game.onKey(U'l');
    host.timerCall();
    EXPECT_GT(differingPixels(host.window.screen(), withoutOverlay()), 100);
    // The overlay only lives in full redraws: switching it off erases it.
    game.onKey(U'l');
    game.onKey(U'l');
    host.timerCall();
    EXPECT_EQ(largestDifference(host.window.screen(), withoutOverlay()), 0);

    // The telephone pole's spare branch nodes are never placed on a walkway: nothing is
    // reachable from them, so there is no tree and no division by their zero eccentricity.
    ASSERT_GE(isolated, 0);
    game.selectedNode = isolated;
    game.onKey(U'l');
    host.timerCall();
    EXPECT_EQ(largestDifference(host.window.screen(), withoutOverlay()), 0);
}

TEST_F(Rendering, ExposeRepaintsAllUnlessMinimisedOrSwitchedOff) {
    host.window.minimize();
    probe.moveTo(300, 50);
    const long long before = host.window.presentCount();
    host.expose();
    host.run(3);
    EXPECT_EQ(host.window.presentCount(), before);
    host.window.restore();
    host.expose();
    EXPECT_EQ(host.window.lastPresented(), (std::vector<gfx::RectI>{{0, 0, 800, 584}}));
    EXPECT_EQ(largestDifference(host.window.screen(), fullPicture()), 0);
    game.onKey(U'r');
    probe.moveTo(410, 100);
    host.expose();
    EXPECT_NE(host.window.lastPresented(), (std::vector<gfx::RectI>{{0, 0, 800, 584}}));
}

TEST(RenderingScaled, IncrementalFramesMatchAFullRedrawAtAnyScale) {
    for (const auto& [w, h] : {std::pair{1000, 730}, std::pair{613, 448}, std::pair{1500, 700}}) {
        GameHost host(w, h);
        Probe probe({100.3f, 80.7f, 33.3f, 21.1f});
        probe.registerInGame(host.game.world());
        host.expose();
        host.timerCall(0);
        for (int i = 0; i < 6; ++i) {
            probe.moveTo(100.3f + 7.7f * static_cast<float>(i), 80.7f + 3.1f * static_cast<float>(i));
            host.game.onMouseMove(i * 40, static_cast<int>(host.game.scale() * 360));
            host.timerCall();
        }
        gfx::Surface full(w, h);
        host.game.renderer().renderFullInto(host.game.sceneView(), full);
        EXPECT_EQ(largestDifference(host.window.screen(), full), 0) << w << "x" << h;
    }
}

TEST(RenderingFull, ARepaintOfEverythingDuringARoundEqualsAFreshPicture) {
    // Exposes and round starts repaint everything while the scenery layer is kept: during a
    // quake (the house moves) and out of it, with the figures walking and the socks falling.
    GameHost host(1000, 730, 11);
    Game& game = host.game;
    game.onKey('n');
    for (int frame = 0; frame < 240; ++frame) {
        if (frame == 40 || frame == 150)
            game.world().settings().groundEventRequest = true;
        if (frame == 100)
            game.onKey('n');
        // Every frame in full for a while: only the full redraws keep the layer up to date.
        if (frame < 200)
            game.renderer().requestFullRedraw();
        host.timerCall();
        // (The frame that starts the round is left out: it shows the Wife a step behind.)
        if (frame % 2 == 1) {
            gfx::Surface fresh(1000, 730);
            game.renderer().renderFullInto(game.sceneView(), fresh);
            ASSERT_EQ(differingPixels(host.window.screen(), fresh), 0)
                << "frame " << frame << " largest " << largestDifference(host.window.screen(), fresh);
        }
    }
}

TEST(RenderingInPlace, AWindowPaintedInPlaceShowsAFreshPictureEveryFrame) {
    // An X11 window lets the game paint straight into the pixels it shows, so no frame is
    // copied there. Through a round with quakes and two resizes (each gives the window new
    // memory, which the game must paint whole and the old never again), the window shows
    // exactly what a full redraw paints.
    GameHost host(1000, 730, 5);
    Game& game = host.game;
    host.window.paintInPlace(true);
    host.expose();
    game.onKey('n');
    for (int frame = 0; frame < 200; ++frame) {
        if (frame == 30 || frame == 140)
            game.world().settings().groundEventRequest = true;
        if (frame == 60 || frame == 160) {
            // The second gives new memory of the very same size, as a full-screen switch may.
            host.window.setClientSize(613, 448);
            host.expose();
        }
        host.timerCall();
        // (The frame that starts the round shows the Wife a step behind, as in any window.)
        if (frame % 3 == 1) {
            gfx::Surface fresh(host.window.width(), host.window.height());
            game.renderer().renderFullInto(game.sceneView(), fresh);
            ASSERT_EQ(differingPixels(host.window.screen(), fresh), 0)
                << "frame " << frame << " largest " << largestDifference(host.window.screen(), fresh);
        }
    }
    EXPECT_GT(host.window.presentedInPlace(), 150) << "of " << host.window.presentCount() << " presents";
}

} // namespace

} // namespace game
