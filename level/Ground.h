#pragma once

#include "gfx/Brush.h"
#include "gfx/Path.h"
#include "level/TelephonePole.h"
#include "level/Tree.h"
#include "scene/Platform.h"

#include <cstdint>
#include <deque>

namespace game {

// The garden: a hillside from the telephone pole down to steps at the right, open where the
// basement is. It is the root of the carry chain and runs the earthquake that heaves the
// whole house.
class Ground : public Platform {
public:
    // The basement column: the ground is neither filled nor solid here.
    static constexpr float kColumnLeft = 248;
    static constexpr float kColumnRight = 553;
    static constexpr int kIdleFramesBeforeQuake = 3000;
    static constexpr std::size_t kFrameWindow = 500;

    Ground();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "Ground"; }
    void update(double dt) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool touches(const gfx::RectF& r) override;
    int orientation() const override { return 1; }
    bool supports(const gfx::RectF&) const override { return true; }

    // Pixels the quake moves per frame, from the average of recent frame times, so a swing
    // takes about as long at any frame rate.
    int quakeStep() const;

    bool isQuakeActive() const { return quakeActive_ != 0; }
    int quakeRaise() const { return quakeRaise_; }
    int quakePhase() const { return quakePhase_; }
    Tree& tree() { return tree_; }
    TelephonePole& telephonePole() { return pole_; }

private:
    int quakeActive_ = 0;
    gfx::SolidBrush fill_{0xFF96640A};
    int quakeRaise_ = 0;
    int quakePhase_ = 0;
    Tree tree_;
    TelephonePole pole_;
    // Recent frame times in whole microseconds, so that the sum stays exact however long
    // the game runs. Kept per ground rather than process-wide so that a second game starts
    // with a fresh window.
    std::deque<std::int64_t> frameTimesUs_;
    std::int64_t frameTimeSumUs_ = 0;
    // The filled part of the outline, which leaves out the basement column, as it stands
    // and as it is when the ground is calm.
    gfx::Path fillShape_;
    gfx::Path calmFillShape_;
};

} // namespace game
