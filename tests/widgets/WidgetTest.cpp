#include "game/GameHost.h"
#include "gfx/Graphics.h"
#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/TextBox.h"
#include "widgets/Timer.h"

#include <gtest/gtest.h>

namespace game {

namespace {

TEST(TextBox, RedrawsOnlyWhenTheTextPlaceOrSwitchChanges) {
    TextBox box(0x80dddd80, 0x80808080);
    box.setOn(true);
    box.setText("Slow");
    box.refreshShape();
    box.clearRedrawNeeded();
    box.setText("Slow");
    box.setOn(true);
    box.setPosition(100, 100); // where it already is
    EXPECT_FALSE(box.isRedrawNeeded());
    EXPECT_FALSE(box.isShapeDirty());
    box.setText("Mild");
    EXPECT_TRUE(box.isRedrawNeeded());
    EXPECT_TRUE(box.isShapeDirty());
    box.refreshShape();
    box.clearRedrawNeeded();
    box.setPosition(300, 200);
    EXPECT_TRUE(box.isRedrawNeeded());
}

TEST(TextBox, SwitchedOffHasNoOutline) {
    TextBox box(0x80dddd80, 0x80808080);
    box.setText("msg");
    EXPECT_TRUE(box.bounds(false).isEmpty());
    box.setOn(true);
    const gfx::RectF on = box.bounds(false);
    EXPECT_FALSE(on.isEmpty());
    EXPECT_GE(on.x, 100.0f); // drawn from its position, 100, 100 until placed
    box.setOn(false);
    EXPECT_TRUE(box.bounds(false).isEmpty());
}

TEST(Button, GlowsOpaqueWhileHighlighted) {
    gfx::Surface surface(200, 60);
    Button button(0x80dddd80, 0x80808080);
    button.setText("Fast");
    button.setPosition(10, 10);
    button.setOn(true);
    const auto brightest = [&] {
        surface.fill(0xff000000);
        gfx::Graphics g(surface);
        button.refreshShape();
        button.draw(g);
        g.flush();
        int best = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                best = std::max(best, static_cast<int>(gfx::redOf(surface.pixel(x, y))));
        return best;
    };
    const int normal = brightest();
    button.setHighlighted(true);
    const int glowing = brightest();
    EXPECT_GT(glowing, normal + 50);
    EXPECT_GE(glowing, 0xd0);
}

TEST(Button, RegistersAsAButton) {
    GameHost host;
    EXPECT_EQ(
        host.game.world().objects().buttonList(),
        (std::vector<Button*>{&host.game.slowButton(), &host.game.mildButton(), &host.game.fastButton()}));
    EXPECT_TRUE(host.game.fastButton().isOn());
    EXPECT_FALSE(host.game.messageBox().isOn());
}

} // namespace

TEST(Timer, ShowsWholeSecondsFromZeroAndStopsWhenFrozen) {
    Timer timer(0xc0000000, 0x40cccc80);
    timer.setOn(true);
    EXPECT_EQ(timer.text(), "00:00") << "before its first tick";
    const std::pair<double, const char*> steps[] = {{59.9, "00:59"}, {0.1, "01:00"}, {660, "12:00"}};
    for (const auto& [dt, shown] : steps) {
        timer.tick(dt);
        EXPECT_EQ(timer.text(), shown);
    }
    timer.setFrozen(true);
    timer.tick(5);
    EXPECT_EQ(timer.text(), "12:00");
}

} // namespace game
