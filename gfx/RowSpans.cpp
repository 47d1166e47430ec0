#include "gfx/RowSpans.h"

#include <algorithm>

namespace gfx {

void RowSpans::reset(int width, int height) {
    width_ = std::max(width, 0);
    rows_.resize(static_cast<std::size_t>(std::max(height, 0)));
    for (std::vector<Span>& row : rows_)
        row.clear(); // keeps the room for the next frame
}

void RowSpans::add(RectI r) {
    const int left = std::max(r.x, 0);
    const int right = std::min(r.right(), width_);
    const int top = std::max(r.y, 0);
    const int bottom = std::min(r.bottom(), height());
    if (right <= left)
        return;
    for (int y = top; y < bottom; ++y)
        rows_[static_cast<std::size_t>(y)].emplace_back(left, right);
}

void RowSpans::settle() {
    for (std::vector<Span>& row : rows_) {
        if (row.size() < 2)
            continue;
        std::sort(row.begin(), row.end());
        std::size_t kept = 0;
        for (std::size_t i = 1; i < row.size(); ++i) {
            if (row[i].first <= row[kept].second)
                row[kept].second = std::max(row[kept].second, row[i].second);
            else
                row[++kept] = row[i];
        }
        row.resize(kept + 1);
    }
}

bool RowSpans::empty() const {
    return std::all_of(rows_.begin(), rows_.end(), [](const std::vector<Span>& row) { return row.empty(); });
}

bool RowSpans::meets(RectI r) const {
    const int top = std::max(r.y, 0);
    const int bottom = std::min(r.bottom(), height());
    for (int y = top; y < bottom; ++y) {
        for (const Span& s : rows_[static_cast<std::size_t>(y)]) {
            if (s.first >= r.right())
                break;
            if (s.second > r.x)
                return true;
        }
    }
    return false;
}

long long RowSpans::area() const {
    long long sum = 0;
    for (const std::vector<Span>& row : rows_)
        for (const Span& s : row)
            sum += s.second - s.first;
    return sum;
}

void RowSpans::fill(Surface& target, Argb opaque, int rowsTop, int rowsBottom) const {
    if (!target.hasPixels())
        return;
    const int top = std::max(rowsTop, 0);
    const int bottom = std::min({rowsBottom, height(), target.height()});
    std::uint8_t* pixels = target.data();
    for (int y = top; y < bottom; ++y)
        fillRow(reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * target.stride()),
                target.width(), y, opaque);
}

void RowSpans::fillRow(std::uint32_t* pixels, int width, int y, Argb opaque) const {
    if (y < 0 || y >= height())
        return;
    const std::uint32_t value = opaque | 0xff000000u;
    for (const Span& s : rows_[static_cast<std::size_t>(y)])
        std::fill(pixels + std::max(s.first, 0), pixels + std::min(s.second, width), value);
}

std::vector<RectI> RowSpans::rects() const {
    std::vector<RectI> out;
    int y = 0;
    const int h = height();
    while (y < h) {
        const std::vector<Span>& row = rows_[static_cast<std::size_t>(y)];
        int next = y + 1;
        while (next < h && rows_[static_cast<std::size_t>(next)] == row)
            ++next;
        for (const Span& s : row)
            out.push_back({s.first, y, s.second - s.first, next - y});
        y = next;
    }
    return out;
}

std::vector<RectI> RowSpans::coarseRects(int bandRows, int gap) const {
    std::vector<RectI> out;
    std::vector<Span> spans;
    bandRows = std::max(bandRows, 1);
    const int h = height();
    for (int bandTop = 0; bandTop < h; bandTop += bandRows) {
        const int bandBottom = std::min(bandTop + bandRows, h);
        spans.clear();
        int top = bandBottom;
        int bottom = bandTop;
        for (int y = bandTop; y < bandBottom; ++y) {
            const std::vector<Span>& row = rows_[static_cast<std::size_t>(y)];
            if (row.empty())
                continue;
            top = std::min(top, y);
            bottom = y + 1;
            spans.insert(spans.end(), row.begin(), row.end());
        }
        std::sort(spans.begin(), spans.end());
        std::size_t k = 0;
        while (k < spans.size()) {
            const int start = spans[k].first;
            int end = spans[k].second;
            for (++k; k < spans.size() && spans[k].first < end + gap; ++k)
                end = std::max(end, spans[k].second);
            out.push_back({start, top, end - start, bottom - top});
        }
    }
    return out;
}

} // namespace gfx
