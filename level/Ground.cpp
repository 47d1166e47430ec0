#include "level/Ground.h"

#include "core/Random.h"
#include "gfx/Graphics.h"
#include "gfx/Matrix.h"
#include "gfx/Region.h"
#include "level/Place.h"
#include "scene/World.h"

#include <array>
#include <cmath>

namespace game {

namespace {

constexpr std::array<gfx::PointF, 9> kHillside{{{2, 450},
                                                {30, 450},
                                                {100, 470},
                                                {200, 460},
                                                {250, 480},
                                                {400, 490},
                                                {500, 520},
                                                {550, 530},
                                                {680, 554}}};
// Three steps down to the right edge.
constexpr std::array<gfx::PointF, 7> kSteps{
    {{720, 554}, {720, 562}, {730, 562}, {730, 570}, {740, 570}, {740, 578}, {798, 578}}};
constexpr std::array<gfx::PointF, 3> kBottomEdge{{{798, 582}, {2, 582}, {2, 450}}};

constexpr int kOwn = NavEdge::kUnset;
// The walkway along the top; -999 keeps the coordinate of a node placed by the house.
constexpr std::array<PlacePoint, 7> kWalkway{{{Place::GroundLeft, kOwn, kOwn},
                                              {Place::GroundLanding, 100, 470},
                                              {Place::GroundAndFirstFloorLeft, kOwn, kOwn},
                                              {Place::GroundSide, 400, 490},
                                              {Place::GroundAndFirstFloorRight, kOwn, kOwn},
                                              {Place::GroundAndTree, kOwn, kOwn},
                                              {Place::GroundRight, 796, 578}}};

// The column the basement sits in, as (x, y, width, height).
constexpr gfx::RectF kColumn{Ground::kColumnLeft, 0, Ground::kColumnRight - Ground::kColumnLeft, 584};

// Everything of the path outside the basement column.
gfx::Path outsideColumn(const gfx::Path& outline) {
    constexpr float far = 10000;
    const std::array<gfx::RectF, 4> around{{
        {-far, -far, kColumn.x + far, 2 * far},            // left of it
        {kColumn.right(), -far, 2 * far, 2 * far},         // right of it
        {kColumn.x, -far, kColumn.width, far + kColumn.y}, // above it
        {kColumn.x, kColumn.bottom(), kColumn.width, far}, // below it
    }};
    gfx::Region kept;
    for (const gfx::RectF& r : around) {
        gfx::Region part(outline);
        part.intersect(r);
        kept.unite(part);
    }
    gfx::Path out;
    for (const std::vector<gfx::PointF>& contour : kept.contours()) {
        out.startFigure();
        out.addLines(contour);
        out.closeFigure();
    }
    return out;
}

} // namespace

Ground::Ground() : Platform(0xFFFFFFFF, 1.0f) {
    pen_.setWidth(5);
    pen_.setColor(0xAA96640A);
    pen_.setAlignment(gfx::PenAlignment::Inset);
    pole_.cable().setSecondLoopLanding(tree_.branch(1).middleNode());
}

void Ground::registerInGame(World& world) {
    Platform::registerInGame(world);
    tree_.registerInGame(world);
    pole_.registerInGame(world);
    carry(world.storeys().basement);
    carried.push_back(&tree_);
    carried.push_back(&pole_);
    carry(world.storeys().looseThings); // a quake shakes the socks loose

    NavGraph& graph = world.navGraph();
    addWalkway(graph, this, kWalkway);
    // The world wraps: walking off the left end leads to the right end, through a point
    // 25 pixels beyond the left edge.
    graph.addOneWayEdge(this, placeNode(graph, Place::GroundLeft), {kOwn, kOwn}, false,
                        placeNode(graph, Place::GroundRight), {-23, 450}, false);
}

int Ground::quakeStep() const {
    // The average compared as sum against count times the threshold: no division, no rounding.
    // No frame yet averages to nothing, the smallest step.
    const auto count = static_cast<std::int64_t>(frameTimesUs_.size());
    const int divisor = count == 0                          ? 3
                        : frameTimeSumUs_ >= 35'000 * count ? 1
                        : frameTimeSumUs_ >= 20'000 * count ? 2
                                                            : 3;
    return 12 / divisor;
}

void Ground::update(double dt) {
    const std::int64_t dtUs = std::llround(dt * 1'000'000.0);
    frameTimesUs_.push_back(dtUs);
    frameTimeSumUs_ += dtUs;
    if (frameTimesUs_.size() > kFrameWindow) {
        frameTimeSumUs_ -= frameTimesUs_.front();
        frameTimesUs_.pop_front();
    }

    const int oldRaise = quakeRaise_;
    int newRaise = 0;
    if (!quakeActive_) {
        WorldSettings& settings = world()->settings();
        if (settings.groundEventRequest) {
            settings.groundEventRequest = false;
            quakePhase_ = kIdleFramesBeforeQuake;
        } else if (static_cast<int>(world()->random().next() * 0.091552734375) == 1) {
            // A chance of 11 in 32768 per frame for a quake out of the blue.
            settings.groundEventRequest = false;
            quakePhase_ = kIdleFramesBeforeQuake;
        }
        if (++quakePhase_ < kIdleFramesBeforeQuake)
            return;
        quakeActive_ = 1;
        quakePhase_ = 0;
    } else {
        // Three damped swings: up past 48, back to 0, up past 24, back, up past 12, back.
        const int step = quakeStep();
        const int r = quakeRaise_;
        if ((quakePhase_ == 0 && r > 48) || (quakePhase_ == 2 && r > 24) || (quakePhase_ == 4 && r > 12))
            ++quakePhase_;
        else if (quakePhase_ % 2 == 1 && r <= 0)
            ++quakePhase_;
        newRaise = quakePhase_ % 2 == 0 ? r + step : r - step;
        if (quakePhase_ == 6) {
            quakeActive_ = 0;
            quakePhase_ = 0;
            newRaise = 0;
        }
    }

    invalidate();
    const int dy = oldRaise - newRaise; // negative while the ground rises
    quakeRaise_ = newRaise;
    carryRiders(0, static_cast<float>(dy));
}

void Ground::draw(gfx::Graphics& g) {
    // The basement column stays unfilled, but the ground line is drawn right across it.
    g.fillPath(fill_, fillShape_);
    g.drawPath(pen_, path_);
}

void Ground::rebuildPath() {
    path_.reset();
    path_.addCurve(kHillside);
    path_.addLines(kSteps);
    path_.addLines(kBottomEdge);
    // The cut-out only depends on the calm outline: the column spans the whole world's
    // height and the ground never leaves it, so a raised ground is the calm cut moved up.
    if (calmFillShape_.empty())
        calmFillShape_ = outsideColumn(path_);
    gfx::Matrix m;
    m.translate(0, static_cast<float>(-quakeRaise_));
    path_.transform(m);
    fillShape_ = calmFillShape_;
    fillShape_.transform(m);
    clearShapeDirty();
}

bool Ground::touches(const gfx::RectF& r) {
    if (!Platform::touches(r))
        return false;
    if (r.x < kColumnLeft || r.x + r.width > kColumnRight)
        return true;
    // Inside the column the ground only counts where the rectangle leaves the world, so
    // agents there fall through into the basement.
    const float top = static_cast<float>(-quakeRaise_);
    return top > r.y || top + 584 < r.y + r.height;
}

} // namespace game
