// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One entry of an index data record: its key, its control bytes, and the values of its tags. Each tag's
// group count sits in its TAGX mask; a 2-bit mask with all bits set says that the byte length of the tag's
// values follows the control bytes instead. The values are forward variable-width integers, tag after tag in
// TAGX order.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"
#include "index_key.h"
#include "tagx_table.h"

namespace kova {

struct TagValues {
    uint8_t tag = 0;
    uint8_t valuesPerGroup = 1;
    std::vector<uint32_t> values;  // group after group

    size_t groupCount() const { return valuesPerGroup ? values.size() / valuesPerGroup : 0; }
    // Value number i of every group.
    std::vector<uint32_t> column(size_t i) const;
};

struct IndexEntry {
    size_t record = 0;  // in the book's record list
    size_t offset = 0;  // in the record
    size_t size = 0;
    IndexKey key;
    std::vector<uint8_t> controlBytes;
    std::vector<TagValues> tags;  // the tags it carries, in TAGX order

    const TagValues* tag(uint8_t number) const;
};

// Decodes the entry at offset, which must end by limit. Returns the fault when it does not decode.
std::optional<std::string> decodeEntry(ByteView record, size_t offset, size_t limit, const Tagx& tagx, KeyForm form,
                                       IndexEntry& entry);

}  // namespace kova
