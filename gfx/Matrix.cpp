#include "gfx/Matrix.h"

#include <cmath>
#include <numbers>

namespace gfx {

namespace {

// Row-vector product: a point goes through a first, then b.
Matrix product(const Matrix& a, const Matrix& b) {
    return Matrix(a.m11() * b.m11() + a.m12() * b.m21(), a.m11() * b.m12() + a.m12() * b.m22(),
                  a.m21() * b.m11() + a.m22() * b.m21(), a.m21() * b.m12() + a.m22() * b.m22(),
                  a.dx() * b.m11() + a.dy() * b.m21() + b.dx(), a.dx() * b.m12() + a.dy() * b.m22() + b.dy());
}

} // namespace

Matrix::Matrix(float m11, float m12, float m21, float m22, float dx, float dy)
    : m11_(m11), m12_(m12), m21_(m21), m22_(m22), dx_(dx), dy_(dy) {}

void Matrix::translate(float dx, float dy, MatrixOrder order) {
    multiply(Matrix(1, 0, 0, 1, dx, dy), order);
}

void Matrix::scale(float sx, float sy, MatrixOrder order) {
    multiply(Matrix(sx, 0, 0, sy, 0, 0), order);
}

void Matrix::rotate(float degrees, MatrixOrder order) {
    const double radians = static_cast<double>(degrees) * std::numbers::pi / 180.0;
    const auto c = static_cast<float>(std::cos(radians));
    const auto s = static_cast<float>(std::sin(radians));
    // Positive angles turn clockwise on screen, where y grows downwards.
    multiply(Matrix(c, s, -s, c, 0, 0), order);
}

void Matrix::multiply(const Matrix& other, MatrixOrder order) {
    *this = order == MatrixOrder::Prepend ? product(other, *this) : product(*this, other);
}

PointF Matrix::apply(PointF p) const {
    return {m11_ * p.x + m21_ * p.y + dx_, m12_ * p.x + m22_ * p.y + dy_};
}

PointF Matrix::applyVector(PointF v) const {
    return {m11_ * v.x + m21_ * v.y, m12_ * v.x + m22_ * v.y};
}

bool Matrix::isIdentity() const {
    return *this == Matrix{};
}

} // namespace gfx
