#pragma once

namespace game {

class Sock;

// Told whenever a sock enters or leaves the level, so the two lists of the rules stay in step.
class SockListener {
public:
    virtual ~SockListener() = default;
    virtual void sockPlaced(Sock& sock) = 0;
    virtual void sockRemoved(Sock& sock) = 0;
};

} // namespace game
