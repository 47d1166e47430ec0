#include "game/DirtyRectList.h"

#include "gfx/Brush.h"
#include "gfx/Graphics.h"

#include <algorithm>
#include <cmath>

namespace game {

namespace {

long long area(const gfx::RectI& r) {
    return static_cast<long long>(r.width) * r.height;
}

bool contains(const gfx::RectI& outer, const gfx::RectI& inner) {
    return outer.x <= inner.x && inner.right() <= outer.right() && outer.y <= inner.y &&
           inner.bottom() <= outer.bottom();
}

// One axis of the conversion: the start rounds, the length truncates, both stay in the world.
void convertAxis(float start, float length, int limit, int& outStart, int& outLength) {
    int s = static_cast<int>(start + 0.5f);
    s = s < 1 ? 0 : std::min(s, limit);
    int n = static_cast<int>(length);
    n = n < 1 ? 0 : std::min(n, limit - s);
    outStart = s;
    outLength = n;
}

} // namespace

gfx::RectI DirtyRectList::convert(const gfx::RectF& r) {
    gfx::RectI out;
    convertAxis(r.x, r.width, kWorldWidth, out.x, out.width);
    convertAxis(r.y, r.height, kWorldHeight, out.y, out.height);
    return out;
}

void DirtyRectList::add(const gfx::RectF& r) {
    insert(convert(r));
}

void DirtyRectList::addCovering(const gfx::RectF& r) {
    if (r.isEmpty()) {
        add(r);
        return;
    }
    // Whole units snap to themselves in the conversion, so the result covers r exactly.
    const float left = std::floor(r.x);
    const float top = std::floor(r.y);
    add({left, top, std::ceil(r.right()) - left, std::ceil(r.bottom()) - top});
}

void DirtyRectList::addAll(const DirtyRectList& other) {
    for (const gfx::RectI& r : other.rects_)
        insert(r);
}

void DirtyRectList::insert(gfx::RectI r) {
    const std::size_t count = rects_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const gfx::RectI p = rects_[i];
        if (contains(p, r))
            return;
        const gfx::RectI overlap = gfx::intersection(p, r);
        if (overlap.width < kMinOverlap || overlap.height < kMinOverlap)
            continue;
        // Area the bounding box covers that neither rectangle did.
        const gfx::RectI box = gfx::unite(p, r);
        const long long waste = area(box) - area(r) - area(p) + area(overlap);
        if (waste < kMaxWaste) {
            rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(i));
            insert(box);
        } else {
            splitIntoBands(i, r, overlap);
        }
        return;
    }
    rects_.push_back(r);
}

void DirtyRectList::splitIntoBands(std::size_t pIndex, const gfx::RectI& r, const gfx::RectI& overlap) {
    const gfx::RectI p = rects_[pIndex];
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(pIndex));

    const gfx::RectI& top = p.y <= r.y ? p : r;
    const gfx::RectI& other = p.y <= r.y ? r : p;
    const gfx::RectI& lower = top.bottom() > other.bottom() ? top : other;

    const int middleLeft = std::min(top.x, other.x);
    gfx::RectI middle{middleLeft, overlap.y, std::max(top.right(), other.right()) - middleLeft,
                      overlap.height};

    const int topHeight = overlap.y - top.y;
    if (topHeight < kMinOverlap) {
        middle.y -= topHeight;
        middle.height += topHeight;
    } else {
        insert({top.x, top.y, top.width, topHeight});
    }
    const int bottomHeight = lower.bottom() - overlap.bottom();
    if (bottomHeight < kMinOverlap)
        middle.height += bottomHeight;
    else
        insert({lower.x, overlap.bottom(), lower.width, bottomHeight});
    insert(middle);
}

void DirtyRectList::clipTo(gfx::Graphics& g) const {
    if (!rects_.empty())
        g.setClip(rects_);
}

void DirtyRectList::fillDevicePixels(gfx::Graphics& g, const gfx::RectI& r, const gfx::SolidBrush& brush) {
    const gfx::Matrix world = g.transform();
    g.resetTransform();
    const gfx::PointF corners[] = {
        world.apply({static_cast<float>(r.x), static_cast<float>(r.y)}),
        world.apply({static_cast<float>(r.right()), static_cast<float>(r.bottom())})};
    const gfx::Extent box = gfx::extentOf(corners);
    const float left = std::floor(box.left);
    const float top = std::floor(box.top);
    const float right = std::ceil(box.right);
    const float bottom = std::ceil(box.bottom);
    g.fillRectangle(brush, {left, top, right - left, bottom - top});
    g.setTransform(world);
}

bool DirtyRectList::intersects(const gfx::RectF& rf, int margin) const {
    const gfx::RectI r = convert(rf);
    return std::any_of(rects_.begin(), rects_.end(), [&](const gfx::RectI& p) {
        return p.x < r.right() + margin && p.y < r.bottom() + margin && r.x - margin < p.right() &&
               r.y - margin < p.bottom();
    });
}

std::vector<gfx::RectI> DirtyRectList::toDevice(double scale, int margin) const {
    std::vector<gfx::RectI> out;
    out.reserve(rects_.size());
    const auto scaled = [scale](int v) { return static_cast<int>(scale * v + 0.5); };
    for (const gfx::RectI& r : rects_)
        out.push_back({scaled(r.x) - margin, scaled(r.y) - margin, scaled(r.width) + 2 * margin,
                       scaled(r.height) + 2 * margin});
    return out;
}

} // namespace game
