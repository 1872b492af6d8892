// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/western_collation.h"

#include "index/western_ordering.h"

namespace qp {

namespace {

void appendSortValue(uint8_t byte, std::string& sortKey) {
    const uint8_t value = kWesternOrderingTable[byte];
    if (value != 0) sortKey.push_back(static_cast<char>(value));
}

}  // namespace

std::string westernSortKey(std::string_view key) {
    std::string sortKey;
    sortKey.reserve(key.size());
    for (char c : key) {
        const auto byte = static_cast<uint8_t>(c);
        bool ligature = false;
        for (const Ligature& entry : kLigatures) {
            if (entry.ligature != byte) continue;
            appendSortValue(entry.firstLetter, sortKey);
            appendSortValue(entry.secondLetter, sortKey);
            ligature = true;
        }
        if (!ligature) appendSortValue(byte, sortKey);
    }
    return sortKey;
}

char16_t westernFold(char16_t byte) {
    const uint8_t value = byte <= 0xFF ? kWesternOrderingTable[byte] : 0;
    return value != 0 ? value : byte;
}

}  // namespace qp
