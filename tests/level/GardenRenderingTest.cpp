#include "../PixelCompare.h"
#include "game/GameHost.h"
#include "game/GameStateJson.h"

#include "level/Ground.h"
#include "level/LightSource.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace game {

// The renderer repaints only what the bounds of changed objects say. Through a whole quake
// (ground, tree, twigs, pole, cable and house all moving) and with the glow drifting across
// fractional positions, the screen must stay what a full redraw would show, at any scale.
TEST(GardenRendering, IncrementalFramesMatchAFullRedrawThroughAQuake) {
    for (const auto& [w, h] : {std::pair{800, 584}, std::pair{1000, 730}, std::pair{613, 448}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        GameHost host(w, h);
        host.game.light().placeAt(10.3f);
        host.run(3);
        host.game.world().settings().groundEventRequest = true;
        int checked = 0;
        int lightRepaints = 0;
        while (checked < 90) {
            const float before = host.game.light().lastDrawnPosition().x;
            host.timerCall();
            lightRepaints += host.game.light().lastDrawnPosition().x != before;
            if (++checked % 3 != 0)
                continue;
            gfx::Surface full(w, h);
            host.game.renderer().renderFullInto(host.game.sceneView(), full);
            ASSERT_EQ(differingPixels(host.window.screen(), full), 0) << "after frame " << checked;
        }
        EXPECT_FALSE(host.game.ground().isQuakeActive()); // the whole quake was on screen
        EXPECT_GT(lightRepaints, 5);
    }
}

TEST(GardenState, DumpShowsTheQuakeAndTheLight) {
    GameHost host;
    host.run(20);
    nlohmann::json calm = GameStateJson::dump(host.game, 20);
    EXPECT_EQ(calm["ground"]["quakeActive"], false);
    EXPECT_EQ(calm["ground"]["quakeRaise"], 0);
    EXPECT_FLOAT_EQ(calm["light"]["x"].get<float>(), host.game.light().position().x);
    EXPECT_GT(calm["light"]["x"].get<float>(), 0);

    // 'e' asks for a quake; the ground starts it on its next update.
    host.game.onKey('e');
    host.run(6);
    nlohmann::json shaking = GameStateJson::dump(host.game, 26);
    EXPECT_EQ(shaking["ground"]["quakeActive"], true);
    EXPECT_EQ(shaking["ground"]["quakePhase"], 0);
    EXPECT_EQ(shaking["ground"]["quakeRaise"], host.game.ground().quakeRaise());
    EXPECT_GT(shaking["ground"]["quakeRaise"].get<int>(), 0);
    EXPECT_EQ(shaking["groundEventRequest"], false);
}

TEST(GardenState, TheGardenIsDrawnAfterTheHouseInItsOwnOrder) {
    GameHost host;
    const std::vector<Object*>& list = host.game.world().objects().drawList();
    const auto ground = std::find(list.begin(), list.end(), &host.game.ground());
    ASSERT_NE(ground, list.end());
    const std::vector<std::string> expected{
        "Ground",         "tree",           "tree_branch1",    "TreeBranchlet",
        "tree_branch2",   "TreeBranchlet",  "tree_branch3",    "TreeBranchlet",
        "Telephone_pole", "TelephoneCable", "dangling_cable1", "dangling_cable4",
        "pole_branch",    "TreeBranchlet"};
    std::vector<std::string> garden;
    for (auto it = ground; it != list.end() && garden.size() < expected.size(); ++it)
        garden.push_back((*it)->typeName());
    EXPECT_EQ(garden, expected);
}

} // namespace game
