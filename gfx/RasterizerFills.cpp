#include "gfx/Rasterizer.h"

#include "gfx/RasterizerPixels.h"

#include <algorithm>
#include <cmath>

// Fills: each edge leaves the signed area it covers in every pixel of its rows, and running
// sums along a row turn that into each pixel's exact share under the fill rule.

namespace gfx {

using namespace rasterPixels;

void Rasterizer::accumulateEdge(const Edge& e, const RectI& area) {
    // Each row gets the signed area between the edge and the right side of every pixel,
    // stored as increments along the row: a running sum then gives each pixel's coverage.
    // Every increment is worked out from the edge alone and kept in whole units, so the
    // sums come out the same however much of the row a clip leaves to paint.
    const float dir = e.a.y < e.b.y ? 1.0f : -1.0f;
    const PointF p0 = dir > 0 ? e.a : e.b;
    const PointF p1 = dir > 0 ? e.b : e.a;
    const float dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    const int width = area.width + 2;
    const int rowFirst = std::max(area.y, floorPixel(p0.y));
    const int rowEnd = std::min(area.bottom(), ceilPixel(p1.y));
    // Columns past the area's right side change no pixel; one of them still ends the row.
    const float lastColumn = static_cast<float>(area.right());
    for (int row = rowFirst; row < rowEnd; ++row) {
        const float ya = std::max(p0.y, static_cast<float>(row));
        const float yb = std::min(p1.y, static_cast<float>(row + 1));
        if (yb <= ya)
            continue;
        const float xa = p0.x + (ya - p0.y) * dxdy;
        const float xb = p0.x + (yb - p0.y) * dxdy;
        const float dy = (yb - ya) * dir;
        std::int32_t* cells = areas_.data() + static_cast<std::ptrdiff_t>(row - area.y) * width;
        Span& span = spans_[static_cast<std::size_t>(row - area.y)];
        const auto add = [&](float column, float value) {
            // Left of the area it raises the whole row.
            const int c = std::clamp(toPixel(column) - area.x, 0, width - 1);
            cells[c] += roundAway(value * kAreaUnit);
            span.first = std::min(span.first, c);
            span.end = std::max(span.end, c + 1);
        };
        const float xs = std::min(xa, xb);
        const float xe = std::max(xa, xb);
        const float firstColumn = floorExact(xs);
        if (xe - firstColumn <= 1.0f) {
            const float inside = firstColumn + 1 - 0.5f * (xa + xb); // part of the pixel right of the edge
            add(firstColumn, dy * inside);
            add(firstColumn + 1, dy * (1 - inside));
            continue;
        }
        // Across several pixels: each pixel's share of the edge, in turn.
        const float perX = dy / (xe - xs);
        for (float c = firstColumn; c < xe; c += 1.0f) {
            if (c > lastColumn) {
                add(c, 0);
                break;
            }
            const float c0 = std::max(xs, c);
            const float c1 = std::min(xe, c + 1);
            const float part = perX * (c1 - c0);
            const float inside = c + 1 - 0.5f * (c0 + c1);
            add(c, part * inside);
            add(c + 1, part * (1 - inside));
        }
    }
}

void Rasterizer::coverFills(const RectI& area, FillRule rule) {
    const int width = area.width + 2;
    areas_.assign(cells_.size(), 0);
    for (const Edge& e : edges_)
        accumulateEdge(e, area);
    // Running sums along each row turn the increments into winding areas, which the rule
    // turns into coverage. A closed outline adds up to nothing again after its last edge.
    for (int row = 0; row < area.height; ++row) {
        Span& span = spans_[static_cast<std::size_t>(row)];
        span.end = std::min(span.end, area.width);
        const std::int32_t* areas = areas_.data() + static_cast<std::ptrdiff_t>(row) * width;
        std::uint8_t* cells = cells_.data() + static_cast<std::ptrdiff_t>(row) * width;
        std::int32_t sum = 0;
        for (int x = span.first; x < span.end; ++x) {
            sum += areas[x];
            float v = static_cast<float>(std::abs(sum)) * (1.0f / kAreaUnit);
            if (rule == FillRule::NonZero) {
                v = std::min(v, 1.0f);
            } else {
                v -= 2 * floorExact(v * 0.5f);
                if (v > 1)
                    v = 2 - v;
            }
            cells[x] = toByte(v);
        }
    }
}

} // namespace gfx
