#include "game/RoundCheck.h"

#include "game/Game.h"
#include "rules/GameRoundup.h"
#include "rules/Sock.h"
#include "scene/World.h"

#include <algorithm>
#include <set>

namespace game {

namespace {

bool listed(const std::vector<Object*>& list, const Object* o) {
    return std::find(list.begin(), list.end(), o) != list.end();
}

} // namespace

std::string checkRound(const Game& game) {
    const GameRoundup& rules = game.rules();
    if (!rules.isRunning())
        return {};
    const auto& inLevel = rules.socksInLevel();
    const auto& collected = rules.socksCollected();
    std::set<const Sock*> distinct(inLevel.begin(), inLevel.end());
    distinct.insert(collected.begin(), collected.end());
    if (inLevel.size() + collected.size() != GameRoundup::kSockCount ||
        distinct.size() != GameRoundup::kSockCount)
        return "round: " + std::to_string(inLevel.size()) + " socks in the level and " +
               std::to_string(collected.size()) + " collected (" + std::to_string(distinct.size()) +
               " different) instead of 40";
    const ObjectRegistry& objects = game.world().objects();
    for (const Sock* s : inLevel)
        if (!s->isInLevel() || !listed(objects.agentList(), s) || !listed(objects.drawList(), s))
            return "round: a sock of the level is not in the level";
    for (const Sock* s : collected)
        if (s->isInLevel() || listed(objects.agentList(), s) || listed(objects.drawList(), s))
            return "round: a collected sock is still in the level";
    return {};
}

} // namespace game
