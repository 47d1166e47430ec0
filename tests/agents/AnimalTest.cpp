#include "level/LevelFixture.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "scene/Platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

using testing_level::Level;

namespace {

// A walking block standing on its position, placed where the test wants it. (The default
// cross has no area, so floors could not lift it.)
class Walker : public Animal {
public:
    Walker(float atX, float atY) { moveTo(atX, atY); }
    void rebuildPath() override {
        path.reset();
        path.addRectangle({x - 5, y - 20, 10, 20});
        clearShapeDirty();
    }
};

std::string platformName(const Agent& a) {
    return a.platform() != nullptr ? a.platform()->typeName() : std::string("none");
}

} // namespace

TEST(Animal, LandsThenWandersFromPlatformToPlatform) {
    Level level;
    Walker w(380, 50);
    w.registerInGame();
    std::set<std::string> rested;
    std::string first;
    for (int i = 0; i < 100 * 90; ++i) {
        level.frame(0.01);
        const gfx::PointF p = w.getPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "frame " << i;
        if (w.isAttached()) {
            rested.insert(platformName(w));
            if (first.empty())
                first = platformName(w);
        }
    }
    EXPECT_FALSE(first.empty()) << "lands somewhere";
    EXPECT_GE(rested.size(), 6u) << "a wanderer reaches many platforms in 90 s";
}

TEST(Animal, WalksEndAtTheGoalOrAtAWallAndCountTheirStartEdge) {
    Level level;
    Walker w(300, 570);
    w.registerInGame();
    for (int i = 0; i < 100 && !w.isAttached(); ++i)
        level.frame(0.01);
    ASSERT_EQ(platformName(w), "FloorBasement");
    // Stand still first: the wanderer would pick its own goals.
    w.halt();
    // The right wall stands before the floor's right end.
    NavNode& right = level.node("basement_right");
    level.frame(0.01);
    ASSERT_TRUE(w.walkTo(right.index, nullptr));
    EXPECT_EQ(w.startLocation().startCount, 1);
    ASSERT_TRUE(w.walkTo(right.index, nullptr));
    EXPECT_EQ(w.startLocation().startCount, 2) << "a second walk from the same edge";
    for (int i = 0; i < 1000 && w.isWalking(); ++i) {
        level.frame(0.01);
    }
    EXPECT_TRUE(w.isIdle());
    EXPECT_LT(w.velocity().x, 0) << "bounced back";
    EXPECT_GT(w.getPosition().x, 500);
    EXPECT_LT(w.getPosition().x, 540);

    // Still touching the wall, it can walk away from it.
    NavNode& ladder = level.node("basement_and_basement_ladder");
    ASSERT_TRUE(w.walkTo(ladder.index, nullptr));
    for (int i = 0; i < 1000 && w.isWalking(); ++i)
        level.frame(0.01);
    EXPECT_TRUE(w.isIdle());
    EXPECT_EQ(w.velocity().x, 0);
    EXPECT_NEAR(w.getPosition().x, ladder.x, 10);
}
