// SPDX-License-Identifier: GPL-3.0-or-later
#include "tagx_table.h"

#include <algorithm>
#include <bit>

namespace kova {

namespace {
constexpr size_t tagxFixedLength = 12;
}

unsigned maskWidth(uint8_t mask) {
    if (mask == 0) return 0;
    unsigned shifted = mask >> std::countr_zero(mask);
    return shifted == 1 ? 1 : shifted == 3 ? 2 : 0;
}

bool readTagx(ByteView record, size_t offset, Tagx& tagx, const std::string& where, std::vector<std::string>& faults) {
    tagx = {};
    tagx.offset = static_cast<uint32_t>(offset);
    if (!record.fits(offset, tagxFixedLength) || record.sub(offset, 4).toString() != "TAGX") {
        faults.push_back(where + ": no \"TAGX\" block at offset " + std::to_string(offset));
        return false;
    }
    tagx.length = record.u32(offset + 4);
    tagx.controlByteCount = record.u32(offset + 8);
    size_t length = tagx.length;
    if (length < tagxFixedLength || (length - tagxFixedLength) % 4 != 0 || !record.fits(offset, length)) {
        faults.push_back(where + ": TAGX length field " + std::to_string(tagx.length) +
                         " does not give whole rows inside the record");
        length = std::min(std::max(length, tagxFixedLength), record.size() - offset);
        length -= (length - tagxFixedLength) % 4;
    }
    size_t endRows = 0;
    for (size_t at = offset + tagxFixedLength; at + 4 <= offset + length; at += 4) {
        TagxRow row{record.u8(at), record.u8(at + 1), record.u8(at + 2), record.u8(at + 3)};
        if (row.isEnd())
            ++endRows;
        else if (maskWidth(row.mask) == 0)
            faults.push_back(where + ": TAGX row of tag " + std::to_string(row.tag) + " has the mask " +
                             std::to_string(row.mask) + ", not one or two adjacent bits");
        tagx.rows.push_back(row);
    }
    if (tagx.rows.empty() || !tagx.rows.back().isEnd()) faults.push_back(where + ": TAGX does not end with an end row");
    if (tagx.controlByteCount != endRows)
        faults.push_back(where + ": TAGX gives " + std::to_string(tagx.controlByteCount) + " control bytes but has " +
                         std::to_string(endRows) + " end rows");
    return true;
}

}  // namespace kova
