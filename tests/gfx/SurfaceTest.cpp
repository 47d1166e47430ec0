#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <utility>

using namespace gfx;

TEST(SurfaceTest, FillAndReadPixels) {
    Surface s(4, 3);
    ASSERT_TRUE(s.valid());
    EXPECT_GE(s.stride(), 16);
    s.fill(0xff112233);
    EXPECT_EQ(s.pixel(3, 2), 0xff112233u);
    EXPECT_EQ(s.pixel(4, 0), 0u); // outside reads as transparent
    EXPECT_EQ(s.pixel(-1, 0), 0u);
    s.fill(0x80ffffff); // stored premultiplied
    EXPECT_EQ(s.pixel(0, 0) >> 24, 0x80u);
    EXPECT_NEAR(static_cast<int>((s.pixel(0, 0) >> 16) & 0xff), 0x80, 1);
}

TEST(SurfaceTest, CopyRectIsClippedToBothSurfaces) {
    Surface from(10, 10);
    from.fill(0xffff0000);
    Surface to(6, 20);
    to.fill(0xff000000);
    to.copyRect(from, {-5, 8, 100, 100});
    EXPECT_EQ(to.pixel(0, 7), 0xff000000u);
    EXPECT_EQ(to.pixel(0, 8), 0xffff0000u);
    EXPECT_EQ(to.pixel(5, 9), 0xffff0000u);
    EXPECT_EQ(to.pixel(5, 10), 0xff000000u); // below the source
}

TEST(SurfaceTest, InvalidSizesAndMovesLeaveNoDanglingImage) {
    Surface none(0, 10);
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.savePng("unused.png"), Status::WrongState);
    EXPECT_NE(Surface(1, 1).savePng("/nonexistent-dir/x.png"), Status::Ok);
    Surface a(2, 2);
    a.fill(0xff00ff00);
    Surface b = std::move(a);
    EXPECT_FALSE(a.valid()); // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_EQ(b.pixel(1, 1), 0xff00ff00u);
}
