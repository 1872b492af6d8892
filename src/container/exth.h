// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EXTH metadata: the typed (type, value) records of record 0. Text values are in the book's text encoding,
// numbers are 4-byte big-endian values.
//
// Block layout: "EXTH", block length (12 + all record lengths, rounded up to a multiple of 4), record count,
// then per record its type, its length (value + 8) and its value, then zero bytes up to the block length.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qp {

// Record types.
namespace exth {
constexpr uint32_t kTitle = 99;  // only a label: the title is the full name of record 0
constexpr uint32_t kCreator = 100;
constexpr uint32_t kPublisher = 101;
constexpr uint32_t kImprint = 102;
constexpr uint32_t kDescription = 103;
constexpr uint32_t kIsbn = 104;
constexpr uint32_t kSubject = 105;
constexpr uint32_t kDate = 106;
constexpr uint32_t kReview = 107;
constexpr uint32_t kContributor = 108;
constexpr uint32_t kRights = 109;
constexpr uint32_t kBasicCode = 110;
constexpr uint32_t kType = 111;
constexpr uint32_t kSource = 112;
constexpr uint32_t kStartReading = 116;
constexpr uint32_t kAdult = 117;
constexpr uint32_t kRetailPrice = 118;
constexpr uint32_t kRetailCurrency = 119;
constexpr uint32_t kShortDictionaryLabel = 200;
constexpr uint32_t kCoverOffset = 201;
constexpr uint32_t kThumbnailOffset = 202;
constexpr uint32_t kFakeCover = 203;
constexpr uint32_t kCreatorSoftware = 204;
constexpr uint32_t kCreatorMajorVersion = 205;
constexpr uint32_t kCreatorMinorVersion = 206;
constexpr uint32_t kCreatorBuildNumber = 207;
constexpr uint32_t kCharacterRanges = 300;
}  // namespace exth

// Bits of the EXTH flags (KOVA header offset 128): the build's own, then the two the writer adds.
namespace exth_flag {
constexpr uint32_t kUtf8Text = 0x1;
constexpr uint32_t kAllScriptsAuthorised = 0x2;
constexpr uint32_t kAlways = 0x10;
constexpr uint32_t kCopyPasteForbidden = 0x20;
constexpr uint32_t kBlockPresent = 0x40;
}  // namespace exth_flag

// Metadata (cover excluded) is limited to this many value bytes per book.
constexpr size_t kMetadataLimit = 30720;

struct ExthItem {
    uint32_t type = 0;
    std::vector<uint8_t> value;
};

class ExthList {
public:
    // Always adds a new item.
    void append(uint32_t type, std::vector<uint8_t> value);
    // Gives the first item of the type the value and removes the others of that type; appends if none.
    void set(uint32_t type, std::vector<uint8_t> value);
    void setNumber(uint32_t type, uint32_t value);
    void removeLast() { items_.pop_back(); }

    const std::vector<ExthItem>& items() const { return items_; }
    bool empty() const { return items_.empty(); }
    // Sum of all value lengths.
    size_t valueBytes() const;

    struct LimitOutcome {
        int truncations = 0;  // Review, then Description items that were cut or emptied
        bool within = true;   // the values fit the limit afterwards
    };
    // Cuts the last Review item, then the last Description item, until the values fit the limit.
    LimitOutcome fitWithin(size_t limit);

    // The block; empty when there are no items.
    std::vector<uint8_t> encodeBlock() const;

private:
    std::vector<ExthItem> items_;
};

// The 16-character label of a metadata type in messages ("" for types without one).
std::string_view exthLabel(uint32_t type);

}  // namespace qp
