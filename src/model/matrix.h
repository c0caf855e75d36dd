#pragma once

#include <array>
#include <cstddef>

#include "model/node.h"
#include "model/vector.h"

namespace kel {

// A rows x columns matrix of doubles (at most 4 x 4) made of row Vectors, with value
// semantics. Transforms are 4 x 4 and used with row vectors: point times matrix, the
// translation in row 3, A * B applies A first.
class Matrix : public Node {
public:
    static constexpr std::size_t kMaxRows = 4;

    Matrix() : Matrix(4, 4, 0.0) {}
    // rows and columns must be 1..4 (a contract: anything else aborts).
    Matrix(std::size_t rows, std::size_t columns, double fill);

    void accept(Visitor& visitor) override;

    // Row by row over min(rowCount, b.rowCount) rows, element-wise by Vector rules.
    Matrix& operator+=(const Matrix& b);
    Matrix& operator-=(const Matrix& b);
    Matrix& operator/=(const Matrix& b);
    // this becomes this x b; the inner dimensions must agree.
    Matrix& operator*=(const Matrix& b);

    // An index not below the row count selects row 0.
    const Vector& row(std::size_t i) const { return rows_[i < rowCount_ ? i : 0]; }
    Vector& row(std::size_t i) { return rows_[i < rowCount_ ? i : 0]; }
    double at(std::size_t r, std::size_t c) const { return row(r).at(c); }
    double& at(std::size_t r, std::size_t c) { return row(r).at(c); }

    // Square matrices only; a non-square matrix is left unchanged.
    void setDiagonal(double value);
    void setDiagonal(const Vector& diagonal);

    std::size_t rowCount() const { return rowCount_; }
    std::size_t columnCount() const { return rows_[0].size(); }

private:
    std::size_t rowCount_;
    std::array<Vector, kMaxRows> rows_;
};

[[nodiscard]] Matrix operator*(const Matrix& a, const Matrix& b);

// Size 4: v * M. Size 3: v taken as the point (x, y, z, 1), each sum over rows 0..2 from
// 0.0 with row 3 added last; the result has 3 elements and is not divided by w.
[[nodiscard]] Vector operator*(const Vector& v, const Matrix& m);

// The 4 x 4 transforms. They add only constructors; after construction they are plain
// matrices.
class Transform : public Matrix {
public:
    Transform() : Matrix(4, 4, 0.0) {}
    Transform(const Matrix& m) : Matrix(m) {}  // NOLINT: a transform is any 4 x 4 matrix
};

class Translation : public Transform {
public:
    explicit Translation(const Vector& t);  // t has exactly 3 elements
};

class Scaling : public Transform {
public:
    explicit Scaling(const Vector& s);  // diagonal (s0, s1, s2, 1)
};

// Angles in degrees, turned with 3.1415 for pi; |cos| or |sin| below 1e-6 snap to 0.
class Rotation : public Transform {
public:
    Rotation();                          // identity
    explicit Rotation(const Vector& r);  // identity, then rotateX(r0), rotateY(r1), rotateZ(r2)
    void rotateX(double degrees);
    void rotateY(double degrees);
    void rotateZ(double degrees);
};

}  // namespace kel
