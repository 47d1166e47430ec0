#include "gfx/Path.h"

#include "gfx/GlyphOutlines.h"
#include "gfx/Pen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace gfx {

namespace {

// Control-point distance for a quarter circle drawn as one cubic Bezier.
constexpr float kQuarterArc = 0.5522847498f;

PointF cubicAt(const std::array<PointF, 4>& c, float t) {
    const float u = 1 - t;
    const float a = u * u * u;
    const float b = 3 * u * u * t;
    const float d = 3 * u * t * t;
    const float e = t * t * t;
    return {a * c[0].x + b * c[1].x + d * c[2].x + e * c[3].x,
            a * c[0].y + b * c[1].y + d * c[2].y + e * c[3].y};
}

// Parameters in (0, 1) where one coordinate of a cubic Bezier has a local extreme.
// The derivative is a quadratic a t^2 + b t + c.
void cubicExtremes(float p0, float p1, float p2, float p3, std::array<float, 2>& out, int& count) {
    const double a = -p0 + 3.0 * p1 - 3.0 * p2 + p3;
    const double b = 2.0 * (p0 - 2.0 * p1 + p2);
    const double c = p1 - p0;
    count = 0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1)
            out[static_cast<std::size_t>(count++)] = static_cast<float>(t);
    };
    if (std::abs(a) < 1e-12) {
        if (std::abs(b) > 1e-12)
            keep(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return;
    const double root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
}

// Cardinal spline control points between p1 and p2 with neighbours p0 and p3.
std::array<PointF, 2> cardinalControls(PointF p0, PointF p1, PointF p2, PointF p3, float tension) {
    const float k = tension / 3.0f;
    return {PointF{p1.x + k * (p2.x - p0.x), p1.y + k * (p2.y - p0.y)},
            PointF{p2.x - k * (p3.x - p1.x), p2.y - k * (p3.y - p1.y)}};
}

// The ellipse's own parameter for the point that lies in the direction of a screen angle
// from the centre, so that pie edges point where the angles say.
double ellipseParameter(double angle, float rx, float ry) {
    return std::atan2(static_cast<double>(rx) * std::sin(angle), static_cast<double>(ry) * std::cos(angle));
}

} // namespace

void Path::reset() {
    bounds_.forget();
    points_.clear();
    types_.clear();
    figureOpen_ = false;
}

void Path::startFigure() {
    figureOpen_ = false;
}

void Path::closeFigure() {
    if (figureOpen_ && !types_.empty())
        types_.back() |= kCloseFlag;
    figureOpen_ = false;
}

void Path::ensureFigure(PointF first) {
    bounds_.forget();
    if (!figureOpen_) {
        points_.push_back(first);
        types_.push_back(static_cast<std::uint8_t>(PointType::Start));
        figureOpen_ = true;
    } else if (points_.back() != first) {
        points_.push_back(first);
        types_.push_back(static_cast<std::uint8_t>(PointType::Line));
    }
}

void Path::addLine(PointF a, PointF b) {
    bounds_.forget();
    ensureFigure(a);
    points_.push_back(b);
    types_.push_back(static_cast<std::uint8_t>(PointType::Line));
}

Status Path::addLines(std::span<const PointF> points) {
    bounds_.forget();
    if (points.empty())
        return Status::InvalidParameter;
    ensureFigure(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        points_.push_back(points[i]);
        types_.push_back(static_cast<std::uint8_t>(PointType::Line));
    }
    return Status::Ok;
}

void Path::addBezier(PointF p0, PointF p1, PointF p2, PointF p3) {
    bounds_.forget();
    ensureFigure(p0);
    for (PointF p : {p1, p2, p3}) {
        points_.push_back(p);
        types_.push_back(static_cast<std::uint8_t>(PointType::Bezier));
    }
}

Status Path::addCurve(std::span<const PointF> points, float tension) {
    bounds_.forget();
    if (points.size() < 2)
        return Status::InvalidParameter;
    ensureFigure(points.front());
    const std::size_t n = points.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        // At the ends the missing neighbour is the end point itself.
        const PointF before = points[i == 0 ? 0 : i - 1];
        const PointF after = points[i + 2 < n ? i + 2 : n - 1];
        const auto c = cardinalControls(before, points[i], points[i + 1], after, tension);
        for (PointF p : {c[0], c[1], points[i + 1]}) {
            points_.push_back(p);
            types_.push_back(static_cast<std::uint8_t>(PointType::Bezier));
        }
    }
    return Status::Ok;
}

void Path::appendClosedFigure(std::span<const PointF> points, std::span<const PointType> kinds) {
    bounds_.forget();
    if (points.empty())
        return;
    figureOpen_ = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        points_.push_back(points[i]);
        types_.push_back(static_cast<std::uint8_t>(i == 0 ? PointType::Start : kinds[i]));
    }
    types_.back() |= kCloseFlag;
    figureOpen_ = false;
}

Status Path::addClosedCurve(std::span<const PointF> points, float tension) {
    if (points.size() < 3)
        return Status::InvalidParameter;
    const std::size_t n = points.size();
    std::vector<PointF> pts{points.front()};
    std::vector<PointType> kinds{PointType::Start};
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = cardinalControls(points[(i + n - 1) % n], points[i], points[(i + 1) % n],
                                        points[(i + 2) % n], tension);
        for (PointF p : {c[0], c[1], points[(i + 1) % n]}) {
            pts.push_back(p);
            kinds.push_back(PointType::Bezier);
        }
    }
    appendClosedFigure(pts, kinds);
    return Status::Ok;
}

void Path::addRectangle(RectF rect) {
    const std::array<PointF, 4> pts{PointF{rect.x, rect.y}, PointF{rect.right(), rect.y},
                                    PointF{rect.right(), rect.bottom()}, PointF{rect.x, rect.bottom()}};
    const std::array<PointType, 4> kinds{PointType::Start, PointType::Line, PointType::Line, PointType::Line};
    appendClosedFigure(pts, kinds);
}

void Path::addEllipse(RectF rect) {
    const float rx = rect.width / 2;
    const float ry = rect.height / 2;
    const float cx = rect.x + rx;
    const float cy = rect.y + ry;
    const float kx = rx * kQuarterArc;
    const float ky = ry * kQuarterArc;
    // Starts at angle 0 (the right-most point) and runs clockwise on screen.
    const std::array<PointF, 13> pts{PointF{cx + rx, cy}, PointF{cx + rx, cy + ky}, PointF{cx + kx, cy + ry},
                                     PointF{cx, cy + ry}, PointF{cx - kx, cy + ry}, PointF{cx - rx, cy + ky},
                                     PointF{cx - rx, cy}, PointF{cx - rx, cy - ky}, PointF{cx - kx, cy - ry},
                                     PointF{cx, cy - ry}, PointF{cx + kx, cy - ry}, PointF{cx + rx, cy - ky},
                                     PointF{cx + rx, cy}};
    std::array<PointType, 13> kinds{};
    kinds.fill(PointType::Bezier);
    appendClosedFigure(pts, kinds);
}

void Path::addPie(RectF rect, float startAngle, float sweepAngle) {
    const float rx = rect.width / 2;
    const float ry = rect.height / 2;
    const PointF centre{rect.x + rx, rect.y + ry};
    const float sweep = std::clamp(sweepAngle, -360.0f, 360.0f);
    const double toRadians = std::numbers::pi / 180.0;
    const double a0 = static_cast<double>(startAngle) * toRadians;
    const double sweepRadians = static_cast<double>(sweep) * toRadians;
    const double t0 = ellipseParameter(a0, rx, ry);
    double span = ellipseParameter(a0 + sweepRadians, rx, ry) - t0;
    // The parameter turns as far as the angle does, give or take less than a half turn.
    span += 2 * std::numbers::pi * std::round((sweepRadians - span) / (2 * std::numbers::pi));

    auto at = [&](double t) {
        return PointF{centre.x + rx * static_cast<float>(std::cos(t)),
                      centre.y + ry * static_cast<float>(std::sin(t))};
    };
    std::vector<PointF> pts{centre, at(t0)};
    std::vector<PointType> kinds{PointType::Start, PointType::Line};
    const int pieces =
        std::max(1, static_cast<int>(std::ceil(std::abs(span) / (std::numbers::pi / 2) - 1e-9)));
    const double step = span / pieces;
    const auto k = static_cast<float>(4.0 / 3.0 * std::tan(step / 4));
    for (int i = 0; i < pieces; ++i) {
        const double ta = t0 + step * i;
        const double tb = ta + step;
        const PointF a = at(ta);
        const PointF b = at(tb);
        const PointF da{-rx * static_cast<float>(std::sin(ta)), ry * static_cast<float>(std::cos(ta))};
        const PointF db{-rx * static_cast<float>(std::sin(tb)), ry * static_cast<float>(std::cos(tb))};
        for (PointF p : {PointF{a.x + k * da.x, a.y + k * da.y}, PointF{b.x - k * db.x, b.y - k * db.y}, b}) {
            pts.push_back(p);
            kinds.push_back(PointType::Bezier);
        }
    }
    appendClosedFigure(pts, kinds);
}

void Path::addString(std::string_view utf8, float emSize, PointF origin) {
    GlyphOutlines::instance().appendText(*this, utf8, emSize, origin);
}

void Path::addPath(const Path& other) {
    bounds_.forget();
    points_.insert(points_.end(), other.points_.begin(), other.points_.end());
    types_.insert(types_.end(), other.types_.begin(), other.types_.end());
    figureOpen_ = false;
}

void Path::transform(const Matrix& m) {
    bounds_.forget();
    for (PointF& p : points_)
        p = m.apply(p);
}

int Path::figureCount() const {
    return static_cast<int>(std::count_if(types_.begin(), types_.end(), [](std::uint8_t t) {
        return (t & kPointTypeMask) == static_cast<std::uint8_t>(PointType::Start);
    }));
}

std::vector<Path> Path::figures() const {
    std::vector<Path> result;
    figures(result);
    return result;
}

void Path::figures(std::vector<Path>& into) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        if ((types_[i] & kPointTypeMask) == static_cast<std::uint8_t>(PointType::Start) || count == 0) {
            if (count == into.size())
                into.emplace_back(fillMode_);
            Path& figure = into[count++];
            figure.reset();
            figure.fillMode_ = fillMode_;
        }
        into[count - 1].points_.push_back(points_[i]);
        into[count - 1].types_.push_back(types_[i]);
    }
    into.resize(count);
}

template <typename Visitor> void Path::forEachSegment(Visitor&& visit) const {
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const auto kind = static_cast<PointType>(types_[i] & kPointTypeMask);
        if (kind == PointType::Start || i == 0) {
            visit(std::span<const PointF>(&points_[i], 1));
        } else if (kind == PointType::Bezier && i + 2 < points_.size()) {
            visit(std::span<const PointF>(&points_[i - 1], 4));
            i += 2;
        } else {
            visit(std::span<const PointF>(&points_[i - 1], 2));
        }
    }
}

RectF Path::bounds() const {
    // A path moved from is empty, whatever it knew.
    if (bounds_.state.load(std::memory_order_acquire) == BoundsCache::kKnown && !points_.empty())
        return bounds_.value;
    Extent box;
    forEachSegment([&](std::span<const PointF> seg) {
        box.add(seg.back());
        if (seg.size() == 4) {
            const std::array<PointF, 4> c{seg[0], seg[1], seg[2], seg[3]};
            std::array<float, 2> ts{};
            int count = 0;
            cubicExtremes(c[0].x, c[1].x, c[2].x, c[3].x, ts, count);
            for (int i = 0; i < count; ++i)
                box.add(cubicAt(c, ts[static_cast<std::size_t>(i)]));
            cubicExtremes(c[0].y, c[1].y, c[2].y, c[3].y, ts, count);
            for (int i = 0; i < count; ++i)
                box.add(cubicAt(c, ts[static_cast<std::size_t>(i)]));
        }
    });
    const RectF found = points_.empty() ? RectF{} : box.rect();
    int unknown = BoundsCache::kUnknown;
    if (bounds_.state.compare_exchange_strong(unknown, BoundsCache::kWriting, std::memory_order_acquire)) {
        bounds_.value = found;
        bounds_.state.store(BoundsCache::kKnown, std::memory_order_release);
    }
    return found;
}

RectF Path::bounds(const Pen& pen) const {
    if (points_.empty())
        return {};
    const RectF tight = bounds();
    // One world unit covers the anti-aliased fringe at any scale of 1 or more.
    const float grow = pen.reach() + 1.0f;
    return {tight.x - grow, tight.y - grow, tight.width + 2 * grow, tight.height + 2 * grow};
}

std::vector<Path::Polygon> Path::flatten(float tolerance) const {
    std::vector<Polygon> result;
    const std::size_t count = flatten(tolerance, result).size();
    result.resize(count);
    return result;
}

std::span<const Path::Polygon> Path::flatten(float tolerance, std::vector<Polygon>& scratch) const {
    const float tol = tolerance > 1e-4f ? tolerance : 1e-4f;
    std::size_t count = 0;
    // The next polygon, made or one kept in scratch, emptied.
    const auto next = [&]() -> Polygon& {
        if (count == scratch.size())
            scratch.emplace_back();
        Polygon& polygon = scratch[count++];
        polygon.points.clear();
        polygon.closed = false;
        return polygon;
    };
    Polygon* current = nullptr;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const auto kind = static_cast<PointType>(types_[i] & kPointTypeMask);
        if (kind == PointType::Start || current == nullptr) {
            current = &next();
            current->points.push_back(points_[i]);
        } else if (kind == PointType::Bezier && i + 2 < points_.size()) {
            const std::array<PointF, 4> c{points_[i - 1], points_[i], points_[i + 1], points_[i + 2]};
            // Uniform steps: the chord error is at most |B''| / (8 n^2), and |B''| is at most six
            // times the larger second difference of the control points.
            const float ddx =
                std::max(std::abs(c[0].x - 2 * c[1].x + c[2].x), std::abs(c[1].x - 2 * c[2].x + c[3].x));
            const float ddy =
                std::max(std::abs(c[0].y - 2 * c[1].y + c[2].y), std::abs(c[1].y - 2 * c[2].y + c[3].y));
            const float dd = std::hypot(ddx, ddy);
            const float wanted = std::sqrt(0.75f * dd / tol);
            const int steps =
                std::isfinite(wanted) ? std::clamp(static_cast<int>(std::ceil(wanted)), 1, 1000) : 1;
            for (int s = 1; s <= steps; ++s)
                current->points.push_back(s == steps ? c[3] : cubicAt(c, static_cast<float>(s) / steps));
            i += 2;
        } else {
            current->points.push_back(points_[i]);
        }
        if ((types_[std::min(i, types_.size() - 1)] & kCloseFlag) != 0)
            current->closed = true;
    }
    return {scratch.data(), count};
}

} // namespace gfx
