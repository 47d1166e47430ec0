#include "gfx/Sprite.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace gfx {

namespace {

// source over below, premultiplied; each channel of below is scaled by 255 - source alpha,
// rounded, two channels at a time.
inline std::uint32_t over(std::uint32_t source, std::uint32_t below) {
    const std::uint32_t rest = 255 - (source >> 24);
    const std::uint32_t ag = ((below >> 8) & 0x00ff00ff) * rest + 0x00800080;
    const std::uint32_t rb = (below & 0x00ff00ff) * rest + 0x00800080;
    const std::uint32_t agScaled = ((ag + ((ag >> 8) & 0x00ff00ff)) >> 8) & 0x00ff00ff;
    const std::uint32_t rbScaled = ((rb + ((rb >> 8) & 0x00ff00ff)) >> 8) & 0x00ff00ff;
    // Premultiplied: a channel never exceeds alpha, so the sums stay within 8 bits.
    return source + ((agScaled << 8) | rbScaled);
}

} // namespace

Sprite::Sprite(Surface image) : image_(std::move(image)) {
    if (!image_.hasPixels()) {
        image_ = Surface();
        return;
    }
    image_.markDirty(); // nothing more is drawn on it; its pixels are read from now on
    const int w = image_.width();
    const int h = image_.height();
    rowStarts_.reserve(static_cast<std::size_t>(h) + 1);
    const std::uint8_t* base = image_.data();
    for (int y = 0; y < h; ++y) {
        rowStarts_.push_back(static_cast<std::uint32_t>(runs_.size()));
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * image_.stride());
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
            runs_.push_back({x, end - x, opaque});
            x = end;
        }
    }
    rowStarts_.push_back(static_cast<std::uint32_t>(runs_.size()));

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

// Puts the run's pixels from start to end (target columns) down on a target row whose picture
// row is source: opaque runs are copied, edge pixels laid over what is there.
void Sprite::putRun(const Run& run, const std::uint32_t* source, std::uint32_t* dest, int x, int start,
                    int end) {
    if (end <= start)
        return;
    const std::uint32_t* s = source + (start - x);
    std::uint32_t* d = dest + start;
    if (run.opaque) {
        std::memcpy(d, s, static_cast<std::size_t>(end - start) * 4);
    } else {
        for (int k = 0; k < end - start; ++k)
            d[k] = over(s[k], d[k]);
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
    const std::uint8_t* from = image_.data();
    std::uint8_t* to = target.data();
    for (int row = top; row < bottom; ++row) {
        const int sy = row - y;
        const auto* source =
            reinterpret_cast<const std::uint32_t*>(from + static_cast<std::ptrdiff_t>(sy) * image_.stride());
        auto* dest =
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(row) * target.stride());
        for (std::uint32_t i = rowStarts_[static_cast<std::size_t>(sy)];
             i < rowStarts_[static_cast<std::size_t>(sy) + 1]; ++i) {
            const Run& run = runs_[i];
            putRun(run, source, dest, x, std::max(run.x + x, left), std::min(run.x + run.length + x, right));
        }
    }
}

void Sprite::drawOnto(Surface& target, int x, int y, const RowSpans& area, int rowsTop,
                      int rowsBottom) const {
    if (!valid() || !target.hasPixels())
        return;
    const int top = std::max({rowsTop, y, 0});
    const int bottom = std::min({rowsBottom, y + height(), target.height(), area.height()});
    const std::uint8_t* from = image_.data();
    std::uint8_t* to = target.data();
    const int targetWidth = target.width();
    for (int row = top; row < bottom; ++row) {
        const std::vector<RowSpans::Span>& spans = area.row(row);
        if (spans.empty())
            continue;
        const int sy = row - y;
        const auto* source =
            reinterpret_cast<const std::uint32_t*>(from + static_cast<std::ptrdiff_t>(sy) * image_.stride());
        auto* dest =
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(row) * target.stride());
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
            for (std::size_t j = k; j < spans.size() && spans[j].first < runEnd; ++j) {
                putRun(run, source, dest, x, std::max(runStart, spans[j].first),
                       std::min(runEnd, spans[j].second));
            }
        }
    }
}

} // namespace gfx
