#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace kel {

class Visitor;

// A vector of 1 to 4 doubles with value semantics and inline storage: 3 elements for
// points and directions, 4 for homogeneous positions.
class Vector {
public:
    static constexpr std::size_t kMaxSize = 4;

    Vector() : Vector(3, 0.0) {}
    // size must be 1..4 (a contract: anything else aborts).
    Vector(std::size_t size, double fill);
    Vector(double x, double y, double z) : elements_{x, y, z, 0.0}, size_(3) {}
    Vector(double x, double y, double z, double w) : elements_{x, y, z, w}, size_(4) {}

    // Identity, not value equality.
    bool isSame(const Vector& other) const { return this == &other; }
    // Calls the visitor's visitTuple with this vector.
    void accept(Visitor& visitor);

    std::size_t size() const { return size_; }
    // An index not below the size selects element 0.
    double at(std::size_t i) const { return elements_[i < size_ ? i : 0]; }
    double& at(std::size_t i) { return elements_[i < size_ ? i : 0]; }
    double x() const { return elements_[0]; }
    double y() const { return elements_[1]; }
    double z() const { return elements_[2]; }
    double w() const { return elements_[3]; }

    void fill(double value);
    // Copies source into the first elements and pad into the rest; source must not be
    // longer than this vector.
    void assignPadded(const Vector& source, double pad);

    // Element-wise over the first min(size, b.size) elements; the rest stay.
    Vector& operator+=(const Vector& b);
    Vector& operator-=(const Vector& b);
    Vector& operator/=(const Vector& b);
    Vector& operator*=(double s);
    Vector& operator/=(double s);

    // Sum of products over the first min(size, b.size) elements, from 0.0 in index order.
    [[nodiscard]] double dot(const Vector& b) const;
    // Both vectors must have 3 elements.
    [[nodiscard]] Vector cross(const Vector& b) const;
    [[nodiscard]] double length() const;
    // Divides by the length unless the length is exactly 0.0.
    void normalize();

private:
    // No virtual table and a small size: the model holds millions of vectors.
    std::array<double, kMaxSize> elements_;
    std::uint32_t size_;
};

[[nodiscard]] Vector operator*(const Vector& a, double s);
[[nodiscard]] Vector operator/(const Vector& a, double s);
[[nodiscard]] Vector operator-(const Vector& a);
// Same size and every element equal as doubles (no tolerance).
[[nodiscard]] bool operator==(const Vector& a, const Vector& b);

// Each element in the stream's default double format followed by one blank.
std::ostream& operator<<(std::ostream& out, const Vector& v);
// Reads size() doubles into elements 0, 1, ... in order.
std::istream& operator>>(std::istream& in, Vector& v);

// Inline: the render stages call these for every vertex and polygon.
inline Vector& Vector::operator+=(const Vector& b) {
    const std::size_t n = std::min(size_, b.size_);
    for (std::size_t i = 0; i < n; ++i) {
        elements_[i] += b.elements_[i];
    }
    return *this;
}

inline Vector& Vector::operator-=(const Vector& b) {
    const std::size_t n = std::min(size_, b.size_);
    for (std::size_t i = 0; i < n; ++i) {
        elements_[i] -= b.elements_[i];
    }
    return *this;
}

inline Vector& Vector::operator*=(double s) {
    for (std::size_t i = 0; i < size_; ++i) {
        elements_[i] *= s;
    }
    return *this;
}

inline Vector& Vector::operator/=(double s) {
    for (std::size_t i = 0; i < size_; ++i) {
        elements_[i] /= s;
    }
    return *this;
}

inline double Vector::dot(const Vector& b) const {
    const std::size_t n = std::min(size_, b.size_);
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += elements_[i] * b.elements_[i];
    }
    return sum;
}

inline double Vector::length() const {
    double sum = 0.0;
    for (std::size_t i = 0; i < size_; ++i) {
        sum += elements_[i] * elements_[i];
    }
    return std::sqrt(sum);
}

inline void Vector::normalize() {
    const double len = length();
    if (len != 0.0) {
        *this /= len;
    }
}

[[nodiscard]] inline Vector operator+(const Vector& a, const Vector& b) {
    Vector r = a.size() <= b.size() ? a : b;  // of size min(a, b)
    for (std::size_t i = 0; i < r.size(); ++i) {
        r.at(i) = a.at(i) + b.at(i);
    }
    return r;
}

[[nodiscard]] inline Vector operator-(const Vector& a, const Vector& b) {
    Vector r = a.size() <= b.size() ? a : b;  // of size min(a, b)
    for (std::size_t i = 0; i < r.size(); ++i) {
        r.at(i) = a.at(i) - b.at(i);
    }
    return r;
}

}  // namespace kel
