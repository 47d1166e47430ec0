#pragma once

#include "gfx/Geometry.h"

namespace gfx {

enum class MatrixOrder { Prepend, Append };

// Affine 2D transform with row-vector convention: [x y 1] * M, that is
// x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy. "Prepend" applies the new
// operation before the existing transform, "Append" after it.
class Matrix {
public:
    Matrix() = default;
    Matrix(float m11, float m12, float m21, float m22, float dx, float dy);

    void reset() { *this = Matrix{}; }

    void translate(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
    void scale(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
    void rotate(float degrees, MatrixOrder order = MatrixOrder::Prepend);
    void multiply(const Matrix& other, MatrixOrder order = MatrixOrder::Prepend);

    PointF apply(PointF p) const;
    // Applies only the linear part (for directions and lengths).
    PointF applyVector(PointF v) const;
    bool isIdentity() const;

    float m11() const { return m11_; }
    float m12() const { return m12_; }
    float m21() const { return m21_; }
    float m22() const { return m22_; }
    float dx() const { return dx_; }
    float dy() const { return dy_; }

    friend bool operator==(const Matrix&, const Matrix&) = default;

private:
    float m11_ = 1, m12_ = 0, m21_ = 0, m22_ = 1, dx_ = 0, dy_ = 0;
};

} // namespace gfx
