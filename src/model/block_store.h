#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace kel {

// Elements in blocks that never move, added at the end: each keeps its address for the
// array's life. std::deque does the same, but libstdc++ gives it 512-byte blocks, two
// vertices or five polygons each: one allocation per handful of a mesh's elements. Here
// blocks double from 8 elements up to 64 KiB, so a small surface stays small and a mesh
// makes one allocation per few hundred elements.
template <class T>
class BlockArray {
public:
    BlockArray() = default;
    BlockArray(const BlockArray&) = delete;
    BlockArray& operator=(const BlockArray&) = delete;
    ~BlockArray() {
        for (std::size_t i = 0; i < size_; ++i) {
            std::destroy_at(&(*this)[i]);
        }
        for (std::size_t k = 0; k < blocks_.size(); ++k) {
            std::allocator<T>().deallocate(blocks_[k], capacityOf(k));
        }
    }

    std::size_t size() const { return size_; }

    T& operator[](std::size_t i) const {
        const Place place = placeOf(i);
        return blocks_[place.block][place.slot];
    }

    template <class... Args>
    T& emplace_back(Args&&... args) {
        const Place place = placeOf(size_);
        if (place.block == blocks_.size()) {
            if (blocks_.size() == blocks_.capacity()) {  // first: push_back cannot throw then
                blocks_.reserve(2 * blocks_.size() + 4);
            }
            blocks_.push_back(std::allocator<T>().allocate(capacityOf(place.block)));
        }
        T* const at = blocks_[place.block] + place.slot;
        std::construct_at(at, std::forward<Args>(args)...);
        ++size_;
        return *at;
    }

    // Blocks for count elements in all, made now: elements added later on another thread
    // then need no allocation there.
    void reserve(std::size_t count) {
        if (count == 0) {
            return;
        }
        const std::size_t lastBlock = placeOf(count - 1).block;
        blocks_.reserve(lastBlock + 1);
        while (blocks_.size() <= lastBlock) {
            blocks_.push_back(std::allocator<T>().allocate(capacityOf(blocks_.size())));
        }
    }

    // Walks step through a block by pointer and look up the next block only at its end.
    // Run: count elements from first, upward (elements i, i + 1, ... to the block's end)
    // or downward (elements i, i - 1, ... to the block's start).
    struct Run {
        T* first;
        std::size_t count;
    };
    Run runUpFrom(std::size_t i) const {
        const Place place = placeOf(i);
        const std::size_t inBlock = capacityOf(place.block) - place.slot;
        return {blocks_[place.block] + place.slot, std::min(inBlock, size_ - i)};
    }
    Run runDownFrom(std::size_t i) const {
        const Place place = placeOf(i);
        return {blocks_[place.block] + place.slot, place.slot + 1};
    }

private:
    // Blocks stay well below malloc's mmap threshold (128 KiB): freed, they go back to the
    // heap, and the next mesh opened reuses their pages instead of faulting in fresh ones.
    static constexpr std::size_t kFirst = 8;
    static constexpr std::size_t kLargest =
        std::max(kFirst, std::bit_floor(std::size_t{64 * 1024} / sizeof(T)));
    static constexpr std::size_t kDoublings = std::bit_width(kLargest / kFirst) - 1;
    static constexpr std::size_t kGrowing = kFirst * ((std::size_t{1} << (kDoublings + 1)) - 1);

    struct Place {
        std::size_t block;
        std::size_t slot;
    };
    static std::size_t capacityOf(std::size_t block) {
        return block <= kDoublings ? kFirst << block : kLargest;
    }
    // A growing block k starts at element kFirst * (2^k - 1); the blocks after it hold
    // kLargest each.
    static Place placeOf(std::size_t i) {
        if (i < kGrowing) {
            const std::size_t block = std::bit_width(i / kFirst + 1) - 1;
            return {block, i - kFirst * ((std::size_t{1} << block) - 1)};
        }
        const std::size_t beyond = i - kGrowing;
        return {kDoublings + 1 + beyond / kLargest, beyond % kLargest};
    }

    std::vector<T*> blocks_;
    std::size_t size_ = 0;
};

// Elements that keep their addresses, added at either end. Those added at the front live
// in a second array, in the order they came: the latest comes first.
template <class T>
class BlockStore {
public:
    class Iterator;

    std::size_t size() const { return front_.size() + back_.size(); }
    // The store holds its elements, but a const store leaves them changeable: its owners
    // decide what they hand out as const.
    T& operator[](std::size_t i) const {
        const std::size_t ahead = front_.size();
        return i < ahead ? front_[ahead - 1 - i] : back_[i - ahead];
    }
    template <class... Args>
    T& emplace_back(Args&&... args) {
        return back_.emplace_back(std::forward<Args>(args)...);
    }
    // Room for count elements at the back in all (see BlockArray::reserve).
    void reserveBack(std::size_t count) { back_.reserve(count); }
    template <class... Args>
    T& emplace_front(Args&&... args) {
        return front_.emplace_back(std::forward<Args>(args)...);
    }
    Iterator from(std::size_t i) const { return Iterator(*this, i); }
    Iterator begin() const { return from(0); }
    Iterator end() const { return from(size()); }

    // Element i on, in order.
    class Iterator {
    public:
        Iterator() = default;
        Iterator(const BlockStore& store, std::size_t i) : store_(&store), index_(i) {
            if (i < store.size()) {
                enterRun();
            }
        }
        T& operator*() const { return *at_; }
        T* operator->() const { return at_; }
        Iterator& operator++() {
            ++index_;
            if (--left_ != 0) {
                at_ += step_;
            } else if (index_ < store_->size()) {
                enterRun();
            }
            return *this;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) {
            return a.index_ == b.index_;
        }

    private:
        void enterRun() {
            const std::size_t ahead = store_->front_.size();
            const auto run = index_ < ahead ? store_->front_.runDownFrom(ahead - 1 - index_)
                                            : store_->back_.runUpFrom(index_ - ahead);
            at_ = run.first;
            left_ = run.count;
            step_ = index_ < ahead ? -1 : 1;
        }

        const BlockStore* store_ = nullptr;
        std::size_t index_ = 0;
        T* at_ = nullptr;
        std::size_t left_ = 0;
        std::ptrdiff_t step_ = 1;
    };

private:
    BlockArray<T> front_;
    BlockArray<T> back_;
};

}  // namespace kel
