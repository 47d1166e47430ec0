#include "game/GameStateJson.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "characters/Person.h"
#include "game/Game.h"
#include "level/EdgeHighlight.h"
#include "level/GoalArrow.h"
#include "level/Ground.h"
#include "level/LightSource.h"
#include "level/NodeHighlight.h"
#include "level/Storey.h"
#include "rules/GameRoundup.h"
#include "rules/Sock.h"
#include "scene/MovablePlatform.h"
#include "scene/Object.h"
#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/TextBox.h"

namespace game {

using nlohmann::json;

json GameStateJson::dump(Game& game, long long timerCalls) {
    json out = json::object();
    addTiming(out, game, timerCalls);
    addSettings(out, game);
    addMessageBox(out, game);
    addButtons(out, game);
    addDrawList(out, game);
    addNav(out, game);
    addGarden(out, game);
    addAgents(out, game);
    addRules(out, game);
    return out;
}

void GameStateJson::addTiming(json& out, Game& game, long long timerCalls) {
    const gfx::RectI client = game.clientRect();
    out["tick"] = timerCalls;
    out["frames"] = game.simulatedFrames();
    out["client"] = {client.width, client.height};
    out["scale"] = game.scale();
}

void GameStateJson::addSettings(json& out, const Game& game) {
    const WorldSettings& settings = game.world().settings();
    out["speedLevel"] = settings.speedLevel;
    out["paused"] = settings.paused;
    out["paintForcesFullRedraw"] = game.paintForcesFullRedraw;
    out["showDirtyRects"] = game.showDirtyRects;
    out["showRedrawnObjects"] = game.showRedrawnObjects;
    out["groundEventRequest"] = settings.groundEventRequest;
    out["selectedNode"] = game.selectedNode;
    out["navOverlay"] = game.navOverlay;
    out["goalTracking"] = settings.goalTracking;
    out["hoverNodes"] = game.hoverNodes;
    out["cheatUsed"] = settings.cheatUsed;
    out["hudMode"] = settings.hudMode;
}

void GameStateJson::addMessageBox(json& out, const Game& game) {
    out["messageBox"] = {{"on", game.messageBox().isOn()}, {"text", game.messageBox().text()}};
}

void GameStateJson::addButtons(json& out, const Game& game) {
    json buttons = json::array();
    for (const Button* button : game.world().objects().buttonList())
        buttons.push_back(
            {{"text", button->text()}, {"on", button->isOn()}, {"highlighted", button->isHighlighted()}});
    out["buttons"] = std::move(buttons);
}

void GameStateJson::addDrawList(json& out, const Game& game) {
    json objects = json::array();
    for (const Object* object : game.world().objects().drawList()) {
        // The outline as it was last drawn: a dump must not rebuild anything.
        const gfx::RectF b = object->pathBounds(true);
        objects.push_back({{"type", object->typeName()}, {"bounds", {b.x, b.y, b.width, b.height}}});
    }
    out["drawList"] = std::move(objects);
}

void GameStateJson::addNav(json& out, const Game& game) {
    const NavGraph& graph = game.world().navGraph();
    json nodes = json::array();
    for (const NavNode* n : graph.nodes())
        nodes.push_back({{"index", n->index}, {"name", n->name}, {"x", n->x}, {"y", n->y}});

    json edges = json::array();
    for (const NavEdge* e : graph.edgeList()) {
        const gfx::PointF a = e->start();
        const gfx::PointF b = e->end();
        edges.push_back({{"from", e->from->name},
                         {"to", e->to->name},
                         {"platform", e->platform->typeName()},
                         {"start", {a.x, a.y}},
                         {"end", {b.x, b.y}},
                         {"margin", e->margin},
                         {"cost", e->cost()}});
    }

    json platforms = json::array();
    for (const Object* object : game.world().objects().platformList()) {
        const auto* platform = dynamic_cast<const Platform*>(object);
        if (platform == nullptr)
            continue;
        // Only the queued platforms keep an offset; the others move their own coordinates.
        const auto* movable = dynamic_cast<const MovablePlatform*>(platform);
        const float dx = movable ? movable->offsetX() : 0.0f;
        const float dy = movable ? movable->offsetY() : 0.0f;
        platforms.push_back(
            {{"type", platform->typeName()}, {"orientation", platform->orientation()}, {"offset", {dx, dy}}});
    }

    out["nav"] = {{"nodes", std::move(nodes)}, {"edges", std::move(edges)}};
    out["platforms"] = std::move(platforms);
    const NavNode* highlighted = game.nodeHighlight().node();
    out["nodeHighlight"] = highlighted ? json(highlighted->name) : json(nullptr);
    if (const NavEdge* glowing = game.edgeHighlight().edge())
        out["edgeHighlight"] = {{"from", glowing->from->name},
                                {"to", glowing->to->name},
                                {"glowTime", game.edgeHighlight().glowTime}};
    else
        out["edgeHighlight"] = nullptr;
}

void GameStateJson::addGarden(json& out, const Game& game) {
    const Ground& ground = game.ground();
    out["ground"] = {{"quakeActive", ground.isQuakeActive()},
                     {"quakeRaise", ground.quakeRaise()},
                     {"quakePhase", ground.quakePhase()}};
    out["light"] = {{"x", game.light().position().x}};
}

namespace {

json agentState(const Agent& agent) {
    std::vector<std::string> states;
    collectActiveStates(agent.rootState(), states);
    const gfx::PointF p = agent.position();
    const gfx::PointF v = agent.velocity();
    // The outline as it was last built: a dump must not rebuild anything.
    const gfx::RectF b = agent.pathBounds(false);
    json entry = {
        {"type", agent.typeName()},
        {"x", p.x},
        {"y", p.y},
        {"vx", v.x},
        {"vy", v.y},
        {"timeScale", agent.timeScale()},
        {"states", states},
        {"platform", agent.platform() != nullptr ? json(agent.platform()->typeName()) : json(nullptr)},
        {"bounds", {b.x, b.y, b.width, b.height}}};
    json route = json::array();
    json goal = nullptr;
    if (const auto* animal = dynamic_cast<const Animal*>(&agent)) {
        for (const NavEdge* e : animal->route())
            route.push_back({e->from->name, e->to->name});
        if (const NavNode* g = animal->walkGoal())
            goal = g->name;
    }
    entry["route"] = std::move(route);
    entry["goal"] = std::move(goal);
    const auto* person = dynamic_cast<const Person*>(&agent);
    entry["facing"] = person != nullptr ? person->facing() : 0;
    entry["touched"] = person != nullptr && person->isTouched();
    return entry;
}

} // namespace

void GameStateJson::addAgents(json& out, const Game& game) {
    json agents = json::array();
    for (const Object* object : game.world().objects().agentList())
        if (const auto* agent = dynamic_cast<const Agent*>(object))
            agents.push_back(agentState(*agent));
    out["agents"] = std::move(agents);
    json trampolines = json::array();
    for (const Trampoline& t : game.floorBasement().trampolines)
        trampolines.push_back({{"phase", t.phase()}, {"cycleTime", t.cycleTime()}});
    out["trampolines"] = std::move(trampolines);
    for (const auto& [name, arrow] :
         {std::pair{"husbandGoal", &game.husbandGoal()}, {"wifeGoal", &game.wifeGoal()}})
        out[name] = {{"showing", arrow->isShowing()}, {"x", arrow->target().x}, {"y", arrow->target().y}};
    const Bat& bat = game.rules().bat;
    out["bat"] = {{"on", bat.isOn()}, {"x", bat.position().x}, {"y", bat.position().y}};
}

void GameStateJson::addRules(json& out, const Game& game) {
    const GameRoundup& rules = game.rules();
    const auto textWhileOn = [](const TextBox& box) { return box.isOn() ? json(box.text()) : json(nullptr); };
    out["rules"] = {
        {"running", rules.isRunning()},
        {"lives", rules.lives()},
        {"socksInLevel", rules.socksInLevel().size()},
        {"socksCollected", rules.socksCollected().size()},
        {"result", textWhileOn(rules.display().resultBox)},
        {"cheater", rules.display().cheaterBox.isOn()},
        {"clock", rules.display().gameClock.isOn() ? json(rules.display().gameClock.text()) : json(nullptr)},
        {"counter", rules.display().sockCounter.text()},
        {"speed", rules.display().speedBox.text()},
        {"pairFailCount", rules.pairFailCount()}};
    json socks = json::array();
    for (const std::vector<Sock*>* list : {&rules.socksInLevel(), &rules.socksCollected()})
        for (const Sock* sock : *list) {
            std::vector<std::string> states;
            collectActiveStates(sock->rootState(), states);
            socks.push_back({{"x", sock->position().x},
                             {"y", sock->position().y},
                             {"inLevel", sock->isInLevel()},
                             {"states", states},
                             {"scale", sock->scale()}});
        }
    out["socks"] = std::move(socks);
    const audio::MusicPlayer* music = rules.music().player();
    out["music"] = {{"prepared", music != nullptr},
                    {"playing", music != nullptr && music->isPlaying()},
                    {"paused", music != nullptr && music->isPaused()}};
}

} // namespace game
