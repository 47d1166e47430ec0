#pragma once

#include "gfx/RegionEdges.h"

#include <array>
#include <cstdint>

namespace gfx::regionEdges {

// The part of a long contour that matters within a box (a floor's outline beside the small
// figure it is tested against): the edges that may reach into the box, kept exactly, joined
// by detours round the outside of a wider frame instead of the rest of the outline. A detour
// winds round the box as often as the stretch it stands for, so every point in the box keeps
// its winding (and parity), and the clipper sees a handful of edges instead of the whole
// outline. Edges that can touch the box are the same edges, so the intersection with a shape
// inside the box comes out the same, point for point.
class ContourNearBox {
public:
    // Contours shorter than this go to the clipper whole: detouring saves them little.
    static constexpr std::size_t kWorthIt = 16;

    ContourNearBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : box_{left - kGap, top - kGap, right + kGap, bottom + kGap}, centre_{left / 2 + right / 2,
                                                                              top / 2 + bottom / 2} {}

    // Adds c's stand-in (the contour itself when it is short) to out.
    void add(const Region::Contour& c, cl::Paths& out) {
        const std::size_t n = c.size();
        if (n < kWorthIt) {
            out.push_back(toClipper(c));
            return;
        }
        std::size_t first = 0;
        while (first < n && !nearBox(c[first], c[(first + 1) % n]))
            ++first;
        if (first == n) {
            // Nowhere near: the whole outline only winds round the box.
            addLoops(windingOf(c, 0, n), out);
            return;
        }
        cl::Path path;
        path.reserve(32);
        std::size_t i = first;
        for (std::size_t done = 0; done < n;) {
            const std::size_t next = (i + 1) % n;
            push(path, c[i]);
            if (nearBox(c[i], c[next])) {
                i = next;
                ++done;
                continue;
            }
            // A stretch of edges from c[i] that keep clear of the box, up to the next edge
            // that may reach into it.
            std::size_t count = 0;
            std::size_t j = i;
            while (done + count < n && !nearBox(c[j], c[(j + 1) % n])) {
                j = (j + 1) % n;
                ++count;
            }
            detour(c[i], c[j], windingOf(c, i, count), path, out);
            i = j;
            done += count;
        }
        out.push_back(std::move(path));
    }

private:
    // The box is widened by kGap before deciding what is near, and each detour runs on a
    // frame of its own, kGap further out than the last, so no two detours share an edge.
    static constexpr std::int64_t kGap = 4;

    // Whether the edge a-b may reach into the widened box (its own box meets it).
    bool nearBox(Region::IntPoint a, Region::IntPoint b) const {
        return std::min(a.x, b.x) <= box_.right && std::max(a.x, b.x) >= box_.left &&
               std::min(a.y, b.y) <= box_.bottom && std::max(a.y, b.y) >= box_.top;
    }

    // Signed crossings of the edges from c[from] (count of them) with a ray from the box's
    // centre, counted as windingAt counts them: along a closed path, its winding round the box.
    std::int64_t windingOf(const Region::Contour& c, std::size_t from, std::size_t count) const {
        std::int64_t w = 0;
        for (std::size_t k = 0, i = from; k < count; ++k, i = (i + 1) % c.size())
            w += crossing(c[i], c[(i + 1) % c.size()]);
        return w;
    }
    int crossing(Region::IntPoint a, Region::IntPoint b) const {
        if (a.y <= centre_.y)
            return b.y > centre_.y && side(a, b, centre_) > 0 ? 1 : 0;
        return b.y <= centre_.y && side(a, b, centre_) < 0 ? -1 : 0;
    }

    FixedBox nextFrame() {
        frames_ += kGap;
        return {box_.left - frames_, box_.top - frames_, box_.right + frames_, box_.bottom + frames_};
    }

    // The corners of a frame in the order a detour goes round it.
    static std::array<Region::IntPoint, 4> corners(const FixedBox& f) {
        return {{{f.right, f.top}, {f.right, f.bottom}, {f.left, f.bottom}, {f.left, f.top}}};
    }

    // From p (outside the widened box) straight out to the frame, on the side p lies beyond;
    // returns the frame's side (the index of the corner that ends it, less one).
    int toFrame(Region::IntPoint p, const FixedBox& f, Region::IntPoint& onFrame) const {
        if (p.x > box_.right) {
            onFrame = {f.right, std::clamp(p.y, f.top, f.bottom)};
            return 0;
        }
        if (p.y > box_.bottom) {
            onFrame = {std::clamp(p.x, f.left, f.right), f.bottom};
            return 1;
        }
        if (p.x < box_.left) {
            onFrame = {f.left, std::clamp(p.y, f.top, f.bottom)};
            return 2;
        }
        onFrame = {std::clamp(p.x, f.left, f.right), f.top};
        return 3;
    }

    // Replaces the stretch from a to b that winds `winding` times round the box: out to a
    // frame, along it the way the corners go, in to b, plus whole loops for what is missing.
    void detour(Region::IntPoint a, Region::IntPoint b, std::int64_t winding, cl::Path& path,
                cl::Paths& out) {
        const FixedBox f = nextFrame();
        Region::IntPoint from{}, to{};
        const int fromSide = toFrame(a, f, from);
        const int toSide = toFrame(b, f, to);
        const std::array<Region::IntPoint, 4> corner = corners(f);
        // Along a side, the way the corners go: down the right, left along the bottom, up the
        // left, right along the top.
        const auto ahead = [&] {
            switch (fromSide) {
            case 0:
                return to.y >= from.y;
            case 1:
                return to.x <= from.x;
            case 2:
                return to.y <= from.y;
            default:
                return to.x >= from.x;
            }
        };
        const int steps = fromSide == toSide ? (ahead() ? 0 : 4) : (toSide - fromSide + 4) % 4;
        std::int64_t made = crossing(a, from);
        Region::IntPoint at = from;
        push(path, from);
        for (int k = 1; k <= steps; ++k) {
            const Region::IntPoint c = corner[static_cast<std::size_t>((fromSide + k) % 4)];
            made += crossing(at, c);
            push(path, c);
            at = c;
        }
        made += crossing(at, to) + crossing(to, b);
        push(path, to);
        addLoops(winding - made, out);
    }

    // Closed loops round the frame that wind `winding` times round the box in all.
    void addLoops(std::int64_t winding, cl::Paths& out) {
        for (; winding != 0; winding += winding > 0 ? -1 : 1) {
            const std::array<Region::IntPoint, 4> corner = corners(nextFrame());
            std::int64_t own = 0;
            for (std::size_t k = 0; k < 4; ++k)
                own += crossing(corner[k], corner[(k + 1) % 4]);
            cl::Path loop;
            for (const Region::IntPoint p : corner)
                loop.push_back({p.x, p.y});
            if ((own > 0) != (winding > 0))
                std::reverse(loop.begin(), loop.end());
            out.push_back(std::move(loop));
        }
    }

    static void push(cl::Path& path, Region::IntPoint p) {
        if (path.empty() || path.back().X != p.x || path.back().Y != p.y)
            path.push_back({p.x, p.y});
    }

    FixedBox box_;
    Region::IntPoint centre_;
    std::int64_t frames_ = 0;
};

} // namespace gfx::regionEdges
