// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bounds-checked, read-only window on bytes with big-endian accessors. Reads outside the window
// yield 0; callers that need to tell a short window from a zero value ask fits() first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

class ByteView {
public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // True when [offset, offset + length) lies inside the window (no overflow for huge values).
    bool fits(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }

    uint8_t u8(size_t offset) const { return fits(offset, 1) ? data_[offset] : 0; }
    uint16_t u16(size_t offset) const {
        return fits(offset, 2) ? static_cast<uint16_t>(data_[offset] << 8 | data_[offset + 1]) : 0;
    }
    uint32_t u32(size_t offset) const {
        if (!fits(offset, 4)) return 0;
        return static_cast<uint32_t>(data_[offset]) << 24 | static_cast<uint32_t>(data_[offset + 1]) << 16 |
               static_cast<uint32_t>(data_[offset + 2]) << 8 | data_[offset + 3];
    }

    // The part [offset, offset + length), clipped to the window.
    ByteView sub(size_t offset, size_t length) const {
        if (offset > size_) return {};
        if (length > size_ - offset) length = size_ - offset;
        return {data_ + offset, length};
    }

    std::vector<uint8_t> toVector() const { return {data_, data_ + size_}; }
    std::string toString() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace kova
