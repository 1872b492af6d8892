// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/character_ranges.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

#include <unicode/uchar.h>
#include <unicode/uset.h>

#include "core/big_endian.h"
#include "core/code_pages.h"
#include "core/string.h"
#include "core/unicode.h"

namespace qp {

namespace {

constexpr uint32_t kChunkBits = 4;  // blocks start and end on multiples of 16
constexpr uint32_t kCodePointLimit = 0x110000;

class UsedChunks {
public:
    void mark(uint32_t codePoint) {
        if (codePoint < kCodePointLimit) used_[codePoint >> kChunkBits] = true;
    }
    std::vector<uint32_t> firstCodePoints() const {
        std::vector<uint32_t> starts;
        for (uint32_t chunk = 0; chunk < used_.size(); ++chunk)
            if (used_[chunk]) starts.push_back(chunk << kChunkBits);
        return starts;
    }

private:
    std::vector<bool> used_ = std::vector<bool>(kCodePointLimit >> kChunkBits);
};

// A lenient reading: a byte that does not start a whole sequence counts as U+FFFD.
void markUtf8(std::span<const uint8_t> text, UsedChunks& used) {
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = text[i];
        const size_t length = utf8SequenceLength(lead);
        if (lead < 0x80 || length == 1 || i + length > text.size()) {
            used.mark(lead < 0x80 ? lead : kReplacementCharacter);
            ++i;
            continue;
        }
        uint32_t codePoint = lead & (0xFFu >> (length + 1));
        size_t k = 1;
        for (; k < length && (text[i + k] & 0xC0) == 0x80; ++k) codePoint = codePoint << 6 | (text[i + k] & 0x3F);
        used.mark(k == length ? codePoint : kReplacementCharacter);
        i += k;
    }
}

void markSingleByte(std::span<const uint8_t> text, int32_t codePage, UsedChunks& used) {
    std::array<bool, 256> seen{};
    for (uint8_t byte : text) seen[byte] = true;
    for (int byte = 0; byte < 256; ++byte) {
        if (!seen[byte]) continue;
        std::u16string decoded;
        const char character = static_cast<char>(byte);
        decodeToUtf16(codePage, std::string_view(&character, 1), decoded);
        for (size_t i = 0; i < decoded.size();) used.mark(nextCodePoint(decoded, i));
    }
}

CharacterRange blockRange(uint32_t codePoint) {
    const UBlockCode block = ublock_getCode(static_cast<UChar32>(codePoint));
    if (block == UBLOCK_NO_BLOCK || block == UBLOCK_INVALID_CODE) return {codePoint, codePoint + 15, "No block"};
    UErrorCode status = U_ZERO_ERROR;
    USet* members = uset_openEmpty();
    uset_applyIntPropertyValue(members, UCHAR_BLOCK, block, &status);
    UChar32 first = static_cast<UChar32>(codePoint), last = first;
    if (U_SUCCESS(status) && uset_getItemCount(members) > 0)
        uset_getItem(members, 0, &first, &last, nullptr, 0, &status);
    uset_close(members);
    std::string name = u_getPropertyValueName(UCHAR_BLOCK, block, U_LONG_PROPERTY_NAME);
    std::replace(name.begin(), name.end(), '_', ' ');
    return {static_cast<uint32_t>(first), static_cast<uint32_t>(last), name};
}

}  // namespace

std::vector<CharacterRange> characterRanges(std::span<const uint8_t> text, int32_t codePage) {
    UsedChunks used;
    if (codePage == kCodePageUtf8)
        markUtf8(text, used);
    else
        markSingleByte(text, codePage, used);
    std::vector<CharacterRange> ranges;
    for (uint32_t start : used.firstCodePoints()) {
        if (!ranges.empty() && start <= ranges.back().last) continue;
        ranges.push_back(blockRange(start));
    }
    return ranges;
}

std::vector<uint8_t> encodeCharacterRanges(const std::vector<CharacterRange>& ranges) {
    std::vector<uint8_t> value;
    for (const CharacterRange& range : ranges) {
        appendBigEndian32(value, range.first);
        appendBigEndian32(value, range.last);
    }
    return value;
}

std::string describeCharacterRange(const CharacterRange& range) {
    char bounds[32];
    std::snprintf(bounds, sizeof bounds, "U+%04X-U+%04X", range.first, range.last);
    return std::string(bounds) + " " + range.name;
}

}  // namespace qp
