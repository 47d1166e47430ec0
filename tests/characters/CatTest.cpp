#include "characters/Cat.h"
#include "CharacterLevel.h"
#include "gfx/Graphics.h"
#include "gfx/PathIterator.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

namespace game {

namespace {

using testing_characters::CharacterLevel;

// Figures after the four legs: head top, head, two ears, body, six whiskers, then the tail.
constexpr std::size_t kHeadTop = 4;
constexpr std::size_t kBody = 8;
constexpr int kWhiskers = 6;
constexpr int kFiguresWithoutTail = 15;

// A figure's bounds relative to the cat's position.
gfx::RectF figureBounds(Cat& c, std::size_t figure) {
    c.refreshShape();
    gfx::RectF b = c.path().figures()[figure].bounds();
    b.x -= c.position().x;
    b.y -= c.position().y;
    return b;
}

TEST(Cat, HeadAndTailFaceTheWayItMoves) {
    CharacterLevel level;
    Cat& c = level.add<Cat>("cat1", 600, 150, 0xff608030);
    // Falling from its place, the blend into the falling pose over.
    level.host.run(2);
    ASSERT_TRUE(level.runUntil([&] { return c.blendTime() == 0; }));
    ASSERT_TRUE(c.isDetached());

    // Moving right the legs are mirrored by the pose and the head by the body; stopping keeps
    // the legs' facing but the head goes back to the left.
    const struct {
        float vx;
        int facing;
        float headLeft;
    } steps[] = {{40, 1, 10}, {0, 1, -20}, {-40, 0, -20}};
    for (const auto& s : steps) {
        c.velocity().x = s.vx;
        c.updateAnimation(0.01);
        c.invalidate();
        EXPECT_EQ(c.facing(), s.facing) << s.vx;
        const gfx::RectF head = figureBounds(c, kHeadTop);
        EXPECT_NEAR(head.x, s.headLeft, 1e-3) << s.vx;
        EXPECT_NEAR(head.width, 10, 1e-3) << s.vx;
        const float shoulder = c.path().figures()[0].points()[0].x - c.position().x;
        EXPECT_EQ(shoulder > 0, s.facing == 1) << s.vx;
        EXPECT_EQ(c.path().figureCount(), kFiguresWithoutTail + 1) << s.vx;
    }
    // Standing, the hind legs keep their side whatever the facing.
    const Pose idle = c.idlePose(c.currentAnimation(), true);
    EXPECT_TRUE(idle[0].mirrored && idle[1].mirrored);
    EXPECT_FALSE(idle[2].mirrored || idle[3].mirrored);
}

TEST(Cat, AClimbingCatIsUprightWithoutATail) {
    CharacterLevel level;
    Cat& c = level.add<Cat>("cat2", 400, 400, 0xff806030); // above the first floor
    ASSERT_TRUE(level.runUntil([&] { return c.isAttached(); }));
    level.host.run(50);
    ASSERT_TRUE(c.walkTo(level.node("second_floor_and_first_floor_ladder").index, nullptr));
    ASSERT_TRUE(level.runUntil([&] { return c.currentAnimation().name == "anim_climb"; }));

    c.velocity().x = 5; // would turn a walking cat round
    c.invalidate();
    EXPECT_EQ(c.path().figureCount(), kFiguresWithoutTail);
    const gfx::RectF body = figureBounds(c, kBody);
    EXPECT_GT(body.height, body.width);
    const gfx::RectF head = figureBounds(c, kHeadTop);
    EXPECT_NEAR(head.x, -5, 1e-3); // above the legs, facing ignored
}

TEST(Cat, LimbsInALighterShade) {
    const Cat c("cat3", 450, 550, 0xff5040a0);
    EXPECT_EQ(c.pen().color(), 0xff7860f0u);
    EXPECT_EQ(c.pen().width(), Person::kPenWidth);

    const struct {
        gfx::Argb body, limbs;
    } colours[] = {
        {0xff608030, 0xff90c048},
        {0x80806030, 0xffc09048}, // always opaque
        {0xffc0f0ff, 0xffffffff}, // bright channels stay at full brightness
    };
    for (const auto& k : colours)
        EXPECT_EQ(Cat::lighter(k.body), k.limbs) << std::hex << k.body;
}

TEST(Cat, WhiskersDrawnAsOneShapeLookAsDrawnOneByOne) {
    // The cat paints its whiskers as one shape, which is only the same picture while no two
    // of them share a pixel: at the world's scale and larger ones, wherever the cat stands.
    CharacterLevel level;
    Cat& c = level.add<Cat>("cat1", 300, 200, 0xff608030);
    c.refreshShape();
    const auto paint = [&](gfx::Surface& s, float scale, float shift, bool atOnce) {
        gfx::Graphics g(s);
        g.clear(0xffffffff);
        g.scaleTransform(scale, scale);
        g.translateTransform(shift - 260, shift - 160);
        gfx::PathIterator figures(c.path());
        for (std::size_t i = 0; i <= kBody; ++i)
            figures.next();
        if (atOnce) {
            ASSERT_TRUE(figures.next(kWhiskers));
            g.drawPath(c.whiskerPen(), figures.figure());
            return;
        }
        for (int i = 0; i < kWhiskers; ++i) {
            ASSERT_TRUE(figures.next());
            g.drawPath(c.whiskerPen(), figures.figure());
        }
    };
    for (const float scale : {1.0f, 1.37f, 2.0f, 4.8f}) {
        for (const float shift : {0.0f, 0.3f, 0.55f, 0.8f}) {
            const int side = static_cast<int>(80 * scale);
            gfx::Surface once(side, side);
            gfx::Surface each(side, side);
            paint(once, scale, shift, true);
            paint(each, scale, shift, false);
            int differing = 0;
            int painted = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    differing += once.pixel(x, y) != each.pixel(x, y) ? 1 : 0;
                    painted += each.pixel(x, y) != 0xffffffffu ? 1 : 0;
                }
            EXPECT_EQ(differing, 0) << "scale " << scale << " shift " << shift;
            EXPECT_GT(painted, 6 * 5 * scale) << "scale " << scale << " shift " << shift;
        }
    }
}

} // namespace

} // namespace game
