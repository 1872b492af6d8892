// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain transcription of the PalmDOC compression algorithm, written for clarity and not for speed:
// a linear scan of the window for every candidate length, a first pass that writes one escape per
// byte, and a second pass that merges the escapes. The production compressor must give the same bytes.
// Also a plain decoder for round trips. Shared by the unit tests and the fuzz target.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace palmdocref {

// The lowest position m in [from, p) where the `length` bytes at p occur as well. The source may run
// into p. A candidate that runs past the end of the input occurs nowhere.
inline std::optional<size_t> firstOccurrence(const uint8_t* data, size_t size, size_t p, size_t length, size_t from) {
    if (p + length > size) return std::nullopt;
    for (size_t m = from; m < p; ++m) {
        // Jump to the next position whose first byte agrees; still the first such position.
        const void* hit = std::memchr(data + m, data[p], p - m);
        if (hit == nullptr) return std::nullopt;
        m = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data);
        if (std::memcmp(data + m, data + p, length) == 0) return m;
    }
    return std::nullopt;
}

inline void pushOrdinary(std::vector<uint8_t>& tokens, uint8_t c) {
    if ((c >= 0x01 && c <= 0x08) || c >= 0x80) {
        tokens.push_back(0x01);
        tokens.push_back(c);
    } else {
        tokens.push_back(c);
    }
}

// Pass 1: tokens with one escape per byte.
inline std::vector<uint8_t> tokenize(const uint8_t* data, size_t size) {
    std::vector<uint8_t> tokens;
    bool pendingSpace = false;
    size_t p = 0;
    size_t length = 1;
    while (p < size) {
        const size_t windowStart = p > 2047 ? p - 2047 : 0;
        size_t from = windowStart;
        size_t lastMatch = 0;
        while (true) {
            const std::optional<size_t> m = firstOccurrence(data, size, p, length, from);
            if (!m) break;
            lastMatch = *m;
            if (length > 10 || p + length >= size) break;
            ++length;
            from = *m;
        }
        const size_t k = length - 1;
        if (k >= 3) {
            if (pendingSpace) {
                tokens.push_back(0x20);
                pendingSpace = false;
            }
            const size_t value = 0x8000 + ((p - lastMatch) << 3) + (k - 3);
            tokens.push_back(static_cast<uint8_t>(value >> 8));
            tokens.push_back(static_cast<uint8_t>(value & 0xFF));
            p += k;
            length = size - p == 1 ? 1 : 2;
        } else {
            const uint8_t c = data[p];
            if (pendingSpace) {
                pendingSpace = false;
                if (c >= 0x40 && c <= 0x7F) {
                    tokens.push_back(c ^ 0x80);
                } else {
                    tokens.push_back(0x20);
                    pushOrdinary(tokens, c);
                }
            } else if (c == 0x20) {
                pendingSpace = true;
            } else {
                pushOrdinary(tokens, c);
            }
            ++p;
        }
    }
    if (pendingSpace) tokens.push_back(0x20);
    return tokens;
}

// Pass 2: a 0x01 escape absorbs the escapes right behind it, up to 8 bytes in all.
inline std::vector<uint8_t> mergeEscapes(const std::vector<uint8_t>& tokens) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < tokens.size()) {
        const uint8_t b = tokens[i];
        if (b >= 0x80 && b <= 0xBF) {
            out.push_back(b);
            out.push_back(tokens[i + 1]);
            i += 2;
        } else if (b == 0x01) {
            const size_t countAt = out.size();
            out.push_back(0);
            uint8_t count = 0;
            while (i < tokens.size() && tokens[i] == 0x01 && count < 8) {
                out.push_back(tokens[i + 1]);
                ++count;
                i += 2;
            }
            out[countAt] = count;
        } else {
            out.push_back(b);
            ++i;
        }
    }
    return out;
}

inline std::vector<uint8_t> compress(const uint8_t* data, size_t size) { return mergeEscapes(tokenize(data, size)); }

// Expands a compressed record; nothing when it is malformed.
inline std::optional<std::vector<uint8_t>> decompress(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < size) {
        const uint8_t c = data[i++];
        if (c >= 0x01 && c <= 0x08) {
            if (size - i < c) return std::nullopt;
            out.insert(out.end(), data + i, data + i + c);
            i += c;
        } else if (c >= 0x80 && c <= 0xBF) {
            if (i == size) return std::nullopt;
            const size_t value = (size_t{c} << 8 | data[i++]) & 0x3FFF;
            const size_t distance = value >> 3;
            const size_t length = (value & 7) + 3;
            if (distance == 0 || distance > out.size()) return std::nullopt;
            for (size_t j = 0; j < length; ++j) out.push_back(out[out.size() - distance]);
        } else if (c >= 0xC0) {
            out.push_back(0x20);
            out.push_back(c ^ 0x80);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace palmdocref
