#include "gfx/Matrix.h"

#include <gtest/gtest.h>

using gfx::Matrix;
using gfx::MatrixOrder;
using gfx::PointF;

namespace {

void expectPoint(PointF actual, PointF expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

} // namespace

TEST(MatrixTest, PrependRunsBeforeTheExistingTransformAndAppendAfter) {
    Matrix prepended;
    prepended.scale(2, 2);
    prepended.translate(10, 0, MatrixOrder::Prepend); // move first, then scale
    expectPoint(prepended.apply({0, 0}), {20, 0});

    Matrix appended;
    appended.scale(2, 2);
    appended.translate(10, 0, MatrixOrder::Append); // scale first, then move
    expectPoint(appended.apply({0, 0}), {10, 0});
    expectPoint(appended.apply({1, 1}), {12, 2});
}

TEST(MatrixTest, PositiveRotationTurnsClockwiseOnScreen) {
    Matrix m;
    m.rotate(90);
    expectPoint(m.apply({1, 0}), {0, 1});
    expectPoint(m.apply({0, 1}), {-1, 0});
}

TEST(MatrixTest, MultiplyComposesInTheRequestedOrder) {
    const Matrix move(1, 0, 0, 1, 5, 7);
    Matrix m;
    m.rotate(90);
    Matrix a = m;
    a.multiply(move, MatrixOrder::Append); // rotate, then move
    expectPoint(a.apply({1, 0}), {5, 8});
    Matrix p = m;
    p.multiply(move, MatrixOrder::Prepend); // move, then rotate
    expectPoint(p.apply({1, 0}), {-7, 6});
}

TEST(MatrixTest, VectorsIgnoreTheTranslation) {
    Matrix m(2, 0, 0, 3, 100, 100);
    expectPoint(m.applyVector({1, 1}), {2, 3});
    EXPECT_FALSE(m.isIdentity());
    m.reset();
    EXPECT_TRUE(m.isIdentity());
}
