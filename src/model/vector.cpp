#include "model/vector.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <ostream>

#include "model/visitor.h"

namespace kel {

Vector::Vector(std::size_t size, double fill)
    : elements_{}, size_(static_cast<std::uint32_t>(size)) {
    if (size == 0 || size > kMaxSize) {
        std::abort();  // only a programming error can get here
    }
    std::fill(elements_.begin(), elements_.begin() + size, fill);
}

void Vector::accept(Visitor& visitor) {
    visitor.visitTuple(*this);
}

void Vector::fill(double value) {
    std::fill(elements_.begin(), elements_.begin() + size_, value);
}

void Vector::assignPadded(const Vector& source, double pad) {
    if (source.size_ > size_) {
        std::abort();
    }
    for (std::size_t i = 0; i < size_; ++i) {
        elements_[i] = i < source.size_ ? source.elements_[i] : pad;
    }
}

Vector& Vector::operator/=(const Vector& b) {
    const std::size_t n = std::min(size_, b.size_);
    for (std::size_t i = 0; i < n; ++i) {
        elements_[i] /= b.elements_[i];
    }
    return *this;
}

Vector Vector::cross(const Vector& b) const {
    if (size_ != 3 || b.size_ != 3) {
        std::abort();
    }
    const auto& a = elements_;
    const auto& c = b.elements_;
    return Vector(a[1] * c[2] - a[2] * c[1], a[2] * c[0] - a[0] * c[2], a[0] * c[1] - a[1] * c[0]);
}

Vector operator*(const Vector& a, double s) {
    Vector r = a;
    r *= s;
    return r;
}

Vector operator/(const Vector& a, double s) {
    Vector r = a;
    r /= s;
    return r;
}

Vector operator-(const Vector& a) {
    Vector r = a;
    for (std::size_t i = 0; i < r.size(); ++i) {
        r.at(i) = -a.at(i);
    }
    return r;
}

bool operator==(const Vector& a, const Vector& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!(a.at(i) == b.at(i))) {
            return false;
        }
    }
    return true;
}

std::ostream& operator<<(std::ostream& out, const Vector& v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        out << v.at(i) << ' ';
    }
    return out;
}

std::istream& operator>>(std::istream& in, Vector& v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        in >> v.at(i);
    }
    return in;
}

}  // namespace kel
