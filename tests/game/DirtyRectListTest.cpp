#include "game/DirtyRectList.h"

#include "core/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace game {

namespace {

using gfx::RectF;
using gfx::RectI;

DirtyRectList listOf(std::initializer_list<RectI> rects) {
    DirtyRectList list;
    for (const RectI& r : rects)
        list.insert(r);
    return list;
}

TEST(DirtyRectListMerge, InsertingMergesSplitsOrKeepsRectangles) {
    const struct {
        const char* what;
        std::vector<RectI> inserted, expected;
    } cases[] = {
        {"inside another: dropped", {{10, 10, 100, 100}, {20, 20, 30, 30}}, {{10, 10, 100, 100}}},
        {"overlap without waste: one box", {{10, 0, 20, 20}, {0, 0, 20, 20}}, {{0, 0, 30, 20}}},
        {"wasteful overlap: top, bottom and middle bands",
         {{0, 5, 10, 100}, {0, 0, 100, 10}},
         {{0, 0, 100, 5}, {0, 10, 10, 95}, {0, 5, 100, 5}}},
        {"3 wide or 3 high overlaps: kept",
         {{0, 0, 50, 50}, {47, 0, 50, 50}, {0, 47, 20, 20}},
         {{0, 0, 50, 50}, {47, 0, 50, 50}, {0, 47, 20, 20}}},
        {"a 2-high top band joins the middle",
         {{0, 0, 10, 100}, {0, 2, 100, 10}},
         {{0, 12, 10, 88}, {0, 0, 100, 12}}},
    };
    for (const auto& c : cases) {
        DirtyRectList list;
        for (const RectI& r : c.inserted)
            list.insert(r);
        EXPECT_EQ(list.rects(), c.expected) << c.what;
    }
}

TEST(DirtyRectListConvert, RoundsStartTruncatesLengthAndStaysInTheWorld) {
    EXPECT_EQ(DirtyRectList::convert({-12.3f, 0, 50, 10}), (RectI{0, 0, 50, 10}));
    EXPECT_EQ(DirtyRectList::convert({790, 0, 50, 10}), (RectI{790, 0, 10, 10}));
    EXPECT_EQ(DirtyRectList::convert({10.6f, 20.4f, 5.9f, 0.5f}), (RectI{11, 20, 5, 0}));
    EXPECT_EQ(DirtyRectList::convert({900, 700, 10, 10}), (RectI{800, 584, 0, 0}));
}

TEST(DirtyRectListConvert, CoveringAddKeepsEveryDrawnUnitInside) {
    DirtyRectList list;
    list.addCovering({10.6f, 20.4f, 5.9f, 0.7f});
    list.addCovering({-12.3f, 300, 50, 10.2f});
    list.addCovering({790.5f, 500, 50, 10});
    EXPECT_EQ(list.rects(), (std::vector<RectI>{{10, 20, 7, 2}, {0, 300, 51, 11}, {790, 500, 10, 10}}));
}

TEST(DirtyRectListDevice, ScaledRectanglesGainAOnePixelMargin) {
    const DirtyRectList list = listOf({{10, 10, 20, 20}});
    EXPECT_EQ(list.toDevice(1.25, 1), (std::vector<RectI>{{12, 12, 27, 27}}));
    EXPECT_EQ(list.toDevice(1.0, 0), (std::vector<RectI>{{10, 10, 20, 20}}));
}

TEST(DirtyRectListIntersects, MarginWidensTheTest) {
    const DirtyRectList list = listOf({{100, 100, 10, 10}});
    EXPECT_TRUE(list.intersects({105, 105, 2, 2}, 0));
    EXPECT_FALSE(list.intersects({111, 100, 5, 5}, 0));
    EXPECT_TRUE(list.intersects({111, 100, 5, 5}, 2));
    EXPECT_FALSE(list.intersects({114, 100, 5, 5}, 2));
}

// Whatever is inserted, every unit of every inserted rectangle stays covered, nothing
// leaves the world, and no two rectangles overlap by 4 x 4 or more.
TEST(DirtyRectListInvariants, RandomInsertionsKeepCoverageAndSmallOverlaps) {
    core::Random random(7);
    for (int round = 0; round < 40; ++round) {
        DirtyRectList list;
        std::vector<RectI> inserted;
        for (int i = 0; i < 25; ++i) {
            const RectF r{static_cast<float>(random.next() % 760), static_cast<float>(random.next() % 540),
                          static_cast<float>(1 + random.next() % 120),
                          static_cast<float>(1 + random.next() % 120)};
            list.add(r);
            inserted.push_back(DirtyRectList::convert(r));
        }
        std::vector<unsigned char> covered(800 * 584, 0);
        for (const RectI& r : list.rects()) {
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.right(), 800);
            ASSERT_LE(r.bottom(), 584);
            for (int y = r.y; y < r.bottom(); ++y)
                for (int x = r.x; x < r.right(); ++x)
                    covered[static_cast<std::size_t>(y * 800 + x)] = 1;
        }
        for (const RectI& r : inserted)
            for (int y = r.y; y < r.bottom(); ++y)
                for (int x = r.x; x < r.right(); ++x)
                    ASSERT_TRUE(covered[static_cast<std::size_t>(y * 800 + x)]) << "round " << round;
        const auto& rects = list.rects();
        for (std::size_t a = 0; a < rects.size(); ++a) {
            for (std::size_t b = a + 1; b < rects.size(); ++b) {
                const int w = std::min(rects[a].right(), rects[b].right()) - std::max(rects[a].x, rects[b].x);
                const int h =
                    std::min(rects[a].bottom(), rects[b].bottom()) - std::max(rects[a].y, rects[b].y);
                EXPECT_FALSE(w >= 4 && h >= 4) << "round " << round;
            }
        }
    }
}

} // namespace

} // namespace game
