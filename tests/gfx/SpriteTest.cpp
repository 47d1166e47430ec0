#include "gfx/Sprite.h"
#include "gfx/Graphics.h"
#include "gfx/RowSpans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace gfx {
namespace {

int channelDifference(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(
            largest, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
    return largest;
}

// A half-transparent disc with an opaque outline.
void drawShape(Graphics& g, float x, float y) {
    Path disc;
    disc.addEllipse({x, y, 30, 20});
    g.fillPath(SolidBrush(0x80ff4020), disc);
    g.drawPath(Pen(0xff20c0ff, 2.0f), disc);
}

TEST(Sprite, PutDownWithinAnAreaItIsTheShapeDrawnThereAndNothingElseChanges) {
    Surface image(36, 26);
    {
        Graphics g(image);
        drawShape(g, 3, 3);
        g.flush();
    }
    const Sprite sprite(std::move(image));
    ASSERT_TRUE(sprite.valid());
    for (const auto& [x, y] : {std::pair{10, 7}, std::pair{-12, 30}, std::pair{50, -9}}) {
        Surface expected(64, 48);
        Surface target(64, 48);
        for (Surface* s : {&expected, &target}) {
            s->fill(0xff304050);
            s->fillRect({20, 0, 8, 48}, 0xffe0e0e0);
        }
        {
            Graphics g(expected);
            drawShape(g, static_cast<float>(x + 3), static_cast<float>(y + 3));
            g.flush();
        }
        RowSpans area;
        area.reset(64, 48);
        area.add({0, 0, 30, 48});
        area.add({25, 20, 39, 10}); // overlaps the first: no pixel is put down twice
        area.settle();
        sprite.drawOnto(target, x, y, area, 0, 48);
        for (int py = 0; py < 48; ++py) {
            for (int px = 0; px < 64; ++px) {
                const bool inside = px < 30 || (py >= 20 && py < 30);
                const std::uint32_t want =
                    inside ? expected.pixel(px, py) : (px >= 20 && px < 28 ? 0xffe0e0e0u : 0xff304050u);
                ASSERT_LE(channelDifference(target.pixel(px, py), want), 1)
                    << x << "," << y << " at " << px << "," << py;
            }
        }
    }
    // Its cover holds every pixel it paints (what a frame must repaint where it was).
    Surface same(36, 26);
    {
        Graphics g(same);
        drawShape(g, 3, 3);
        g.flush();
    }
    for (int py = 0; py < same.height(); ++py)
        for (int px = 0; px < same.width(); ++px) {
            if (same.pixel(px, py) == 0)
                continue;
            const bool covered =
                std::any_of(sprite.cover().begin(), sprite.cover().end(), [&](const RectI& r) {
                    return px >= r.x && px < r.right() && py >= r.y && py < r.bottom();
                });
            ASSERT_TRUE(covered) << px << "," << py;
        }
}

// Ground-like: a wide block of one colour with an outline, a see-through block of one colour,
// and a shaded disc.
void drawScenery(Graphics& g) {
    g.fillRectangle(SolidBrush(0xff8a5a10), RectF{4, 10, 60, 30});
    g.drawRectangle(Pen(0xff204020, 3.0f), RectF{4, 10, 60, 30});
    g.fillRectangle(SolidBrush(0x80304080), RectF{20, 2, 40, 12});
    Path disc;
    disc.addEllipse({40, 20, 20, 14});
    g.fillPath(SolidBrush(0xc0e0e040), disc);
}

// A frame that moves the picture repaints only what the move changes (background, then the
// picture within that area): the result is the picture put down whole at its new place.
TEST(Sprite, RepaintingWhatAMoveChangesGivesThePictureAtItsNewPlace) {
    Surface image(70, 44);
    {
        Graphics g(image);
        drawScenery(g);
        g.flush();
    }
    const Sprite sprite(std::move(image));
    constexpr Argb kBackground = 0xff000000;
    const RectI whole{0, 0, 96, 72};
    struct Move {
        int fromX, fromY, toX, toY;
    };
    for (const Move& m :
         {Move{10, 10, 10, 10}, Move{10, 10, 13, 10}, Move{10, 10, 10, 15}, Move{12, 11, 6, 18},
          Move{10, 10, 11, 9}, Move{-20, 40, -17, 44}, Move{5, 5, 60, 50}, Move{30, -8, 29, -3}}) {
        Surface frame(whole.width, whole.height);
        Surface expected(whole.width, whole.height);
        frame.fill(kBackground);
        expected.fill(kBackground);
        sprite.drawOnto(frame, m.fromX, m.fromY, whole);
        sprite.drawOnto(expected, m.toX, m.toY, whole);
        RowSpans area;
        area.reset(whole.width, whole.height);
        sprite.addMove(area, m.fromX, m.fromY, m.toX, m.toY, {0, 2, whole.width, whole.height - 4});
        area.settle();
        area.fill(frame, kBackground, 0, whole.height);
        sprite.drawOnto(frame, m.toX, m.toY, area, 0, whole.height);
        for (int py = 2; py < whole.height - 2; ++py)
            for (int px = 0; px < whole.width; ++px)
                ASSERT_EQ(frame.pixel(px, py), expected.pixel(px, py))
                    << "move " << m.fromX << "," << m.fromY << " to " << m.toX << "," << m.toY << " at " << px
                    << "," << py;
        // Nothing outside the clip; the block's middle lies on its own colour after a small move.
        EXPECT_TRUE(area.row(0).empty() && area.row(whole.height - 1).empty());
        if (m.fromX == m.toX && m.fromY == m.toY) {
            EXPECT_TRUE(area.empty());
        } else if (std::abs(m.toX - m.fromX) + std::abs(m.toY - m.fromY) <= 3) {
            EXPECT_FALSE(area.meets({m.toX + 30, m.toY + 34, 1, 1}));
        }
    }
}

TEST(Sprite, RowSpansMergeAndComeBackAsFewRectangles) {
    RowSpans spans;
    spans.reset(100, 50);
    spans.add({10, 10, 20, 10});
    spans.add({25, 10, 20, 10}); // joins the first
    spans.add({60, 15, 10, 5});
    spans.add({-5, 48, 200, 9}); // cut to the image
    spans.settle();
    EXPECT_EQ(spans.area(), 35 * 10 + 50 + 200);
    EXPECT_TRUE(spans.meets({44, 19, 5, 5}));
    EXPECT_FALSE(spans.meets({45, 10, 15, 10}));
    const std::vector<RectI> rects = spans.rects();
    long long sum = 0;
    for (const RectI& r : rects)
        sum += static_cast<long long>(r.width) * r.height;
    EXPECT_EQ(sum, spans.area());
    EXPECT_EQ(rects.size(), 4u); // rows 10-14, then 15-19 with the second run, then the bottom

    // Coarser: bands of 8 rows, runs under 20 pixels apart joined; every pixel is in one.
    const std::vector<RectI> coarse = spans.coarseRects(8, 20);
    for (int y = 0; y < spans.height(); ++y)
        for (const RowSpans::Span& s : spans.row(y))
            for (int x = s.first; x < s.second; ++x)
                ASSERT_TRUE(std::any_of(
                    coarse.begin(), coarse.end(),
                    [&](const RectI& r) { return x >= r.x && x < r.right() && y >= r.y && y < r.bottom(); }))
                    << x << "," << y;
    // Rows 8-15 (two runs 15 apart: one), 16-23, then the bottom (rows 48-49).
    EXPECT_EQ(coarse.size(), 3u);
}

} // namespace
} // namespace gfx
