// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_tokens.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace qp {
namespace {

constexpr uint8_t space = 0x20;

bool isContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 character of three or four bytes at p, or 0.
size_t wideCharacterLength(std::span<const uint8_t> text, size_t p) {
    const uint8_t lead = text[p];
    const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : 0;
    if (length == 0 || p + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if (!isContinuation(text[p + i])) return 0;
    return length;
}

enum class ByteKind : uint8_t { Other, Word, MaybeWide };

constexpr std::array<ByteKind, 256> byteKinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int byte = 0; byte < 256; ++byte) {
        const bool letter = (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
        if (letter || (byte >= '0' && byte <= '9') || (byte >= 0x80 && byte < 0xE0)) kinds[byte] = ByteKind::Word;
        if (byte >= 0xE0) kinds[byte] = ByteKind::MaybeWide;
    }
    return kinds;
}();

// A byte 0xE0 and above is a letter of 8-bit text unless it leads a UTF-8 character.
bool isWordByte(std::span<const uint8_t> text, size_t p) {
    const ByteKind kind = byteKinds[text[p]];
    return kind == ByteKind::Word || (kind == ByteKind::MaybeWide && wideCharacterLength(text, p) == 0);
}

size_t tokenEnd(std::span<const uint8_t> text, size_t p) {
    if (byteKinds[text[p]] == ByteKind::MaybeWide) {
        if (const size_t wide = wideCharacterLength(text, p)) return p + wide;
    }
    size_t end = p;
    if (text[p] == space && p + 1 < text.size() && isWordByte(text, p + 1)) ++end;
    const size_t limit = std::min(text.size(), p + kMaxTokenLength);
    while (end < limit && isWordByte(text, end)) ++end;
    return end == p ? p + 1 : end;
}

// Tokens are short: a plain loop beats a library call.
bool sameBytes(const uint8_t* a, const uint8_t* b, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

uint64_t hashOf(const uint8_t* bytes, size_t length) {
    uint64_t hash = length * 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i < length; i += 8) {
        uint64_t chunk = 0;
        std::memcpy(&chunk, bytes + i, std::min<size_t>(8, length - i));
        hash = (hash ^ chunk) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    return hash;
}

// Distinct tokens by their bytes: open addressing over token numbers + 1.
class TokenTable {
public:
    TokenTable(std::span<const uint8_t> text, HuffmanTokens& tokens) : text_(text), tokens_(tokens) { grow(1024); }

    uint32_t number(size_t start, size_t length) {
        if (tokens_.distinct() * 2 >= slots_.size()) grow(slots_.size() * 2);
        const uint8_t* bytes = text_.data() + start;
        for (size_t at = hashOf(bytes, length) & mask_;; at = (at + 1) & mask_) {
            const uint32_t slot = slots_[at];
            if (slot == 0) {
                slots_[at] = static_cast<uint32_t>(tokens_.distinct() + 1);
                tokens_.starts.push_back(static_cast<uint32_t>(start));
                tokens_.lengths.push_back(static_cast<uint8_t>(length));
                tokens_.counts.push_back(0);
                return numberOf(slots_[at]);
            }
            const uint32_t token = numberOf(slot);
            if (tokens_.lengths[token] == length && sameBytes(text_.data() + tokens_.starts[token], bytes, length))
                return token;
        }
    }

private:
    static uint32_t numberOf(uint32_t slot) { return slot - 1; }

    void grow(size_t size) {
        slots_.assign(std::bit_ceil(size), 0);
        mask_ = slots_.size() - 1;
        for (uint32_t token = 0; token < tokens_.distinct(); ++token) {
            size_t at = hashOf(text_.data() + tokens_.starts[token], tokens_.lengths[token]) & mask_;
            while (slots_[at] != 0) at = (at + 1) & mask_;
            slots_[at] = token + 1;
        }
    }

    std::span<const uint8_t> text_;
    HuffmanTokens& tokens_;
    std::vector<uint32_t> slots_;
    size_t mask_ = 0;
};

}  // namespace

HuffmanTokens huffmanTokens(std::span<const uint8_t> text) {
    HuffmanTokens tokens;
    tokens.sequence.reserve(text.size() / 4 + 1);
    TokenTable table(text, tokens);
    for (size_t p = 0; p < text.size();) {
        const size_t end = tokenEnd(text, p);
        const uint32_t token = table.number(p, end - p);
        ++tokens.counts[token];
        tokens.sequence.push_back(token);
        p = end;
    }
    return tokens;
}

}  // namespace qp
