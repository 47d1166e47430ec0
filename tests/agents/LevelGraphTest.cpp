#include "game/GameHost.h"
#include "game/GameStateJson.h"

#include "level/EdgeHighlight.h"
#include "level/Ground.h"
#include "level/Storey.h"
#include "level/TelephonePole.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

namespace game {

namespace {

// The whole level as the game builds it: house, garden, tree, pole and cable.
class LevelGraphTest : public ::testing::Test {
protected:
    NavNode& node(const char* name) { return *graph_.node(name); }
    NavEdge& edge(const char* a, const char* b) { return graph_.edge(node(a).index, node(b).index); }

    GameHost host_;
    NavGraph& graph_ = host_.graph;
};

TEST_F(LevelGraphTest, FortyEightNodesWithTheUnregisteredPoleBranchLast) {
    ASSERT_EQ(graph_.nodeCount(), 48);
    EXPECT_EQ(graph_.node(33).name, "tree_branch1_root");
    EXPECT_EQ(graph_.node(42).name, "pole_branch_root");
    EXPECT_EQ(&node("pole_branch_root"), &host_.game.ground().telephonePole().branch().rootNode());
    // The game's spare pole is built but never registered: it is not drawn, its branch
    // (the last nodes) stays unplaced and nothing reaches it.
    EXPECT_EQ(&graph_.node(45), &host_.game.telephonePole().branch().rootNode());
    for (Object* o : host_.game.world().objects().drawList())
        EXPECT_NE(o, &host_.game.telephonePole());
    for (int i = 45; i < 48; ++i) {
        EXPECT_EQ(graph_.node(i).x, -1) << i;
        EXPECT_EQ(graph_.node(i).y, -1) << i;
        EXPECT_DOUBLE_EQ(graph_.eccentricity(i), 0.0) << i;
        EXPECT_TRUE(graph_.planPath(&edge("ground_left", "ground_landing"), i).empty()) << i;
    }
}

TEST_F(LevelGraphTest, NodesSitWhereTheLastRegistrationPutThem) {
    const std::map<std::string, std::pair<int, int>> expected = {
        // The house.
        {"basement_left", {250, 574}},
        {"basement_right", {550, 574}},
        {"basement_and_basement_ladder", {360, 554}},
        {"first_floor_and_basement_ladder", {360, 394}},
        {"first_floor_and_first_floor_ladder", {460, 425}},
        {"second_floor_and_first_floor_ladder", {460, 250}},
        {"ground_and_first_floor_left", {120, 462}},
        {"first_floor_right_angle", {550, 445}},
        {"ground_and_first_floor_right", {620, 535}},
        {"second_floor_left", {250, 292}},
        {"second_floor_right", {550, 292}},
        {"roof_left", {240, 200}},
        {"roof_middle", {400, 150}},
        {"roof_tree_landing", {480, 175}},
        {"roof_right", {560, 200}},
        {"den_roof_left", {140, 340}},
        {"den_roof_middle", {190, 330}},
        {"den_roof_right", {250, 320}},
        // The garden, the tree, the pole and the cable.
        {"ground_and_tree", {705, 545}},
        {"ground_landing", {100, 470}},
        {"ground_side", {400, 490}},
        {"ground_right", {796, 578}},
        {"ground_left", {32, 440}},
        {"pole_middle", {32, 288}},
        {"pole_top", {32, 60}},
        {"pole_branch_root", {32, 138}},
        {"tree_branch1_root", {705, 340}},
        {"tree_branch2_root", {705, 254}},
        {"tree_branch3_root", {705, 151}},
        {"tree_branch1_middle", {651, 373}},
        {"tree_branch1_end", {593, 390}},
        {"tree_branch2_end", {793, 304}},
        {"pole_branch_end", {130, 188}},
        {"cable_0", {2, 84}},
        {"cable_1", {230, 84}},
        {"cable_2", {400, 90}},
        {"cable_3", {620, 85}},
        {"cable_4", {780, 77}},
        {"cable_5", {798, 77}},
        {"cable_dangle1", {230, 132}},
        {"cable_dangle4", {780, 125}},
    };
    for (const auto& [name, pos] : expected) {
        EXPECT_EQ(node(name.c_str()).x, pos.first) << name;
        EXPECT_EQ(node(name.c_str()).y, pos.second) << name;
    }
}

TEST_F(LevelGraphTest, OneWayJumpsAndDropsAreExactlyTheLevelsAndOnlyBranchesAreWide) {
    // Every edge without a reverse, with the platform that owns it.
    std::set<std::tuple<std::string, std::string, std::string>> oneWay;
    int withReverse = 0;
    int wide = 0;
    for (NavEdge* e : graph_.edgeList()) {
        if (e->margin == 5) {
            ++wide;
            EXPECT_NE(e->platform->typeName().find("branch"), std::string::npos) << e->from->name;
        } else {
            EXPECT_EQ(e->margin, 2) << e->from->name;
        }
        if (graph_.reverseEdge(*e))
            ++withReverse;
        else
            oneWay.insert({e->from->name, e->to->name, e->platform->typeName()});
    }
    const std::set<std::tuple<std::string, std::string, std::string>> expected = {
        {"second_floor_left", "den_roof_middle", "FloorSecond"},
        {"roof_left", "den_roof_middle", "Roof"},
        {"den_roof_left", "ground_landing", "DenRoof"},
        {"ground_left", "ground_right", "Ground"},
        {"tree_branch1_end", "first_floor_right_angle", "tree_branch1"},
        {"second_floor_right", "tree_branch1_middle", "FloorSecond"},
        {"tree_branch2_end", "pole_middle", "tree_branch2"},
        {"cable_dangle1", "roof_left", "dangling_cable1"},
        {"cable_dangle4", "tree_branch2_middle", "dangling_cable4"},
        {"pole_branch_end", "den_roof_middle", "pole_branch"},
    };
    EXPECT_EQ(oneWay, expected);
    // Two pairs of one-way jumps answer each other, each owned by its take-off side.
    EXPECT_EQ(edge("roof_right", "tree_branch3_end").platform, &host_.game.roof());
    EXPECT_EQ(edge("tree_branch3_end", "roof_right").platform->typeName(), "tree_branch3");
    EXPECT_EQ(edge("cable_0", "cable_5").platform->typeName(), "TelephoneCable");
    EXPECT_EQ(edge("cable_5", "cable_0").platform->typeName(), "TelephoneCable");
    EXPECT_EQ(withReverse, 90) << "43 two-way walkways and the two pairs";
    EXPECT_EQ(graph_.edgeList().size(), 100u);
    EXPECT_EQ(wide, 16) << "root-middle-end of four registered branches, both ways";
}

TEST_F(LevelGraphTest, WrapAroundEdgesLeaveTheScreenAndCostTwelveFold) {
    NavEdge& westward = edge("ground_left", "ground_right");
    EXPECT_EQ(westward.start(), (gfx::PointF{32, 440}));
    EXPECT_EQ(westward.end(), (gfx::PointF{-23, 450}));
    EXPECT_NEAR(westward.cost(), std::hypot(55.0, 10.0) * 12, 1e-9);

    NavEdge& overTheRim = edge("tree_branch2_end", "pole_middle");
    EXPECT_EQ(overTheRim.end(), (gfx::PointF{825, 288}));
    EXPECT_GT(overTheRim.cost(), 12 * 30.0);

    EXPECT_EQ(edge("cable_5", "cable_0").end(), (gfx::PointF{825, 75}));
    EXPECT_EQ(edge("cable_0", "cable_5").end(), (gfx::PointF{-25, 82}));
}

TEST_F(LevelGraphTest, StateDumpShowsTheGraphPlatformsAndHighlights) {
    Game& game = host_.game;
    auto nav = [&] {
        nlohmann::json out;
        GameStateJson::addNav(out, game);
        return out;
    };
    nlohmann::json idle = nav();
    EXPECT_TRUE(idle["nodeHighlight"].is_null());
    EXPECT_EQ(idle["nav"]["nodes"][3],
              (nlohmann::json{{"index", 3}, {"name", "ground_left"}, {"x", 32}, {"y", 440}}));
    const nlohmann::json& first = idle["nav"]["edges"][0];
    EXPECT_EQ(first["from"], "basement_and_basement_ladder");
    EXPECT_EQ(first["platform"], "basement_ladder");
    EXPECT_EQ(first["end"], (nlohmann::json{360.0, 394.0}));
    EXPECT_EQ(first["cost"], 160.0);
    ASSERT_EQ(idle["platforms"].size(), game.world().objects().platformList().size());
    EXPECT_EQ(idle["platforms"][1],
              (nlohmann::json{{"type", "basement_ladder"}, {"orientation", 0}, {"offset", {0.0, 0.0}}}));

    game.floorBasement().translate(3, -2);
    game.floorBasement().update(0.01);
    game.floorBasement().update(0.01);
    game.hoverNodes = true;
    game.onMouseMove(250, 574);
    nlohmann::json moved = nav();
    EXPECT_EQ(moved["platforms"][0]["type"], "FloorBasement");
    EXPECT_EQ(moved["platforms"][0]["offset"], (nlohmann::json{3.0, -2.0}));
    EXPECT_EQ(moved["nodeHighlight"], "basement_left");

    game.hoverNodes = false;
    game.onMouseMove(300, 560);
    EXPECT_EQ(nav()["edgeHighlight"]["to"], game.edgeHighlight().edge()->to->name);
}

TEST(LevelRebuild, ASecondGameInTheSameProcessBuildsTheSameLevel) {
    auto levelOf = [] {
        GameHost host;
        nlohmann::json out;
        GameStateJson::addNav(out, host.game);
        GameStateJson::addDrawList(out, host.game);
        const auto branch = host.game.ground().tree().branch(0).outlinePoints();
        const auto cable = host.game.ground().telephonePole().cable().outlinePoints();
        for (const gfx::PointF& p : branch)
            out["outlines"].push_back({p.x, p.y});
        for (const gfx::PointF& p : cable)
            out["outlines"].push_back({p.x, p.y});
        return out;
    };
    // The second game must not place outlines twice nor add nodes to a stale graph.
    const nlohmann::json first = levelOf();
    const nlohmann::json second = levelOf();
    EXPECT_EQ(first["nav"]["edges"].size(), 100u);
    EXPECT_EQ(first["nav"], second["nav"]);
    EXPECT_EQ(first["drawList"], second["drawList"]);
    EXPECT_EQ(first["outlines"], second["outlines"]);
}

} // namespace

} // namespace game
