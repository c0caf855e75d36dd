#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace kel {

// A list of up to N small values (pointers) kept inside the owner, moving to the heap only
// when it grows beyond N: a mesh has millions of polygons of 3 or 4 corners and vertices
// with about 6 polygons each, and one allocation apiece would cost more than the values.
// Once on the heap the list stays there until it is cleared to empty.
template <class T, std::size_t N>
class InlineList {
    static_assert(std::is_trivially_copyable_v<T> && N > 0);

public:
    static constexpr std::size_t kInline = N;

    InlineList() = default;
    InlineList(const InlineList& other) { *this = other; }
    InlineList& operator=(const InlineList& other) {
        if (this != &other) {
            assign(other.begin(), other.size());
        }
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return heap_ ? heap_->capacity() : N; }
    const T* begin() const { return heap_ ? heap_->data() : inline_.data(); }
    const T* end() const { return begin() + size_; }
    T operator[](std::size_t i) const { return begin()[i]; }

    void push_back(T value) {
        if (!heap_ && size_ < N) {
            inline_[size_++] = value;
            return;
        }
        if (!heap_) {
            toHeap(2 * N);  // later growth is the vector's own doubling
        }
        heap_->push_back(value);
        ++size_;
    }
    // Sets element i, growing the list with fill up to it first.
    void set(std::size_t i, T value, T fill) {
        if (i == size_) {
            push_back(value);  // the usual order: one after another
            return;
        }
        if (i > size_) {
            resize(i + 1, fill);
        }
        data()[i] = value;
    }
    void resize(std::size_t count, T fill) {
        if (!heap_ && count <= N) {
            for (std::size_t i = size_; i < count; ++i) {
                inline_[i] = fill;
            }
        } else {
            toHeap(count);
            heap_->resize(count, fill);
        }
        size_ = static_cast<std::uint32_t>(count);
    }
    // Room for count values, so that adding them one at a time allocates at most once.
    void reserve(std::size_t count) {
        if (count > capacity()) {
            toHeap(count);
        }
    }
    // The list becomes a copy of count values.
    void assign(const T* values, std::size_t count) {
        clear();
        if (count > N) {
            heap_ = std::make_unique<std::vector<T>>(values, values + count);
        } else {
            std::copy(values, values + count, inline_.begin());
        }
        size_ = static_cast<std::uint32_t>(count);
    }

    // Empty, with the inline storage again.
    void clear() {
        heap_.reset();
        size_ = 0;
    }

private:
    T* data() { return heap_ ? heap_->data() : inline_.data(); }
    void toHeap(std::size_t room) {
        if (!heap_) {
            heap_ = std::make_unique<std::vector<T>>(inline_.begin(), inline_.begin() + size_);
        }
        heap_->reserve(room);
    }
    std::array<T, N> inline_{};
    std::unique_ptr<std::vector<T>> heap_;  // all the values, once there are more than N
    std::uint32_t size_ = 0;
};

}  // namespace kel
