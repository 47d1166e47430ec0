#include "game/GameHost.h"

#include <gtest/gtest.h>

#include "level/Ground.h"
#include "level/LightSource.h"
#include "level/Storey.h"
#include "scene/World.h"
#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace game {

namespace {

std::vector<gfx::PointF> outlineOf(Object& o) {
    o.refreshShape();
    const auto pts = o.path().points();
    return {pts.begin(), pts.end()};
}

// The house inside the whole level, built and attached as the game starts.
class HouseTest : public ::testing::Test {
protected:
    NavNode& node(const std::string& name) { return *host_.graph.node(name); }

    GameHost host_;
    Game& game_ = host_.game;
};

TEST_F(HouseTest, WalkwaysMeetTheLaddersAtFloorHeight) {
    NavGraph& g = host_.graph;
    auto at = [&](const char* a, const char* b) -> NavEdge& { return g.edge(node(a).index, node(b).index); };
    NavEdge& toLadderFoot = at("basement_left", "basement_and_basement_ladder");
    EXPECT_EQ(toLadderFoot.end(), (gfx::PointF{360, 574}));
    EXPECT_EQ(toLadderFoot.platform, &game_.floorBasement());
    EXPECT_EQ(at("basement_and_basement_ladder", "first_floor_and_basement_ladder").start(),
              (gfx::PointF{360, 554}));

    EXPECT_EQ(at("first_floor_and_basement_ladder", "first_floor_and_first_floor_ladder").start(),
              (gfx::PointF{360, 445}));
    EXPECT_EQ(at("first_floor_right_angle", "ground_and_first_floor_right").end(), (gfx::PointF{620, 535}));
    EXPECT_EQ(at("second_floor_left", "second_floor_and_first_floor_ladder").end(), (gfx::PointF{460, 300}));
    EXPECT_EQ(at("second_floor_and_first_floor_ladder", "first_floor_and_first_floor_ladder").platform,
              &*game_.floorFirst().ladder);

    // The drops lie between the nodes.
    EXPECT_EQ(at("roof_left", "den_roof_middle").end(), (gfx::PointF{190, 330}));
}

TEST_F(HouseTest, OutlinesAreTheDesignPlacedOnce) {
    using P = std::vector<gfx::PointF>;
    EXPECT_EQ(outlineOf(game_.floorBasement()),
              (P{{250, 574}, {550, 574}, {550, 578}, {250, 578}, {250, 574}}));
    EXPECT_EQ(outlineOf(game_.floorFirst()), (P{{150, 445},
                                                {550, 445},
                                                {620, 535},
                                                {610, 535},
                                                {550, 455},
                                                {150, 455},
                                                {130, 462},
                                                {120, 462},
                                                {150, 445}}));
    EXPECT_EQ(outlineOf(game_.floorSecond()),
              (P{{250, 300}, {550, 300}, {550, 310}, {250, 310}, {250, 300}}));
    EXPECT_EQ(
        outlineOf(game_.roof()),
        (P{{240, 200}, {400, 150}, {480, 175}, {560, 200}, {560, 210}, {400, 160}, {240, 210}, {240, 200}}));
    EXPECT_EQ(outlineOf(game_.denRoof()),
              (P{{140, 340}, {190, 330}, {250, 320}, {250, 330}, {140, 350}, {140, 340}}));

    // A second storey from the same table has the same outline: the offset is not applied again.
    Storey another{Storey::firstFloor};
    EXPECT_EQ(outlineOf(another), outlineOf(game_.floorFirst()));
}

TEST_F(HouseTest, RegistrationFillsTheListsInDrawingOrder) {
    // The house registers right after the light, each storey followed by its parts.
    std::vector<std::string> drawn;
    for (std::size_t i = 1; i <= 15; ++i)
        drawn.push_back(game_.world().objects().drawList().at(i)->typeName());
    EXPECT_EQ(game_.world().objects().drawList().front(), &game_.light());
    EXPECT_EQ(drawn,
              (std::vector<std::string>{"FloorBasement", "basement_ladder", "Wall", "Wall", "Trampoline",
                                        "Trampoline", "FloorFirst", "first_floor_ladder", "Wall", "Wall",
                                        "FloorSecond", "Wall", "Wall", "Roof", "DenRoof"}));
    EXPECT_EQ(game_.world().objects().drawList().at(16), &game_.ground());
    // Storeys and ladders are platforms (the house's seven lead the list), the walls plain objects.
    EXPECT_EQ(game_.world().objects().platformList().at(6), &game_.denRoof());
    EXPECT_EQ(game_.world().objects().objectList().at(1), &game_.floorBasement().walls.front());
}

// What a maintainer editing a storey's table must not get wrong, for every storey: the walkway
// and the drop join the places the table names, a ladder must climb to the storey this one
// carries, and a storey carried twice, or by nobody, shakes twice or not at all.
TEST_F(HouseTest, EveryStoreysTableJoinsTheHouseTogether) {
    Storey* const house[] = {&game_.floorBasement(), &game_.floorFirst(), &game_.floorSecond(),
                             &game_.denRoof(), &game_.roof()};
    NavGraph& g = host_.graph;
    const auto edgeOwner = [&](Place a, Place b) {
        return g.edge(placeNode(g, a).index, placeNode(g, b).index).platform;
    };
    const auto nameOf = [&](Place p) { return placeNode(g, p).name; };
    const auto onWalkway = [](const Storey& s, Place place) {
        return std::any_of(s.table().walkway.begin(), s.table().walkway.end(),
                           [&](const PlacePoint& p) { return p.place == place; });
    };
    for (Storey* s : house) {
        const StoreyTable& t = s->table();
        SCOPED_TRACE(t.name);
        ASSERT_GE(t.outline.size(), 4u);
        EXPECT_EQ(t.outline.front(), t.outline.back()) << "an open outline leaves a side unstroked";
        EXPECT_EQ(outlineOf(*s), (std::vector<gfx::PointF>(t.outline.begin(), t.outline.end())));
        for (std::size_t i = 1; i < t.walkway.size(); ++i) {
            EXPECT_EQ(edgeOwner(t.walkway[i - 1].place, t.walkway[i].place), s) << nameOf(t.walkway[i].place);
            EXPECT_EQ(edgeOwner(t.walkway[i].place, t.walkway[i - 1].place), s) << nameOf(t.walkway[i].place);
        }
        if (t.drop) {
            EXPECT_EQ(edgeOwner(t.drop->from, t.drop->to), s);
        }
        Platform* above = t.carries != nullptr ? game_.world().storeys().*t.carries : nullptr;
        if (s->ladder) {
            const auto upper = std::find(std::begin(house), std::end(house), above);
            ASSERT_NE(upper, std::end(house)) << "a ladder leads to the storey carried";
            EXPECT_TRUE(onWalkway(*s, t.ladder.foot));
            EXPECT_TRUE(onWalkway(**upper, t.ladder.head));
            EXPECT_EQ(edgeOwner(t.ladder.foot, t.ladder.head), &*s->ladder);
        }
        const std::vector<Object*>& platforms = game_.world().objects().platformList();
        const auto carriers = std::count_if(platforms.begin(), platforms.end(), [&](Object* o) {
            const auto& carried = static_cast<Platform*>(o)->carried;
            return std::count(carried.begin(), carried.end(), s) != 0;
        });
        EXPECT_EQ(carriers, 1);
    }
}

// A storey's support zone: left limit, right limit and top, from the design outline.
struct Zone {
    const char* name;
    float left, right, top;
};

TEST_F(HouseTest, SupportZonesOfEveryStorey) {
    const std::pair<Platform*, Zone> zones[] = {
        {&game_.floorBasement(), {"basement", 250, 550, 574}},
        {&game_.floorFirst(), {"first", 120, 620, 535}},
        {&game_.floorSecond(), {"second", 250, 550, 300}},
        {&game_.roof(), {"roof", 240, 560, 200}},
        {&game_.denRoof(), {"den", 140, 250, 340}},
    };
    for (const auto& [p, z] : zones) {
        const float w = 20, h = 40;
        const float bottom = z.top + 20;
        const float middle = (z.left + z.right) / 2;
        // Right edge exactly on the left limit, left edge exactly on the right limit.
        EXPECT_TRUE(p->supports({z.left - w, bottom - h, w, h})) << z.name;
        EXPECT_FALSE(p->supports({z.left - w - 0.5f, bottom - h, w, h})) << z.name;
        EXPECT_TRUE(p->supports({z.right, bottom - h, w, h})) << z.name;
        EXPECT_FALSE(p->supports({z.right + 0.5f, bottom - h, w, h})) << z.name;
        EXPECT_FALSE(p->supports({middle, bottom - h + 0.5f, w, h})) << z.name;
        // High above is still held: the zone has no upper bound.
        EXPECT_TRUE(p->supports({middle, -500, w, h})) << z.name;
    }
    EXPECT_TRUE(game_.floorFirst().supports({100, 400, 20, 40}));
    EXPECT_FALSE(game_.floorFirst().supports({100, 400, 19, 40}));
    EXPECT_TRUE(game_.floorFirst().supports({300, 515, 20, 40}));
    EXPECT_FALSE(game_.floorFirst().supports({300, 515.5f, 20, 40}));
}

TEST_F(HouseTest, OnlyTheBasementWallsStopWalkers) {
    // Stand-ins for walkers: anything with bounds will do for the obstacle test.
    auto body = [](float x) {
        return std::make_unique<Wall>(gfx::RectF{x, 540, 12, 30}, 0xFF000000, 1, 0xFF000000);
    };
    Wall& wall = game_.floorBasement().walls.back();

    // The wall spans x 540 to 550; a body of 12 starting at x is centred at x + 6.
    const struct {
        Platform* platform;
        float x;
        bool hit, left, right;
        const char* what;
    } cases[] = {
        {&game_.floorBasement(), 530, true, false, true, "walking right"},
        {&game_.floorBasement(), 540, true, true, false, "past the middle"},
        {&game_.floorBasement(), 539, true, false, true, "exactly centred counts as blocked on the right"},
        {&game_.floorBasement(), 528, false, false, false, "sharing an edge is no overlap"},
        {&*game_.floorBasement().ladder, 530, true, false, false, "a climbable reports no side"},
    };
    for (const auto& c : cases) {
        ContactFeedback feedback;
        EXPECT_EQ(c.platform->checkObstacle(*body(c.x), wall, feedback), c.hit) << c.what;
        EXPECT_EQ(feedback.obstacleLeft, c.left) << c.what;
        EXPECT_EQ(feedback.obstacleRight, c.right) << c.what;
    }
    EXPECT_TRUE(game_.floorFirst().obstacles.empty()) << "nothing stops a walker at x 540 upstairs";
}

TEST_F(HouseTest, TouchesUsesTheExactOutline) {
    EXPECT_TRUE(game_.floorBasement().touches({300, 560, 20, 16}));
    // Just above the pen-widened bounds: no touch.
    const gfx::RectF b = game_.floorBasement().bounds(true);
    EXPECT_FALSE(game_.floorBasement().touches({300, b.y - 20, 20, 20}));
    // Under the gable: inside the roof's bounds, outside its outline.
    EXPECT_FALSE(game_.roof().touches({395, 175, 10, 10}));
    EXPECT_TRUE(game_.roof().touches({395, 150, 10, 10}));
    // Beside the ramp of the first floor, and on it.
    EXPECT_TRUE(game_.floorFirst().touches({600, 500, 10, 10}));
    EXPECT_FALSE(game_.floorFirst().touches({560, 500, 10, 10}));
}

TEST_F(HouseTest, AQuakeTravelsUpTheHouseOneStoreyAtATime) {
    // The ground would push the basement; the rest follows through the carry chain.
    game_.floorBasement().translate(0, -4);
    const std::initializer_list<MovablePlatform*> house = {
        &game_.floorBasement(), &game_.floorFirst(), &game_.floorSecond(), &game_.roof(), &game_.denRoof()};
    std::map<std::string, int> firstMoved;
    for (int frame = 1; frame <= 10; ++frame) {
        // The house's platforms (the first seven) update in list order, as in the frame cycle;
        // the ground after them is left out so that no quake of its own joins in.
        for (std::size_t i = 0; i < 7; ++i)
            game_.world().objects().platformList()[i]->update(0.01);
        for (MovablePlatform* p : house)
            if (p->offsetY() != 0 && !firstMoved.count(p->typeName()))
                firstMoved[p->typeName()] = frame;
    }
    EXPECT_EQ(firstMoved["FloorBasement"], 2);
    EXPECT_EQ(firstMoved["FloorFirst"], 3);
    EXPECT_EQ(firstMoved["FloorSecond"], 4);
    EXPECT_EQ(firstMoved["DenRoof"], 5);
    EXPECT_EQ(firstMoved["Roof"], 7)
        << "the roof comes before the den roof in the list, so it waits a frame more";
    for (MovablePlatform* p : house)
        EXPECT_EQ(p->offsetY(), -4) << p->typeName();
    // Ladders and walls move at once with their floor.
    EXPECT_EQ(game_.floorBasement().ladder->climbRect().y, 394 - 4);
    EXPECT_EQ(game_.floorFirst().walls.front().displacement(), (gfx::PointF{0, -4}));
    EXPECT_EQ(game_.floorBasement().walls.back().displacement(), (gfx::PointF{0, -4}));
    // The picture moved; navigation and support stay where the house was built.
    EXPECT_EQ(outlineOf(game_.floorSecond()).front(), (gfx::PointF{250, 296}));
    EXPECT_EQ(node("basement_left").y, 574);
    EXPECT_TRUE(game_.floorSecond().supports({300, 280, 20, 40}));
}

} // namespace

} // namespace game
