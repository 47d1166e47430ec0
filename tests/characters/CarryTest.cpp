#include "../PixelCompare.h"
#include "CharacterLevel.h"
#include "characters/Bat.h"
#include "characters/Wife.h"
#include "gfx/Graphics.h"

#include <gtest/gtest.h>

namespace game {

namespace {

using testing_characters::CharacterLevel;

constexpr gfx::Argb kWhite = 0xffffffff;

// The object drawn alone on white.
gfx::Surface drawn(Object& o) {
    gfx::Surface s(200, 200);
    gfx::Graphics g(s);
    g.clear(kWhite);
    o.refreshShape();
    o.draw(g);
    g.flush();
    return s;
}

TEST(Carry, TheBatFollowsTheWifesHandUntilShePutsItDown) {
    CharacterLevel level;
    Wife& w = level.add<Wife>();
    Bat& bat = level.add<Bat>();
    bat.setOn(true);
    level.host.run(20);
    EXPECT_EQ(bat.position(), (gfx::PointF{100, 100})); // nobody holds it yet

    w.carry(bat);
    std::vector<std::string> states;
    collectActiveStates(w.rootState(), states);
    EXPECT_NE(std::find(states.begin(), states.end(), "carry_weapon"), states.end());
    std::ostringstream label;
    w.rootState().dump(label, "", true);
    EXPECT_NE(label.str().find("carry_weapon weapon: Bat\n"), std::string::npos) << label.str();

    for (int i = 0; i < 50; ++i) {
        // The hand as the figure was last drawn; the handle goes 8 below it.
        const gfx::PointF hand = w.handOffset();
        level.frame(0.01);
        const gfx::PointF at = w.position();
        EXPECT_EQ(bat.position(), (gfx::PointF{at.x + hand.x, at.y + hand.y + 8})) << i;
    }

    w.carryNothing();
    const gfx::PointF left = bat.position();
    level.host.run(50);
    EXPECT_EQ(w.carriedWeapon(), nullptr);
    EXPECT_EQ(bat.position(), left);
}

TEST(Carry, ASwitchedOffBatDrawsNothing) {
    Bat bat;
    bat.setPosition(100, 120);
    gfx::Surface blank(200, 200);
    blank.fill(kWhite);
    EXPECT_EQ(differingPixels(drawn(bat), blank), 0);
    EXPECT_TRUE(bat.path().empty());
    bat.setOn(true);
    EXPECT_GT(differingPixels(drawn(bat), blank), 0);
    // Standing on its handle, head up.
    const gfx::RectF b = bat.bounds(false);
    EXPECT_NEAR(b.y + b.height, 120, 0.5);
    EXPECT_NEAR(b.x + b.width / 2, 100, 0.5);
    // Turned a quarter clockwise about the handle, the head points right.
    bat.setAngle(90);
    const gfx::RectF turned = bat.bounds(false);
    EXPECT_NEAR(turned.x + turned.width, 100 + (120 - b.y), 0.5);
    EXPECT_NEAR(turned.width, b.height, 0.5);
    EXPECT_NEAR(turned.y + turned.height / 2, 120, 0.5);
    EXPECT_EQ(bat.typeName(), "Bat");
}

TEST(Carry, ATouchedWifeIsOnlyOutlined) {
    Wife w;
    w.moveTo(100, 120);
    // Inside the head and inside the dress, clear of the limbs.
    const gfx::PointF inside[] = {{100, 95}, {100, 112}};
    const gfx::Surface solid = drawn(w);
    w.setTouched(true);
    const gfx::Surface outlined = drawn(w);
    for (gfx::PointF p : inside) {
        const int px = static_cast<int>(p.x);
        const int py = static_cast<int>(p.y);
        EXPECT_EQ(solid.pixel(px, py), Wife::kBodyColor) << p.x << "," << p.y;
        EXPECT_EQ(outlined.pixel(px, py), kWhite) << p.x << "," << p.y;
    }
    // The outline itself is drawn: the head's rim.
    EXPECT_NE(outlined.pixel(100, 90), kWhite);
}

} // namespace

} // namespace game
