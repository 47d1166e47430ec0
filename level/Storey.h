#pragma once

#include "gfx/Brush.h"
#include "level/Climbable.h"
#include "level/Place.h"
#include "scene/MovablePlatform.h"
#include "scene/Wall.h"
#include "widgets/Trampoline.h"

#include <deque>
#include <optional>
#include <span>
#include <string>

namespace game {

struct Storeys;

// A ladder up from a storey: its climb (x, bottom edge, width, height), its rungs and the two
// places it joins, found in the world's graph when the storey registers.
struct StoreyLadder {
    const char* name = nullptr; // its type in dumps; null for a storey without one
    float x = 0, bottom = 0, width = 0, height = 0;
    int rungs = 0;
    Place foot{};
    Place head{};
};

// A one-way drop off a storey's walkway onto something lower.
struct StoreyDrop {
    Place from;
    Place to;
};

struct StoreyTrampoline {
    gfx::RectF rect{};
    gfx::Argb colour = 0;
    double cyclePeriod = 0;
    double launchSpeed = 0;
};

// Everything in which one storey of the house differs from the others.
struct StoreyTable {
    const char* name = nullptr; // its type in dumps and in the status box
    // The outline as absolute points, before any displacement; it ends where it starts.
    std::span<const gfx::PointF> outline{};
    gfx::Argb penColour = 0;
    gfx::Argb fillColour = 0;
    // The storey the world stacks on this one, which rides along in a quake; null for none.
    Platform* Storeys::*carries = nullptr;
    StoreyLadder ladder{};
    std::span<const gfx::RectF> walls{};
    gfx::Argb wallPenColour = 0;
    gfx::Argb wallFillColour = 0;
    // Walls that stop walkers rather than ride along as scenery.
    bool wallsStopWalkers = false;
    std::span<const StoreyTrampoline> trampolines{};
    // The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
    std::span<const PlacePoint> walkway{};
    std::optional<StoreyDrop> drop{};
    // Support zone (see withinSupportZone), in design coordinates.
    struct {
        float left = 0, right = 0, top = 0;
    } support{};
};

// One storey of the house, built from its table: a slab or roof that follows the quakes of the
// storey below with a frame's lag, with the ladder, walls and trampolines it owns.
class Storey : public MovablePlatform {
public:
    explicit Storey(const StoreyTable& table);

    void registerInGame(World& world) override;
    std::string typeName() const override { return plan_.name; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    const StoreyTable& table() const { return plan_; }

    // The house's storeys, from the garden up.
    static const StoreyTable basement;
    static const StoreyTable firstFloor;
    static const StoreyTable secondFloor;
    static const StoreyTable denRoof;
    static const StoreyTable roof;

    // Parts, in the order they register and are drawn after the storey. Walls go left to right.
    std::optional<Climbable> ladder;
    std::deque<Wall> walls;
    std::deque<Trampoline> trampolines;

private:
    const StoreyTable& plan_;
    gfx::SolidBrush fill_;
};

} // namespace game
