#include "model/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/visitor.h"

namespace kel {

namespace {

// The angle of the elementary rotations: 3.1415 stands for pi, as the stored scenes expect.
constexpr double kPi = 3.1415;
constexpr double kSnap = 1e-6;

double snapped(double value) {
    return std::fabs(value) < kSnap ? 0.0 : value;
}

struct CosSin {
    double cos;
    double sin;
};

CosSin cosSin(double degrees) {
    const double theta = kPi * degrees * (1.0 / 180.0);
    return {snapped(std::cos(theta)), snapped(std::sin(theta))};
}

Matrix identity4() {
    Matrix m(4, 4, 0.0);
    m.setDiagonal(1.0);
    return m;
}

}  // namespace

Matrix::Matrix(std::size_t rows, std::size_t columns, double fill) : rowCount_(rows) {
    if (rows == 0 || rows > kMaxRows || columns == 0 || columns > Vector::kMaxSize) {
        std::abort();  // only a programming error can get here
    }
    for (std::size_t i = 0; i < kMaxRows; ++i) {
        rows_[i] = Vector(columns, i < rows ? fill : 0.0);
    }
}

void Matrix::accept(Visitor& visitor) {
    visitor.visitMatrix(*this);
}

Matrix& Matrix::operator+=(const Matrix& b) {
    const std::size_t n = std::min(rowCount_, b.rowCount_);
    for (std::size_t i = 0; i < n; ++i) {
        rows_[i] += b.rows_[i];
    }
    return *this;
}

Matrix& Matrix::operator-=(const Matrix& b) {
    const std::size_t n = std::min(rowCount_, b.rowCount_);
    for (std::size_t i = 0; i < n; ++i) {
        rows_[i] -= b.rows_[i];
    }
    return *this;
}

Matrix& Matrix::operator/=(const Matrix& b) {
    const std::size_t n = std::min(rowCount_, b.rowCount_);
    for (std::size_t i = 0; i < n; ++i) {
        rows_[i] /= b.rows_[i];
    }
    return *this;
}

Matrix& Matrix::operator*=(const Matrix& b) {
    const std::size_t m = rowCount_;
    const std::size_t p = columnCount();
    const std::size_t q = b.columnCount();
    if (b.rowCount_ != p) {
        std::abort();
    }
    Matrix product(m, q, 0.0);
    for (std::size_t j = 0; j < q; ++j) {
        for (std::size_t i = 0; i < m; ++i) {
            double sum = 0.0;
            for (std::size_t k = 0; k < p; ++k) {
                sum += rows_[i].at(k) * b.rows_[k].at(j);
            }
            product.rows_[i].at(j) = sum;
        }
    }
    *this = product;
    return *this;
}

void Matrix::setDiagonal(double value) {
    if (rowCount_ != columnCount()) {
        return;
    }
    for (std::size_t i = 0; i < rowCount_; ++i) {
        rows_[i].at(i) = value;
    }
}

void Matrix::setDiagonal(const Vector& diagonal) {
    if (rowCount_ != columnCount()) {
        return;
    }
    if (diagonal.size() < rowCount_) {
        std::abort();
    }
    for (std::size_t i = 0; i < rowCount_; ++i) {
        rows_[i].at(i) = diagonal.at(i);
    }
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r = a;
    r *= b;
    return r;
}

Vector operator*(const Vector& v, const Matrix& m) {
    if (m.rowCount() != 4 || m.columnCount() != 4) {
        std::abort();
    }
    if (v.size() == 4) {
        Vector r(4, 0.0);
        for (std::size_t i = 0; i < 4; ++i) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 4; ++k) {
                sum += v.at(k) * m.at(k, i);
            }
            r.at(i) = sum;
        }
        return r;
    }
    if (v.size() == 3) {
        Vector r(3, 0.0);
        for (std::size_t i = 0; i < 3; ++i) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 3; ++k) {
                sum += v.at(k) * m.at(k, i);
            }
            r.at(i) = sum + m.at(3, i);
        }
        return r;
    }
    std::abort();
}

Translation::Translation(const Vector& t) {
    if (t.size() != 3) {
        std::abort();
    }
    setDiagonal(1.0);
    for (std::size_t i = 0; i < 3; ++i) {
        at(3, i) = t.at(i);
    }
}

Scaling::Scaling(const Vector& s) {
    if (s.size() < 3) {
        std::abort();
    }
    at(0, 0) = s.at(0);
    at(1, 1) = s.at(1);
    at(2, 2) = s.at(2);
    at(3, 3) = 1.0;
}

Rotation::Rotation() {
    setDiagonal(1.0);
}

Rotation::Rotation(const Vector& r) : Rotation() {
    if (r.size() < 3) {
        std::abort();
    }
    rotateX(r.at(0));
    rotateY(r.at(1));
    rotateZ(r.at(2));
}

void Rotation::rotateX(double degrees) {
    const auto [c, s] = cosSin(degrees);
    Matrix r = identity4();
    r.at(1, 1) = c;
    r.at(1, 2) = s;
    r.at(2, 1) = -s;
    r.at(2, 2) = c;
    *this *= r;
}

void Rotation::rotateY(double degrees) {
    const auto [c, s] = cosSin(degrees);
    Matrix r = identity4();
    r.at(0, 0) = c;
    r.at(0, 2) = -s;
    r.at(2, 0) = s;
    r.at(2, 2) = c;
    *this *= r;
}

void Rotation::rotateZ(double degrees) {
    const auto [c, s] = cosSin(degrees);
    Matrix r = identity4();
    r.at(0, 0) = c;
    r.at(0, 1) = s;
    r.at(1, 0) = -s;
    r.at(1, 1) = c;
    *this *= r;
}

}  // namespace kel
