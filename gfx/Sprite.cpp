#include "gfx/Sprite.h"

#include "gfx/Blend.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace gfx {

Sprite::Sprite(Surface image) {
    if (!image.hasPixels())
        return;
    image.markDirty(); // the canvas is done with it: its pixels are read now
    const int w = image.width();
    const int h = image.height();
    rowStarts_.reserve(static_cast<std::size_t>(h) + 1);
    const std::uint8_t* base = image.data();
    // Only the pixels of the runs are kept, one after another in the order they are put down:
    // a whole picture of the house at 4K would be read from all over memory.
    const auto mixed = [&](const std::uint32_t* row, int x, int length, bool opaque) {
        runs_.push_back({x, length, static_cast<std::uint32_t>(pixels_.size()), opaque, false, 0});
        pixels_.insert(pixels_.end(), row + x, row + x + length);
    };
    for (int y = 0; y < h; ++y) {
        rowStarts_.push_back(static_cast<std::uint32_t>(runs_.size()));
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * image.stride());
        int x = 0;
        while (x < w) {
            const std::uint32_t alpha = row[x] >> 24;
            if (alpha == 0 && row[x] == 0) {
                ++x;
                continue;
            }
            const bool opaque = alpha == 255;
            int end = x + 1;
            while (end < w && row[end] != 0 && ((row[end] >> 24) == 255) == opaque)
                ++end;
            // Long stretches of one colour (the ground, the middle of a thick line) are runs
            // of their own, kept as that colour: where one lies on the same colour before and
            // after a move, nothing changes.
            int mixedStart = x;
            int k = x;
            while (k < end) {
                int same = k + 1;
                while (same < end && row[same] == row[k])
                    ++same;
                if (same - k >= kFlatRun) {
                    if (k > mixedStart)
                        mixed(row, mixedStart, k - mixedStart, opaque);
                    runs_.push_back({k, same - k, 0, opaque, true, row[k]});
                    mixedStart = same;
                }
                k = same;
            }
            if (end > mixedStart)
                mixed(row, mixedStart, end - mixedStart, opaque);
            x = end;
        }
    }
    rowStarts_.push_back(static_cast<std::uint32_t>(runs_.size()));
    width_ = w;
    height_ = h;

    std::vector<std::pair<int, int>> spans; // [start, end) in a band
    for (int bandTop = 0; bandTop < h; bandTop += kCoverRows) {
        const int bandBottom = std::min(bandTop + kCoverRows, h);
        spans.clear();
        for (std::uint32_t i = rowStarts_[static_cast<std::size_t>(bandTop)];
             i < rowStarts_[static_cast<std::size_t>(bandBottom)]; ++i)
            spans.emplace_back(runs_[i].x, runs_[i].x + runs_[i].length);
        std::sort(spans.begin(), spans.end());
        std::size_t k = 0;
        while (k < spans.size()) {
            const int start = spans[k].first;
            int end = spans[k].second;
            for (++k; k < spans.size() && spans[k].first <= end + kCoverGap; ++k)
                end = std::max(end, spans[k].second);
            cover_.push_back({start, bandTop, end - start, bandBottom - bandTop});
        }
    }
}

// Puts the run's pixels from start to end (target columns) down on a target row, the picture's
// left edge at column x: opaque runs are copied (or filled with their one colour), edge pixels
// laid over what is there.
void Sprite::putRun(const Run& run, std::uint32_t* dest, int x, int start, int end) const {
    if (end <= start)
        return;
    std::uint32_t* d = dest + start;
    if (run.flat && run.opaque) {
        std::fill(d, d + (end - start), run.colour);
        return;
    }
    const std::uint32_t* s = run.flat ? nullptr : pixels_.data() + run.offset + (start - x - run.x);
    if (run.opaque) {
        std::memcpy(d, s, static_cast<std::size_t>(end - start) * 4);
    } else if (run.flat) {
        for (int k = 0; k < end - start; ++k)
            d[k] = overPixel(run.colour, d[k]);
    } else {
        overRow(s, d, end - start);
    }
}

void Sprite::drawOnto(Surface& target, int x, int y, RectI clip) const {
    if (!valid() || !target.hasPixels())
        return;
    const int left = std::max({clip.x, x, 0});
    const int top = std::max({clip.y, y, 0});
    const int right = std::min({clip.right(), x + width(), target.width()});
    const int bottom = std::min({clip.bottom(), y + height(), target.height()});
    if (right <= left || bottom <= top)
        return;
    std::uint8_t* to = target.data();
    for (int row = top; row < bottom; ++row) {
        const int sy = row - y;
        auto* dest =
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(row) * target.stride());
        for (std::uint32_t i = rowStarts_[static_cast<std::size_t>(sy)];
             i < rowStarts_[static_cast<std::size_t>(sy) + 1]; ++i) {
            const Run& run = runs_[i];
            putRun(run, dest, x, std::max(run.x + x, left), std::min(run.x + run.length + x, right));
        }
    }
}

void Sprite::drawOnto(Surface& target, int x, int y, const RowSpans& area, int rowsTop,
                      int rowsBottom) const {
    if (!valid() || !target.hasPixels())
        return;
    const int top = std::max({rowsTop, y, 0});
    const int bottom = std::min({rowsBottom, y + height(), target.height(), area.height()});
    std::uint8_t* to = target.data();
    for (int row = top; row < bottom; ++row) {
        auto* dest =
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(row) * target.stride());
        drawRow(dest, target.width(), row, x, y, area.row(row));
    }
}

void Sprite::drawRow(std::uint32_t* dest, int targetWidth, int row, int x, int y,
                     const std::vector<RowSpans::Span>& spans) const {
    const int sy = row - y;
    if (spans.empty() || sy < 0 || sy >= height())
        return;
    std::size_t k = 0;
    for (std::uint32_t i = rowStarts_[static_cast<std::size_t>(sy)];
         i < rowStarts_[static_cast<std::size_t>(sy) + 1]; ++i) {
        const Run& run = runs_[i];
        const int runStart = std::max(run.x + x, 0);
        const int runEnd = std::min(run.x + run.length + x, targetWidth);
        // Spans and runs both go left to right: a span wholly left of this run is left of
        // every later one too.
        while (k < spans.size() && spans[k].second <= runStart)
            ++k;
        for (std::size_t j = k; j < spans.size() && spans[j].first < runEnd; ++j)
            putRun(run, dest, x, std::max(runStart, spans[j].first), std::min(runEnd, spans[j].second));
    }
}

namespace {

// The pieces of a row that change, left to right, joined where they come within joinGap of
// each other, added to area as they close (cut to clip's columns).
struct RowPieces {
    RowSpans& area;
    RectI clip;
    int joinGap;
    int row = 0;
    int pieceStart = 0;
    int pieceEnd = -1; // no piece open

    void flush() {
        const int start = std::max(pieceStart, clip.x);
        const int end = std::min(pieceEnd, clip.right());
        if (end > start)
            area.addSpan(row, start, end);
        pieceEnd = -1;
    }

    void put(int start, int end) {
        if (end <= start)
            return;
        if (pieceEnd >= 0 && end + joinGap < pieceStart) {
            // Left of the piece (a run's first part lay on its own colour): on its own.
            area.addSpan(row, std::max(start, clip.x), std::min(end, clip.right()));
            return;
        }
        if (pieceEnd >= 0 && start <= pieceEnd + joinGap) {
            pieceStart = std::min(pieceStart, start);
            pieceEnd = std::max(pieceEnd, end);
            return;
        }
        if (pieceEnd >= 0)
            flush();
        pieceStart = start;
        pieceEnd = end;
    }
};

} // namespace

void Sprite::addMove(RowSpans& area, int fromX, int fromY, int toX, int toY, RectI clip) const {
    if (!valid() || (fromX == toX && fromY == toY))
        return;
    const int h = height();
    const int top = std::max({std::min(fromY, toY), clip.y, 0});
    const int bottom = std::min({std::max(fromY, toY) + h, clip.bottom(), area.height()});
    struct Side {
        const Run* begin = nullptr;
        const Run* end = nullptr;
        int x = 0;
    };
    const auto sideOf = [&](int row, int x) {
        if (row < 0 || row >= h)
            return Side{};
        return Side{runs_.data() + rowStarts_[static_cast<std::size_t>(row)],
                    runs_.data() + rowStarts_[static_cast<std::size_t>(row) + 1], x};
    };
    RowPieces pieces{area, clip, kJoinGap};
    // A run of one side minus where a run of the same colour lies on the other side.
    const auto putRunOf = [&](const Run& r, int myX, const Run*& o, const Side& other) {
        int at = r.x + myX;
        const int end = at + r.length;
        if (r.flat) {
            while (o != other.end && o->x + other.x + o->length <= at)
                ++o;
            for (const Run* q = o; q != other.end && q->x + other.x < end; ++q) {
                if (!q->flat || q->colour != r.colour)
                    continue;
                pieces.put(at, q->x + other.x);
                at = std::max(at, q->x + other.x + q->length);
            }
        }
        pieces.put(at, end);
    };
    for (int y = top; y < bottom; ++y) {
        const Side before = sideOf(y - fromY, fromX);
        const Side after = sideOf(y - toY, toX);
        pieces.row = y;
        // Both sides' runs in order of their left ends, so the pieces come out sorted.
        const Run* a = before.begin;
        const Run* b = after.begin;
        const Run* oa = after.begin;  // where a's search of the other side starts
        const Run* ob = before.begin; // and b's
        while (a != before.end || b != after.end) {
            if (b == after.end || (a != before.end && a->x + before.x <= b->x + after.x)) {
                putRunOf(*a, before.x, oa, after);
                ++a;
            } else {
                putRunOf(*b, after.x, ob, before);
                ++b;
            }
        }
        if (pieces.pieceEnd >= 0)
            pieces.flush();
    }
}

} // namespace gfx
