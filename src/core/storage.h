#pragma once
// Storage: the growable array of the system. Slot 0 holds the default element; element i lives in slot i + 1,
// so a failed access returns the default element.
#include <cstddef>
#include <exception>
#include <new>
#include <utility>
#include <vector>

#include "core/fault.h"

namespace qp {

template <typename T>
class Storage : public FaultHeader {
public:
    static constexpr size_t kInitialSlots = 6;

    Storage() { slots_.resize(kInitialSlots); }

    size_t count() const { return count_; }
    size_t capacity() const { return slots_.size(); }

    // Access to element i; grows to i + i/2 + 2 slots when i >= capacity - 1. The count becomes at least i + 2
    // (slot numbering: the default slot counts). Error 14 and the default element when growth fails.
    T& at(size_t i);
    // Element i, or the default element for an index that was never reached.
    const T& get(size_t i) const { return i + 1 < count_ ? slots_[i + 1] : slots_[0]; }
    T& defaultElement() { return slots_[0]; }

    void push(T value) { at(elementCount()) = std::move(value); }
    size_t elementCount() const { return count_ == 0 ? 0 : count_ - 1; }
    void clear() {
        slots_.assign(kInitialSlots, T{});
        count_ = 0;
    }

private:
    std::vector<T> slots_;
    size_t count_ = 0;
};

void reportStorageAllocationFailure(FaultHeader& storage);

template <typename T>
T& Storage<T>::at(size_t i) {
    if (i >= slots_.size() - 1) {
        const size_t grown = i + i / 2 + 2;
        try {
            if (grown <= i) throw std::bad_alloc();  // the slot count itself overflows
            slots_.resize(grown);
        } catch (const std::exception&) {  // bad_alloc, or length_error past the vector's limit
            reportStorageAllocationFailure(*this);
            return slots_[0];
        }
    }
    if (count_ < i + 2) count_ = i + 2;
    return slots_[i + 1];
}

}  // namespace qp
