#include "scene/World.h"
#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "game/GameHost.h"
#include "game/GameStateJson.h"
#include "level/Place.h"
#include "level/Storey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace game {

namespace {

bool carries(const Platform& lower, const Object* upper) {
    return std::find(lower.carried.begin(), lower.carried.end(), upper) != lower.carried.end();
}

// The house alone in a bare world, without a game: each storey rides on the one the world
// says it rests on, and a house with a storey missing still registers.
TEST(World, StoreysCarryWhatTheWorldStacksOnThem) {
    for (const bool withSecondFloor : {true, false}) {
        NavGraph graph;
        addPlaces(graph);
        World world{graph};
        Storey basement{Storey::basement};
        Storey first{Storey::firstFloor};
        Storey second{Storey::secondFloor};
        Storey den{Storey::denRoof};
        Storey roof{Storey::roof};
        world.storeys() = {nullptr, &basement, &first, withSecondFloor ? &second : nullptr,
                           &den,    &roof,     nullptr};
        for (Platform* storey : std::initializer_list<Platform*>{&basement, &first, &second, &den, &roof})
            storey->registerInGame(world);

        EXPECT_TRUE(carries(basement, &first));
        EXPECT_EQ(carries(first, &second), withSecondFloor);
        EXPECT_TRUE(carries(second, &den));
        EXPECT_TRUE(carries(den, &roof));
        const std::vector<Object*>& platforms = world.objects().platformList();
        for (Platform* storey : std::initializer_list<Platform*>{&basement, &first, &second, &den, &roof})
            EXPECT_EQ(std::count(platforms.begin(), platforms.end(), storey), 1);
        EXPECT_FALSE(world.navGraph().edgeList().empty());
    }
}

// Two games alive at once keep to themselves: nothing of one lands in the other's lists or
// graph, and each has the whole level.
TEST(World, TwoGamesShareNothing) {
    GameHost first;
    GameHost second;
    // Frame by frame in turn, as two games in one process would run.
    for (int i = 0; i < 300; ++i) {
        first.timerCall();
        second.timerCall();
    }
    for (const auto& [a, b] : {std::pair{&first, &second}, std::pair{&second, &first}}) {
        EXPECT_EQ(a->graph.nodeCount(), b->graph.nodeCount());
        EXPECT_EQ(a->graph.edgeList().size(), b->graph.edgeList().size());
        const ObjectRegistry& ourObjects = a->game.world().objects();
        const std::vector<Object*>& theirList = b->game.world().objects().drawList();
        const std::set<Object*> theirs(theirList.begin(), theirList.end());
        for (auto* list : {&ourObjects.drawList(), &ourObjects.agentList(), &ourObjects.platformList(),
                           &ourObjects.animalList()})
            for (Object* o : *list)
                EXPECT_EQ(theirs.count(o), 0u) << o->typeName();
        for (const NavEdge* e : a->graph.edgeList())
            EXPECT_EQ(theirs.count(e->platform), 0u) << e->from->name;
        // The wanderers plan their walks on their own game's graph.
        const std::set<const NavEdge*> ours(a->graph.edgeList().begin(), a->graph.edgeList().end());
        const std::set<const NavNode*> places(a->graph.nodes().begin(), a->graph.nodes().end());
        int walking = 0;
        for (Object* o : ourObjects.animalList()) {
            const auto* animal = static_cast<const Animal*>(o);
            walking += animal->route().empty() ? 0 : 1;
            for (const NavEdge* e : animal->route())
                EXPECT_EQ(ours.count(e), 1u) << animal->typeName();
            if (const NavNode* goal = animal->walkGoal()) {
                EXPECT_EQ(places.count(goal), 1u) << animal->typeName();
            }
        }
        EXPECT_GT(walking, 0) << "nobody walks: the check above saw nothing";
    }
}

// Each game draws from its own generator: two games on the same seed, run frame by frame in
// turn, play the same round (socks of the same colours in the same places, the same walks),
// and a third on another seed plays a different one.
TEST(World, GamesOnTheSameSeedPlayTheSameRoundSideBySide) {
    GameHost first(800, 584, 3);
    GameHost second(800, 584, 3);
    GameHost other(800, 584, 4);
    for (GameHost* host : {&first, &second, &other})
        host->game.onKey(U'n');
    for (int i = 0; i < 600; ++i)
        for (GameHost* host : {&first, &second, &other})
            host->timerCall();
    const nlohmann::json played = GameStateJson::dump(first.game, 600);
    EXPECT_EQ(played, GameStateJson::dump(second.game, 600));
    EXPECT_NE(played["socks"], GameStateJson::dump(other.game, 600)["socks"]);
}

} // namespace

} // namespace game
