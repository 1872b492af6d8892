// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/palmdoc.h"

#include <algorithm>
#include <new>

#include "compress/palmdoc_match_finder.h"

namespace qp {
namespace {

constexpr size_t maxLength = 10;
constexpr size_t maxEscapeRun = 8;
constexpr uint8_t space = 0x20;

// Writes the token stream. A space is held back in case the next byte can share its token; bytes that
// need escaping are gathered under one count byte, up to eight of them in a row.
class TokenWriter {
public:
    explicit TokenWriter(std::vector<uint8_t>& out) : out_(out) {}

    void literal(uint8_t c) {
        if (pendingSpace_) {
            pendingSpace_ = false;
            if (c >= 0x40 && c <= 0x7F) {
                plain(c ^ 0x80);
                return;
            }
            plain(space);
            ordinary(c);
        } else if (c == space) {
            pendingSpace_ = true;
        } else {
            ordinary(c);
        }
    }

    void reference(size_t distance, size_t length) {
        flushSpace();
        const auto value = static_cast<uint16_t>(0x8000 | distance << 3 | (length - 3));
        plain(static_cast<uint8_t>(value >> 8));
        plain(static_cast<uint8_t>(value));
    }

    void flushSpace() {
        if (pendingSpace_) {
            pendingSpace_ = false;
            plain(space);
        }
    }

private:
    static constexpr size_t noRun = SIZE_MAX;

    void ordinary(uint8_t c) {
        if ((c >= 0x01 && c <= 0x08) || c >= 0x80) {
            if (runCount_ == noRun || out_[runCount_] == maxEscapeRun) {
                runCount_ = out_.size();
                out_.push_back(0);
            }
            ++out_[runCount_];
            out_.push_back(c);
        } else {
            plain(c);
        }
    }

    void plain(uint8_t byte) {
        out_.push_back(byte);
        runCount_ = noRun;
    }

    std::vector<uint8_t>& out_;
    bool pendingSpace_ = false;
    size_t runCount_ = noRun;  // offset of the count byte of the escape run still open, if any
};

}  // namespace

std::vector<uint8_t> palmdocCompress(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    if (size == 0 || size >= UINT32_MAX) return out;  // the search keeps positions in 32 bits
    try {
        out.reserve(size + size / 2 + 1);
        PalmdocMatchFinder finder(data, size);
        TokenWriter writer(out);
        size_t p = 0;
        while (p < size) {
            // A match is tried one byte longer than it may be used. When that longer string occurs too,
            // or reaches the end of the record, it is cut back by one and keeps the position where the
            // longer string occurs; so the last byte of a record is always a literal.
            const size_t cap = std::min(maxLength + 1, size - p);
            const PalmdocMatch match = finder.find(p, cap);
            const size_t length = match.length == cap ? match.length - 1 : match.length;
            if (length >= PalmdocMatchFinder::minLength) {
                writer.reference(p - match.position, length);
                p += length;
            } else {
                writer.literal(data[p]);
                ++p;
            }
        }
        writer.flushSpace();
        // The book keeps every record until it is saved: no record holds the worst case's room.
        out.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        return {};
    }
    return out;
}

}  // namespace qp
