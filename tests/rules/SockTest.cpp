#include "level/LevelFixture.h"

#include "rules/Sock.h"
#include "rules/SockListener.h"
#include "scene/Platform.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace game {

using testing_level::Level;

namespace {

struct Tally : SockListener {
    int placed = 0;
    int removed = 0;
    void sockPlaced(Sock&) override { ++placed; }
    void sockRemoved(Sock&) override { ++removed; }
};

bool listed(const std::vector<Object*>& list, const Object* o) {
    return std::find(list.begin(), list.end(), o) != list.end();
}

} // namespace

TEST(Sock, EntersAndLeavesTheLevelOnceAndIsRepaintedWhereItLay) {
    Level level;
    Game& game = *level.game;
    Tally tally;
    Sock sock{game.world().random()};
    sock.setListener(&tally);
    sock.moveTo(400, 100);
    sock.registerInGame(game.world());
    sock.place();
    sock.place();
    EXPECT_EQ(tally.placed, 1);
    for (int i = 0; i < 300 && !sock.isAttached(); ++i)
        level.frame(0.01);
    ASSERT_TRUE(sock.isAttached()) << "it lands";
    EXPECT_FALSE(sock.platform()->touches(sock.bounds(false))) << "and rests clear of what it landed on";

    const gfx::RectF lastDrawn = sock.lastBounds();
    const std::size_t erasedBefore = game.renderer().erasedRects().size();
    sock.remove();
    sock.remove();
    EXPECT_EQ(tally.removed, 1);
    EXPECT_FALSE(listed(game.world().objects().drawList(), &sock) ||
                 listed(game.world().objects().agentList(), &sock));
    ASSERT_EQ(game.renderer().erasedRects().size(), erasedBefore + 1);
    EXPECT_EQ(game.renderer().erasedRects().back(), lastDrawn);
    EXPECT_TRUE(sock.bounds(false).isEmpty()) << "a collected sock has no outline";

    sock.place();
    EXPECT_TRUE(listed(game.world().objects().drawList(), &sock) &&
                listed(game.world().objects().agentList(), &sock));
    const gfx::PointF before = sock.position();
    sock.scatter(-1, 3); // spread 50, offset 3: each axis moves by -3 up to 97
    const gfx::PointF after = sock.position();
    EXPECT_GE(after.x - before.x, -3);
    EXPECT_LT(after.x - before.x, 97);
    EXPECT_TRUE(sock.isDetached()) << "and falls again";
}

} // namespace game
