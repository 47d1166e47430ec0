#include "LevelFixture.h"

#include "game/GameHost.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"
#include "level/Ground.h"
#include "level/Storey.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace game {

using testing_level::Level;

namespace {

// Runs calm frames of dt until the ground has seen at least n of them and is not quaking.
void settle(Ground& ground, double dt, int n) {
    for (int i = 0; i < n || ground.isQuakeActive(); ++i)
        ground.update(dt);
}

// Up by 4 past 48, down to 0, up past 24, down, up past 12, down, and the closing 0.
const std::vector<int> kSwingsOf4{0,  4,  8,  12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 48, 44, 40,
                                  36, 32, 28, 24, 20, 16, 12, 8,  4,  0,  4,  8,  12, 16, 20, 24, 28,
                                  24, 20, 16, 12, 8,  4,  0,  4,  8,  12, 16, 12, 8,  4,  0,  0};

int secondFrameRaise(double dt) {
    Level level;
    level.game->world().settings().groundEventRequest = true;
    level.game->ground().update(dt); // the quake starts, nothing moves yet
    level.game->ground().update(dt);
    return level.game->ground().quakeRaise();
}

} // namespace

TEST(GroundQuake, RaiseRunsThreeDampedSwingsAndARequestMeanwhileWaits) {
    Level level;
    Game& game = *level.game;
    Ground& ground = game.ground();
    settle(ground, 0.01, 400);
    ASSERT_EQ(ground.quakeStep(), 4);

    // Raises seen from the frame the requested quake starts until the frame it ends.
    game.world().settings().groundEventRequest = true;
    std::vector<int> raises;
    do {
        ground.update(0.01);
        raises.push_back(ground.quakeRaise());
        if (raises.size() == 1) {
            EXPECT_FALSE(game.world().settings().groundEventRequest) << "taken when the quake starts";
        }
        if (raises.size() == 20)
            game.world().settings().groundEventRequest = true; // not looked at while quaking
    } while (ground.isQuakeActive() && raises.size() < 1000);
    EXPECT_EQ(raises, kSwingsOf4);
    EXPECT_EQ(ground.quakePhase(), 0);
    EXPECT_TRUE(game.world().settings().groundEventRequest);

    // The request made during the quake starts the next one right after.
    ground.update(0.01);
    EXPECT_TRUE(ground.isQuakeActive());
    EXPECT_EQ(ground.quakeRaise(), 0);
    EXPECT_FALSE(game.world().settings().groundEventRequest);
    ground.update(0.01);
    EXPECT_EQ(ground.quakeRaise(), 4);
}

TEST(GroundQuake, StepFollowsTheAverageFrameTime) {
    Level level;
    Ground& ground = level.game->ground();
    settle(ground, 0.04, 500);
    EXPECT_EQ(ground.quakeStep(), 12);
    settle(ground, 0.025, 500);
    EXPECT_EQ(ground.quakeStep(), 6);
    settle(ground, 0.01, 500);
    EXPECT_EQ(ground.quakeStep(), 4);

    // Exactly at the thresholds (two equal frames average exactly).
    EXPECT_EQ(secondFrameRaise(0.02), 6);
    EXPECT_EQ(secondFrameRaise(0.0199), 4);
    EXPECT_EQ(secondFrameRaise(0.035), 12);
    EXPECT_EQ(secondFrameRaise(0.0349), 6);
}

// A long run of equal frames must average to exactly that frame: 20 ms frames sit on the
// threshold of the middle step, so the slightest drift of the sum would pick the small one.
TEST(GroundQuake, HundredsOfEqualFramesKeepTheirExactAverage) {
    constexpr std::int64_t kTwentyMs = 20'000;
    GameHost host(800, 584, 3);
    host.run(400, kTwentyMs);
    while (host.game.ground().isQuakeActive())
        host.timerCall(kTwentyMs);
    host.game.onKey(U'e');
    host.timerCall(kTwentyMs); // the quake starts
    const int before = host.game.ground().quakeRaise();
    host.timerCall(kTwentyMs);
    EXPECT_EQ(host.game.ground().quakeRaise() - before, 6);
}

TEST(GroundQuake, CalmGroundStaysPutAndQuakesWithin3000Frames) {
    Level level(7);
    Ground& ground = level.game->ground();
    ground.rebuildPath();
    const gfx::RectF calm = ground.bounds(false);
    int frames = 0;
    while (!ground.isQuakeActive() && frames < 4000) {
        ground.update(0.01);
        ++frames;
        if (!ground.isQuakeActive()) {
            ASSERT_EQ(ground.bounds(false), calm);
        }
    }
    EXPECT_TRUE(ground.isQuakeActive());
    EXPECT_LE(frames, Ground::kIdleFramesBeforeQuake);
}

TEST(GroundQuake, CarriedStackFollowsWithTheLagOfItsQueues) {
    Level level;
    Game& game = *level.game;
    Ground& ground = game.ground();
    Tree& tree = ground.tree();
    TelephonePole& pole = ground.telephonePole();
    // Let the frame window fill with 10 ms frames and any chance quake pass.
    for (int i = 0; i < 400 || ground.isQuakeActive(); ++i)
        level.frame(0.01);

    const float treeTop = tree.bounds(false).y;
    const float poleTop = pole.bounds(false).y;
    struct Watch {
        const char* what;
        std::function<bool()> moved;
        int frame = -1;
    };
    // The storeys above the basement follow it frame by frame (see the house tests).
    std::vector<Watch> watches{
        {"ground", [&] { return ground.quakeRaise() != 0; }},
        {"tree", [&] { return tree.bounds(false).y != treeTop; }},
        {"pole", [&] { return pole.bounds(false).y != poleTop; }},
        {"branch", [&] { return tree.branch(0).offsetY() != 0; }},
        {"cable", [&] { return pole.cable().offsetY() != 0; }},
        {"basement", [&] { return game.floorBasement().offsetY() != 0; }},
        {"roof", [&] { return game.roof().offsetY() != 0; }},
    };
    game.world().settings().groundEventRequest = true;
    for (int f = 0; f < 30; ++f) {
        level.frame(0.01);
        for (Watch& w : watches)
            if (w.frame < 0 && w.moved())
                w.frame = f;
    }
    for (const Watch& w : watches)
        ASSERT_GE(w.frame, 0) << w.what << " never moved";
    std::map<std::string, int> frameOf;
    for (const Watch& w : watches)
        frameOf[w.what] = w.frame;
    const int quake = frameOf["ground"];
    EXPECT_EQ(frameOf["tree"], quake);
    EXPECT_EQ(frameOf["pole"], quake);
    EXPECT_GT(frameOf["branch"], quake);
    EXPECT_GT(frameOf["cable"], quake);
    EXPECT_GT(frameOf["basement"], quake);
    EXPECT_GT(frameOf["roof"], frameOf["basement"]);
    // Everything moves the same way as the ground: up.
    EXPECT_LT(tree.bounds(false).y, treeTop);
    EXPECT_LT(game.roof().offsetY(), 0);
}

TEST(GroundTouch, BasementColumnLetsAgentsFallThrough) {
    Level level;
    Ground& ground = level.game->ground();
    EXPECT_FALSE(ground.touches({300, 560, 20, 20}));
    EXPECT_TRUE(ground.touches({240, 560, 20, 20}));  // crosses x 248
    EXPECT_TRUE(ground.touches({540, 560, 20, 20}));  // crosses x 553
    EXPECT_TRUE(ground.touches({100, 450, 20, 40}));  // on the hillside
    EXPECT_FALSE(ground.touches({100, 380, 20, 40})); // above it
    // Inside the column only a rectangle reaching below the world touches.
    EXPECT_TRUE(ground.touches({300, 570, 20, 20}));
    EXPECT_TRUE(ground.supports({0, 0, 1, 1}));
}

TEST(GroundDrawing, ColumnStaysUnfilledButTheLineCrossesIt) {
    Level level;
    Ground& ground = level.game->ground();
    gfx::Surface surface(800, 584);
    gfx::Graphics g(surface);
    g.clear(0xFF000000);
    ground.refreshShape();
    ground.draw(g);
    g.flush();
    EXPECT_EQ(surface.pixel(100, 540), 0xFF96640Au); // hillside fill
    EXPECT_EQ(surface.pixel(700, 575), 0xFF96640Au);
    EXPECT_EQ(surface.pixel(400, 540), 0xFF000000u); // the basement column
    EXPECT_EQ(surface.pixel(300, 575), 0xFF000000u);
    EXPECT_NE(surface.pixel(400, 490), 0xFF000000u); // the ground line across it
    EXPECT_EQ(surface.pixel(100, 440), 0xFF000000u); // sky above the hillside

    // Lifted by the quake, the hillside fills the sky it rose into; the column stays open.
    level.game->world().settings().groundEventRequest = true;
    while (ground.quakeRaise() < 40)
        ground.update(0.01);
    g.clear(0xFF000000);
    ground.refreshShape();
    ground.draw(g);
    g.flush();
    EXPECT_EQ(surface.pixel(100, 440), 0xFF96640Au);
    EXPECT_EQ(surface.pixel(400, 500), 0xFF000000u);
    EXPECT_EQ(surface.pixel(700, 575 - ground.quakeRaise()), 0xFF96640Au);
}

} // namespace game
