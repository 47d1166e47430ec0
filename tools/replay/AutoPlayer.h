#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace game {
class Game;
class NavEdge;
class Sock;
} // namespace game

// Plays a round as a player would, with the mouse alone: a click on a speed button starts it,
// and whenever the Husband stands, a click on the walkway under the sock he can reach soonest
// along the walkways sends him along it, over the sock. Every click goes through the game's
// own click at a client pixel, and only once he has stood still again after the last one.
class AutoPlayer {
public:
    enum class Result { Waiting, Playing, Won, Lost };

    // speedLevel: the button clicked, 1 (Slow) to 3 (Fast).
    AutoPlayer(game::Game& game, int speedLevel);

    // Before each timer call: clicks if a player would now.
    void play();
    Result result() const;
    bool roundOver() const { return result() == Result::Won || result() == Result::Lost; }
    // One line: seed, speed, socks collected, the result, the round's clock, lives, clicks and
    // the walks that ended without the sock they were for.
    // stopped: the run ended early for another reason (a failed check), named so.
    std::string summary(std::uint32_t seed, const char* stopped) const;

private:
    // Where a click sends him for a sock: the client pixel, the walkway that lights up there,
    // and the length of the way to the sock along the walkways.
    struct Aim {
        int x = 0;
        int y = 0;
        const game::NavEdge* lit = nullptr;
        double way = 0;
    };
    // The last click on the house, until he stands again after it.
    struct Click {
        double at = 0; // the round's clock
        gfx::PointF from;
        const game::Sock* sock = nullptr;
        const game::NavEdge* lit = nullptr;
        bool moved = false;
    };
    // A sock he was sent for and walked past, where it lay and the way lit for that walk: the
    // next walk for it goes another way, and after a second miss it waits while it lies there.
    struct Miss {
        int count = 0;
        gfx::PointF at;
        const game::NavEdge* lit = nullptr;
    };

    std::optional<Aim> aimAt(game::Sock& sock, const game::NavEdge& under, gfx::PointF feet);
    // The walkway a player clicks under a lying sock: one of what it lies on, within the world,
    // whose point under the sock is nearest to it.
    const game::NavEdge* walkwayUnder(game::Sock& sock);
    // The client pixel that lands on the world point, and the walkway that lights up there;
    // nothing outside the window.
    std::optional<Aim> pixelOn(gfx::PointF world);
    // The shortest way along the walkways from a point of one walkway to a point of another.
    double wayAlong(const game::NavEdge& from, gfx::PointF p, const game::NavEdge& to, gfx::PointF q) const;
    bool skipped(const game::Sock& sock) const;
    void clickTowardNearestSock(double now);

    game::Game& game_;
    int speedLevel_;
    bool started_ = false;
    bool buttonClicked_ = false;
    int clicks_ = 0;
    int walksPast_ = 0;
    std::optional<Click> pending_;
    std::map<const game::Sock*, Miss> misses_;
};
