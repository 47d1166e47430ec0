#include "CharacterLevel.h"
#include "characters/Cat.h"
#include "characters/Husband.h"
#include "characters/PersonLimbs.h"
#include "characters/Wife.h"
#include "scene/Platform.h"

#include "scene/World.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

namespace game {

namespace {

using testing_characters::CharacterLevel;

LimbPoints mirrored(LimbPoints p) {
    for (gfx::PointF& q : p)
        q.x = -q.x;
    return p;
}

// The limbs as the figure's outline holds them, relative to the position.
std::vector<LimbPoints> limbsOf(Person& p) {
    p.refreshShape();
    const gfx::PointF at = p.position();
    std::vector<LimbPoints> limbs;
    const std::vector<gfx::Path> figures = p.path().figures();
    for (int k = 0; k < Person::kLimbCount; ++k) {
        LimbPoints limb{};
        const auto pts = figures[static_cast<std::size_t>(k)].points();
        for (std::size_t i = 0; i < limb.size(); ++i)
            limb[i] = {pts[i].x - at.x, pts[i].y - at.y};
        limbs.push_back(limb);
    }
    return limbs;
}

TEST(Person, PosesMirrorAndLeadTheirLimbs) {
    CharacterLevel level;
    Husband& h = level.add<Husband>();
    AnimationState s{"anim_idle", 0.3};

    // Idle at timeClock 0: the second arm trails by half its 6 s sway; facing right the first
    // arm is mirrored, the second is not.
    const Pose idle = h.idlePose(s, true);
    EXPECT_EQ(idle[0].evaluate(), mirrored(person_limbs::idleArm(0, true)));
    EXPECT_EQ(idle[1].evaluate(), person_limbs::idleArm(3, true));
    EXPECT_EQ(h.idlePose(s, false)[1].evaluate(), mirrored(person_limbs::idleArm(3, true)));

    // The two falling arms are each other's mirror image at every moment.
    s.timeClock = 0.37;
    const Pose fall = h.fallPose(s, true);
    EXPECT_EQ(fall[0].evaluate(), mirrored(fall[1].evaluate()));

    // Hanging with vy 0: only the waving arm follows the time clock; it starts its wave (table
    // time 0.6) 0.4 s into a 4 s cycle, being half a cycle behind.
    s.climbClock = 0.3;
    s.timeClock = 0.1;
    const Pose early = h.hangPose(s, true);
    s.timeClock = 0.4;
    const Pose waving = h.hangPose(s, true);
    for (int k : {0, 2, 3})
        EXPECT_EQ(early[k].evaluate(), waving[k].evaluate()) << k;
    EXPECT_EQ(early[1].evaluate(), waving[1].evaluate()); // still resting at the wave's start
    s.timeClock = 0.6;
    EXPECT_NE(h.hangPose(s, true)[1].evaluate(), waving[1].evaluate());
}

TEST(Person, PosesAfterTheBodyHasMovedAndHoldsTheWeaponAfterThePose) {
    CharacterLevel level;
    Husband& h = level.add<Husband>();
    const auto& entries = h.behaviourList().entries();
    ASSERT_GE(entries.size(), 3u);
    const std::vector<std::string> last{entries[entries.size() - 3].name, entries[entries.size() - 2].name,
                                        entries.back().name};
    EXPECT_EQ(last,
              (std::vector<std::string>{"platform_feedback_attached", "update_anim", "adjust_weapon_loc"}));
    std::vector<std::string> states;
    collectActiveStates(h.rootState(), states);
    EXPECT_EQ(states, (std::vector<std::string>{"state", "detached", "motion_state", "idle", "anim_state",
                                                "anim_idle", "carry_state", "carry_none"}));
}

TEST(Person, KeepsItsFacingWhileStandingStill) {
    CharacterLevel level;
    Husband& h = level.add<Husband>();
    ASSERT_TRUE(level.land(h));
    const struct {
        float vx;
        int facing;
    } steps[] = {{-5, 0}, {0, 0}, {3, 1}, {0, 1}, {-0.5f, 0}};
    for (const auto& step : steps) {
        h.velocity().x = step.vx;
        h.updateAnimation(0.01);
        EXPECT_EQ(h.facing(), step.facing) << step.vx;
    }
}

TEST(Person, DroppedIntoTheLevelLandsAndStands) {
    CharacterLevel level;
    Husband& h = level.add<Husband>();
    h.moveTo(400, 400); // above the first floor
    level.host.run(2);  // the first timer call only starts the clock
    EXPECT_EQ(h.currentAnimation().name, "anim_fall");
    ASSERT_TRUE(level.land(h));
    EXPECT_TRUE(h.platform()->isHorizontal());
    // Standing: the feet rest on the floor's top, and he stays there.
    const gfx::PointF at = h.position();
    level.host.run(100);
    EXPECT_NEAR(h.position().y, at.y, 2.0);
    EXPECT_EQ(h.position().x, at.x);
    const gfx::RectF feet = h.bounds(false);
    EXPECT_NEAR(feet.y + feet.height, h.platform()->bounds(false).y, 2.0);
    EXPECT_TRUE(h.isAttached());

    // The outline holds the idle pose's limbs around the position; the hand is the second
    // arm's first point.
    h.invalidate();
    const std::vector<LimbPoints> limbs = limbsOf(h);
    const Pose pose = h.idlePose(h.currentAnimation(), h.facing() == 1);
    for (int k = 0; k < Person::kLimbCount; ++k)
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(limbs[k][i].x, pose[k].evaluate()[i].x, 1e-3) << k << "." << i;
            EXPECT_NEAR(limbs[k][i].y, pose[k].evaluate()[i].y, 1e-3) << k << "." << i;
        }
    EXPECT_EQ(h.handOffset(), pose[1].evaluate()[0]);
}

TEST(Person, BlendsIntoAWalkWithItsClocksStoppedButClimbsAtOnce) {
    CharacterLevel level;
    Husband& h = level.add<Husband>();
    h.moveTo(400, 400); // above the first floor, left of its ladder
    ASSERT_TRUE(level.land(h));
    ASSERT_TRUE(h.walkTo(level.node("second_floor_and_first_floor_ladder").index, nullptr));

    // From idle to walking: 0.4 s during which the walk's clocks stand still and the figure
    // is redrawn every step.
    level.frame(0.01);
    ASSERT_EQ(h.currentAnimation().name, "anim_walk");
    double blended = 0;
    while (h.blendTime() != 0) {
        EXPECT_EQ(h.currentAnimation().strideClock, 0);
        EXPECT_EQ(h.currentAnimation().timeClock, 0);
        EXPECT_GT(h.blendProgress(), 0);
        blended = h.blendTime();
        const std::vector<LimbPoints> before = limbsOf(h);
        level.frame(0.01);
        if (h.blendTime() != 0) {
            EXPECT_NE(limbsOf(h), before); // on its way to the walking pose
        }
    }
    EXPECT_NEAR(blended, 0.4, 0.011);
    level.frame(0.01);
    EXPECT_GT(h.currentAnimation().strideClock, 0);

    // Onto the ladder: the climbing pose shows at once.
    ASSERT_TRUE(level.runUntil([&] { return h.currentAnimation().name == "anim_climb"; }));
    EXPECT_EQ(h.blendTime(), 0);
    EXPECT_EQ(h.blendProgress(), 0);
}

TEST(Person, NamesAndSpeedsFollowTheGameSpeed) {
    CharacterLevel level;
    Cat& cat = level.add<Cat>("cat2", 300, 250, 0xff806030);
    const struct {
        Person& who;
        const char* name;
        double speeds[3];
    } people[] = {
        {level.add<Husband>(), "Husband", {1.0, 1.2, 1.4}},
        {level.add<Wife>(), "Wife", {0.6, 0.8, 1.0}},
        {cat, "cat2", {0.7, 0.8, 0.9}},
    };
    for (const auto& p : people) {
        EXPECT_EQ(p.who.typeName(), p.name);
        for (int l = 1; l <= 3; ++l) {
            level.game->world().settings().speedLevel = l;
            EXPECT_DOUBLE_EQ(p.who.timeScale(), p.speeds[l - 1]) << p.name << " " << l;
        }
    }
}

TEST(Person, HusbandNamesHisPlatformOnlyInThePlatformDisplay) {
    CharacterLevel level;
    Husband& h = level.game->husband(); // the lives display's small figures never write
    TextBox& box = level.game->messageBox();
    box.setText("unchanged");
    ASSERT_TRUE(level.land(h));
    EXPECT_EQ(box.text(), "unchanged");

    level.game->world().settings().hudMode = 1;
    h.invalidate();
    h.refreshShape();
    EXPECT_EQ(box.text(), h.platform()->typeName());
    h.halt(); // falls again
    h.invalidate();
    h.refreshShape();
    EXPECT_EQ(box.text(), "");
}

TEST(Person, WifeWandersOnHerOwn) {
    CharacterLevel level;
    Wife& w = level.add<Wife>();
    EXPECT_TRUE(level.runUntil([&] { return w.isWalking() && w.isAttached(); }));
}

} // namespace

} // namespace game
